#pragma once
// One print job: a printer, the painter on it and the drawing handle that
// names it. Coordinates on its surface are tenths of a millimetre from the
// top-left corner of the printable area.
#include "../draw/surface.h"
#include <QPainter>
#include <QString>
#include <memory>

class QDialog;
class QPrinter;
class QPrintPreviewWidget;
class QWidget;

namespace gf5 {

class PrintJob : public DrawingSurface {
public:
    PrintJob();
    ~PrintJob() override;

    // Printer dialog; true when confirmed. With a PDF path no dialog is shown.
    bool showDialog(QWidget* owner, const QString& pdfPath);
    // Print preview of what drawDocument draws (it runs the begin ... end
    // sequence, which then paints into the preview). True when the user
    // chose to print. With a PDF path it is shown only through override.
    bool preview(QWidget* owner, const QString& pdfPath, const std::function<void()>& drawDocument,
                 const std::function<bool(QDialog&)>& override);
    // Turns the sheet across (landscape) or upright for the next dialog and
    // printout; the printer dialog may still change it.
    void setLandscape(bool landscape);
    // The sheet and its printable area, in tenths of a millimetre.
    QSizeF paperSize(const QString& pdfPath);
    QRectF printableArea(const QString& pdfPath);
    // Starts the document; returns the drawing handle or 0.
    int32_t begin(const QString& pdfPath);
    bool startPage(int32_t dc);
    bool endPage(int32_t dc);
    bool end(int32_t dc);
    int32_t handle() const { return m_dc; }

    QImage* surfaceImage() override { return nullptr; }
    void paintOn(const std::function<void(QPainter&)>& fn) override;
    void surfaceChanged(const QRect&) override {}
    double previewPixelsPerUnit() const override;

private:
    QPrinter& printer();
    // Points the printer at the PDF file, or back at the printer.
    void configureOutput(const QString& pdfPath);

    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    int32_t m_dc = 0;
    int m_pagesStarted = 0;
    bool m_pageOpen = false;
    bool m_toFile = false; // the printer was last pointed at a PDF file
    bool m_previewing = false; // drawing goes into the preview, not to the output
    QPrintPreviewWidget* m_previewWidget = nullptr; // the preview being shown
    double m_renderedZoom = 0; // the preview's zoom its pages were drawn for
};

} // namespace gf5
