#include "print_layout.h"
#include <algorithm>
#include <cmath>

namespace documents {

namespace {
double usableDpi(double dpi) { return dpi >= 1 ? dpi : 200.0; }

QRect rounded(double x, double y, double w, double h)
{
    const int left = int(std::lround(x)), top = int(std::lround(y));
    return QRect(QPoint(left, top), QSize(std::max(1, int(std::lround(w))), std::max(1, int(std::lround(h)))));
}
} // namespace

QSizeF actualSize(QSize imagePx, double dpi)
{
    const double tenthsPerPixel = 254.0 / usableDpi(dpi);
    return QSizeF(imagePx.width() * tenthsPerPixel, imagePx.height() * tenthsPerPixel);
}

bool actualSizeFits(QSize imagePx, double dpi, const PageGeometry& page)
{
    const QSizeF size = actualSize(imagePx, dpi);
    return size.width() <= page.paper.width() + 5 && size.height() <= page.paper.height() + 5;
}

QRect printRect(PrintLayout layout, int edgeCm, QSize imagePx, double dpi, const PageGeometry& page)
{
    if (imagePx.isEmpty())
        return QRect();
    const double w = imagePx.width(), h = imagePx.height();
    switch (layout) {
    case PrintLayout::Square: {
        const double edge = edgeCm * 100.0;
        const double f = std::min(edge / w, edge / h);
        return rounded(100, 100, w * f, h * f);
    }
    case PrintLayout::FitPaper: {
        const QRectF area = page.printable;
        const double f = std::min(area.width() / w, area.height() / h);
        return rounded((area.width() - w * f) / 2, (area.height() - h * f) / 2, w * f, h * f);
    }
    case PrintLayout::ActualSize: {
        const QSizeF size = actualSize(imagePx, dpi);
        // Centred on the sheet, so a full-page scan lands where it was.
        return rounded((page.paper.width() - size.width()) / 2 - page.printable.left(),
                       (page.paper.height() - size.height()) / 2 - page.printable.top(), size.width(),
                       size.height());
    }
    }
    return QRect();
}

bool landscapeFor(QSize imagePx) { return imagePx.width() > imagePx.height(); }

} // namespace documents
