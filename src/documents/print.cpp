// Printing the canvas image: as a square picture near the top-left corner of
// a page, as large as the paper allows, or at the image's own size, after a
// preview.
#include "documents/print_size_dialog.h"
#include "documents/print_layout.h"
#include "imaging/store/imagestore.h"
#include "shell/main_window.h"
#include "shell/messages.h"

namespace {
const QString kSetupName = QStringLiteral("Gf5Prn.Gf5");

documents::PageGeometry pageOf(gf5::Gf5Print& print)
{
    return {print.PaperSize(), print.PrintableArea()};
}
} // namespace

void MainWindow::btnPrintOut_Click()
{
    if (dspCanvas->ImageHandle() == 0)
        return;
    drawTools.SetupName = kSetupName;
    // The sheet lies as the plan does; the printer dialog may turn it back.
    if (const QImage* plan = gf5::ImageStore::image(dspCanvas->ImageHandle()))
        drawTools.SetPaperOrientation(documents::landscapeFor(plan->size()));
    OpResult = drawTools.ShowPrinterDialog(this);
    if (OpResult == 0)
        return;
    imgInfo.ImageHandle = dspCanvas->ImageHandle();
    if (imgInfo.IsValid() == 0)
        return;
    documents::PrintImageWidth = imgInfo.ImageWidth();
    documents::PrintImageHeight = imgInfo.ImageHeight();
    const QSize pixels(documents::PrintImageWidth, documents::PrintImageHeight);
    documents::PrintActualSizeMm = documents::actualSize(pixels, document.dpi()) / 10.0;
    documents::PrintScaleDenominator = document.scaleDenominator();
    // いいえ to the question below goes back to the size window, so the
    // user can choose another size instead of being left with nothing.
    documents::PrintLayout layout = documents::PrintLayout::Square;
    for (;;) {
        {
            PrintSizeDialog sizeWindow(this);
            sizeWindow.showModal();
        }
        layout = documents::PrintChoice;
        if (layout == documents::PrintLayout::Square && documents::PrintSize == 0)
            return;
        if (layout != documents::PrintLayout::ActualSize)
            break;
        const documents::PageGeometry page = pageOf(drawTools);
        if (documents::actualSizeFits(pixels, document.dpi(), page))
            break;
        const QSizeF mm = documents::PrintActualSizeMm;
        const QString text = QString("原寸（%1×%2mm）では用紙（%3×%4mm）に収まりません。\n"
                                     "用紙に合わせて印刷しますか？")
                                 .arg(mm.width(), 0, 'f', 0)
                                 .arg(mm.height(), 0, 'f', 0)
                                 .arg(page.paper.width() / 10, 0, 'f', 0)
                                 .arg(page.paper.height() / 10, 0, 'f', 0);
        if (messages::ask(this, text)) {
            layout = documents::PrintLayout::FitPaper;
            break;
        }
    }
    // The printout shows the picture as the canvas shows it.
    layInFloatingPaste(QStringLiteral("印刷"));
    // The preview draws through the same calls as the printout, so the page
    // (and its orientation, which the preview can change) is read each time.
    auto printPage = [this, layout, pixels] {
        if (layout == documents::PrintLayout::Square)
            PrintImage(documents::PrintSize * 100);
        else
            PrintImageIn(documents::printRect(layout, 0, pixels, document.dpi(), pageOf(drawTools)));
    };
    if (drawTools.ShowPrintPreview(this, printPage) != 0)
        printPage();
    drawTools.SetPrintMode(0);
}

void MainWindow::PrintImage(int32_t size)
{
    // Tenths of a millimetre: 10 mm in from the printable area's corner.
    PrintImageIn(QRect(100, 100, size, size));
}

void MainWindow::PrintImageIn(const QRect& rect)
{
    drawTools.SetupName = kSetupName;
    int32_t dc = drawTools.BeginPrint(this);
    if (dc == 0)
        return; // no printer could be started
    drawTools.StartPrintPage(dc);
    drawTools.SetPrintMode(1);
    // The print control keeps the picture's proportions inside the rectangle.
    drawTools.DrawImage(dc, dspCanvas->ImageHandle(), rect.left(), rect.top(), rect.left() + rect.width(),
                        rect.top() + rect.height(), -1);
    drawTools.EndPrintPage(dc);
    drawTools.EndPrint(dc);
}
