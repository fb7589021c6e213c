#pragma once
// Pens, brushes, text settings and drawing calls on a drawing handle, plus
// printing. Coordinates are image pixels on a display's DrawingDC (tenths of
// a millimetre on paper). Nothing is antialiased: a black pen gives pure
// black. Rectangles (l, t, r, b) cover x in [l, r) and y in [t, b), the
// platform convention; anything outside the surface is clipped.
// Colours are red + 256 * green + 65536 * blue.
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QDialog;
class QPainter;
class QWidget;

namespace gf5 {

class PrintJob;

class Gf5Print {
public:
    Gf5Print();
    ~Gf5Print();

    // Pen, brush and text settings back to their defaults: pen 1 pixel black
    // solid, DrawMode 13, no brush, transparent background, text defaults.
    void ResetTools();

    int32_t PenWidth = 1;
    int32_t PenColor = 0;
    int16_t PenStyle = 1;  // 0 and 1 solid, 2 dashed, 3 dotted
    // Raster operation of pens and shape fills: 13 copy pen, 1 black, 16
    // white, 4 inverted pen colour, 9 pen AND screen, 15 pen OR screen, 11
    // nothing; other values copy the pen. FillRectangle, images and text
    // always copy, so a fill after a black-mode line keeps its colour.
    int16_t DrawMode = 13;
    int16_t BrushStyle = 0; // 0 none, 1 solid
    int32_t BrushColor = 0;
    bool TransparentBackground = true; // false: gaps of styled lines and the text box painted white

    QString TextFontName;
    int16_t TextFontSize = 12;
    bool TextBold = false;
    int16_t TextDirection = 0; // 0 horizontal, 2 vertical
    int32_t TextForeColor = 0;
    int32_t TextBackColor = 0xFFFFFF;
    QString TextString;
    bool TextStyleFlag = false;
    int16_t TextOptionA = 1;
    int16_t TextOptionB = 1;

    // From (x1, y1) up to but not including (x2, y2); wider pens are centred
    // on the line (width w along y covers rows y - w/2 .. y - w/2 + w - 1)
    // and end flat.
    int32_t DrawLine(int32_t dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Outlines keep the whole pen inside [l, r) x [t, b); with BrushStyle 1
    // the inside is filled too.
    int32_t DrawRectangle(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b);
    int32_t DrawEllipse(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b);
    int32_t DrawRoundRect(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b, int32_t cw, int32_t ch);
    // Arc of the ellipse bounded by (l, t, r, b), counter-clockwise as seen on
    // screen from the ray through (xs, ys) to the ray through (xe, ye).
    int32_t DrawArc(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b,
                    int32_t xs, int32_t ys, int32_t xe, int32_t ye);
    // Filled over the pixels whose centres lie inside (even-odd rule), then
    // outlined along the edges through the corner pixels.
    int32_t DrawPolygon(int32_t dc, const int32_t* xs, const int32_t* ys, int n);
    int32_t FillRectangle(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b);
    // TextString drawn inside the rectangle, scaled down when it does not fit.
    int32_t DrawTextInRect(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b);
    int32_t ReadPixel(int32_t dc, int32_t x, int32_t y, int16_t& r, int16_t& g, int16_t& b);
    int32_t WritePixel(int32_t dc, int32_t x, int32_t y, int32_t colour);
    // A stored image drawn into the rectangle: pixel for pixel at its own
    // size, smoothly scaled otherwise; option -1 keeps its proportions
    // (from the top-left corner); option 1 leaves the picture's pure white
    // out, so what is under it shows there, without a pale fringe around the
    // rest when it is scaled. 0 for an unknown image or an empty rectangle.
    int32_t DrawImage(int32_t dc, int32_t image, int32_t l, int32_t t, int32_t r, int32_t b, int32_t option);

    // Printing.
    QString SetupName;
    int32_t ShowPrinterDialog(QWidget* owner);
    int32_t BeginPrint(QWidget* owner); // returns the page's drawing handle, 0 on failure
    int32_t StartPrintPage(int32_t& dc);
    int32_t EndPrintPage(int32_t dc);
    int32_t EndPrint(int32_t dc);
    void SetPrintMode(int16_t mode);
    int16_t PrintMode() const { return m_printMode; }
    // Sends printing to a PDF file instead of a printer, without dialogs
    // (tests and scripted runs); an empty path goes back to the printer.
    void setPrintToFile(const QString& pdfPath) { m_pdfPath = pdfPath; }
    // Tests and scripted runs can answer the printer dialog: when set, it is
    // called instead of showing the dialog and its result is returned.
    static std::function<int32_t()> printerDialogOverride;
    // Shows a print preview ("印刷プレビュー") of what drawDocument prints
    // (the same BeginPrint ... EndPrint calls as printing). Nonzero when the
    // user chose to print; nothing is printed by the preview itself. When
    // printing into a file it is skipped (nonzero) unless previewOverride is
    // set, which then gets the dialog instead of it being shown.
    int32_t ShowPrintPreview(QWidget* owner, const std::function<void()>& drawDocument);
    static std::function<bool(QDialog&)> previewOverride;
    // Turns the sheet across (landscape) or upright before the printer
    // dialog; the user may still turn it there.
    void SetPaperOrientation(bool landscape);
    // The printer's sheet and printable area (on the sheet), in tenths of a
    // millimetre.
    QSizeF PaperSize();
    QRectF PrintableArea();

private:
    // Fills (with the brush) and outlines (with the pen, kept inside the
    // rectangle) the shape that shape() draws along the given path.
    int32_t drawOutlinedShape(int32_t dc, int32_t l, int32_t t, int32_t r, int32_t b,
                              const std::function<void(QPainter&, const QRectF&)>& shape);

    int16_t m_printMode = 0;
    QString m_pdfPath;
    std::unique_ptr<PrintJob> m_job;
};

} // namespace gf5
