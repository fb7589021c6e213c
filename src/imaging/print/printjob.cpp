#include "printjob.h"
#include <QActionGroup>
#include <QCoreApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>
#include <cmath>

namespace gf5 {

PrintJob::PrintJob() = default;

PrintJob::~PrintJob()
{
    if (m_dc)
        end(m_dc);
}

QPrinter& PrintJob::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool PrintJob::showDialog(QWidget* owner, const QString& pdfPath)
{
    if (!pdfPath.isEmpty())
        return true;
    QPrintDialog dialog(&printer(), owner);
    return dialog.exec() == QDialog::Accepted;
}

void PrintJob::setLandscape(bool landscape)
{
    printer().setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void PrintJob::configureOutput(const QString& pdfPath)
{
    QPrinter& pr = printer();
    const QPageLayout::Orientation kept = pr.pageLayout().orientation();
    if (!pdfPath.isEmpty()) {
        pr.setOutputFormat(QPrinter::PdfFormat);
        pr.setOutputFileName(pdfPath);
        m_toFile = true;
    } else if (m_toFile) {
        // Back to the printer after printing into a file.
        pr.setOutputFileName(QString());
        pr.setOutputFormat(QPrinter::NativeFormat);
        m_toFile = false;
    }
    // A change of output may bring the printer's own page layout back; the
    // sheet stays turned as it was chosen.
    if (pr.pageLayout().orientation() != kept)
        pr.setPageOrientation(kept);
}

QSizeF PrintJob::paperSize(const QString& pdfPath)
{
    configureOutput(pdfPath);
    return printer().paperRect(QPrinter::Millimeter).size() * 10.0;
}

QRectF PrintJob::printableArea(const QString& pdfPath)
{
    configureOutput(pdfPath);
    const QRectF mm = printer().pageRect(QPrinter::Millimeter);
    return QRectF(mm.topLeft() * 10.0, mm.size() * 10.0);
}

namespace {
// The preview's own print button would show the printer dialog a second
// time; here it only confirms, and the caller prints.
void printButtonConfirms(QPrintPreviewDialog& dialog)
{
    const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QActionGroup* group : dialog.findChildren<QActionGroup*>()) {
        for (QAction* action : group->actions()) {
            if (action->text() != printText)
                continue;
            QObject::disconnect(action, nullptr, &dialog, nullptr);
            QObject::connect(action, &QAction::triggered, &dialog, &QDialog::accept);
            action->setObjectName("previewPrint");
        }
    }
}
} // namespace

bool PrintJob::preview(QWidget* owner, const QString& pdfPath, const std::function<void()>& drawDocument,
                       const std::function<bool(QDialog&)>& override)
{
    if (!pdfPath.isEmpty() && !override)
        return true; // printing into a file runs without dialogs
    configureOutput(pdfPath);
    QPrintPreviewDialog dialog(&printer(), owner);
    dialog.setWindowTitle(QStringLiteral("印刷プレビュー"));
    printButtonConfirms(dialog);
    m_previewWidget = dialog.findChild<QPrintPreviewWidget*>();
    m_renderedZoom = 0;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&](QPrinter*) {
        m_previewing = true;
        m_renderedZoom = m_previewWidget ? m_previewWidget->zoomFactor() : 0;
        drawDocument();
        m_previewing = false;
    });
    // Pictures are drawn for the zoom the preview shows (see
    // previewPixelsPerUnit); when the zoom moves well away from it (the
    // first fit, the zoom buttons) the pages are drawn again.
    QTimer redraw(&dialog);
    redraw.setInterval(250);
    QObject::connect(&redraw, &QTimer::timeout, &dialog, [this] {
        if (!m_previewWidget || m_previewing || m_renderedZoom <= 0)
            return;
        const double change = m_previewWidget->zoomFactor() / m_renderedZoom;
        if (change > 1.2 || change < 1 / 1.2)
            m_previewWidget->updatePreview();
    });
    redraw.start();
    const bool confirmed = override ? override(dialog) : dialog.exec() == QDialog::Accepted;
    m_previewWidget = nullptr;
    return confirmed;
}

double PrintJob::previewPixelsPerUnit() const
{
    if (!m_previewing || !m_previewWidget || m_renderedZoom <= 0)
        return 0;
    // At zoom 1 the preview shows the page at its real size on the screen.
    return m_renderedZoom * m_previewWidget->logicalDpiY() * m_previewWidget->devicePixelRatioF() / 254.0;
}

int32_t PrintJob::begin(const QString& pdfPath)
{
    if (m_dc)
        end(m_dc);
    QPrinter& pr = printer();
    // While previewing, the printer's output is the preview's and stays so.
    if (!m_previewing)
        configureOutput(pdfPath);
    if (!m_painter.begin(&pr))
        return 0;
    // Pictures stay lossless in PDF output; nothing is smoothed.
    m_painter.setRenderHint(QPainter::LosslessImageRendering, true);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    const double unit = pr.resolution() / 254.0; // device pixels per tenth of a millimetre
    m_painter.scale(unit, unit);
    m_dc = SurfaceRegistry::add(this);
    m_pagesStarted = 0;
    m_pageOpen = false;
    return m_dc;
}

bool PrintJob::startPage(int32_t dc)
{
    if (!m_dc || dc != m_dc)
        return false;
    // The document opens on its first page; later pages need a page break.
    if (m_pagesStarted > 0 && !printer().newPage())
        return false;
    ++m_pagesStarted;
    m_pageOpen = true;
    return true;
}

bool PrintJob::endPage(int32_t dc)
{
    if (!m_dc || dc != m_dc)
        return false;
    if (m_pagesStarted == 0)
        m_pagesStarted = 1; // drawing went onto the first page without a start call
    m_pageOpen = false;
    return true;
}

bool PrintJob::end(int32_t dc)
{
    if (!m_dc || dc != m_dc)
        return false;
    SurfaceRegistry::remove(m_dc);
    m_dc = 0;
    m_pageOpen = false;
    return m_painter.end();
}

void PrintJob::paintOn(const std::function<void(QPainter&)>& fn)
{
    if (!m_painter.isActive())
        return;
    m_painter.save();
    fn(m_painter);
    m_painter.restore();
}

} // namespace gf5
