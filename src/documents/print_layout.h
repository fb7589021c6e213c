#pragma once
// Where the canvas image lands on the printed page for each choice of the
// print-size window. Lengths are tenths of a millimetre; the result is
// measured from the top-left corner of the printable area, as the print
// control draws.
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>

namespace documents {

enum class PrintLayout {
    Square,     // a square of a chosen edge, 10 mm in from the printable corner
    FitPaper,   // as large as the printable area allows, centred
    ActualSize, // at the image's own resolution, centred on the paper
};

struct PageGeometry {
    QSizeF paper;      // the whole sheet
    QRectF printable;  // the printable area on the sheet
};

// The picture's rectangle. The image's proportions are kept in every layout;
// a square holds the picture from its top-left corner. edgeCm is used by
// Square only, dpi by ActualSize only (values below 1 count as 200).
QRect printRect(PrintLayout layout, int edgeCm, QSize imagePx, double dpi, const PageGeometry& page);

// The image's size on paper at dpi, in tenths of a millimetre.
QSizeF actualSize(QSize imagePx, double dpi);

// Whether the image at its own resolution fits on the sheet (half a
// millimetre is allowed for rounding).
bool actualSizeFits(QSize imagePx, double dpi, const PageGeometry& page);

// Whether the sheet should lie across for the image: wider than high.
bool landscapeFor(QSize imagePx);

} // namespace documents
