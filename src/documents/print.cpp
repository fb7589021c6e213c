// Printing the canvas image: as a square picture near the top-left corner of
// a page, as large as the paper allows, or at the image's own size, after a
// preview.
#include "documents/form4.h"
#include "documents/print_layout.h"
#include "shell/form1.h"
#include "shell/messages.h"

namespace {
const QString kSetupName = QStringLiteral("Gf5Prn.Gf5");

documents::PageGeometry pageOf(gf5::Gf5Print& print)
{
    return {print.PaperSize(), print.PrintableArea()};
}
} // namespace

void Form1::btnPrintOut_Click()
{
    if (Gf5Disp1->ImageHandle() == 0)
        return;
    Gf5Print1.SetupName = kSetupName;
    OpResult = Gf5Print1.ShowPrinterDialog(this);
    if (OpResult == 0)
        return;
    Gf5Common1.ImageHandle = Gf5Disp1->ImageHandle();
    if (Gf5Common1.IsValid() == 0)
        return;
    documents::PrintImageWidth = Gf5Common1.ImageWidth();
    documents::PrintImageHeight = Gf5Common1.ImageHeight();
    const QSize pixels(documents::PrintImageWidth, documents::PrintImageHeight);
    documents::PrintActualSizeMm = documents::actualSize(pixels, DocumentDpi) / 10.0;
    {
        Form4 sizeWindow(this);
        sizeWindow.showModal();
    }
    documents::PrintLayout layout = documents::PrintChoice;
    if (layout == documents::PrintLayout::Square && documents::PrintSize == 0)
        return;
    if (layout == documents::PrintLayout::ActualSize) {
        const documents::PageGeometry page = pageOf(Gf5Print1);
        if (!documents::actualSizeFits(pixels, DocumentDpi, page)) {
            const QSizeF mm = documents::PrintActualSizeMm;
            const QString text = QString("原寸（%1×%2mm）では用紙（%3×%4mm）に収まりません。\n"
                                         "用紙に合わせて印刷しますか？")
                                     .arg(mm.width(), 0, 'f', 0)
                                     .arg(mm.height(), 0, 'f', 0)
                                     .arg(page.paper.width() / 10, 0, 'f', 0)
                                     .arg(page.paper.height() / 10, 0, 'f', 0);
            if (!messages::ask(this, text))
                return;
            layout = documents::PrintLayout::FitPaper;
        }
    }
    // The preview draws through the same calls as the printout, so the page
    // (and its orientation, which the preview can change) is read each time.
    auto printPage = [this, layout, pixels] {
        if (layout == documents::PrintLayout::Square)
            PrintImage(documents::PrintSize * 100);
        else
            PrintImageIn(documents::printRect(layout, 0, pixels, DocumentDpi, pageOf(Gf5Print1)));
    };
    if (Gf5Print1.ShowPrintPreview(this, printPage) != 0)
        printPage();
    Gf5Print1.SetPrintMode(0);
}

void Form1::PrintImage(int32_t size)
{
    // Tenths of a millimetre: 10 mm in from the printable area's corner.
    PrintImageIn(QRect(100, 100, size, size));
}

void Form1::PrintImageIn(const QRect& rect)
{
    Gf5Print1.SetupName = kSetupName;
    int32_t dc = Gf5Print1.BeginPrint(this);
    if (dc == 0)
        return; // no printer could be started
    Gf5Print1.StartPrintPage(dc);
    Gf5Print1.SetPrintMode(1);
    // The print control keeps the picture's proportions inside the rectangle.
    Gf5Print1.DrawImage(dc, Gf5Disp1->ImageHandle(), rect.left(), rect.top(), rect.left() + rect.width(),
                        rect.top() + rect.height(), -1);
    Gf5Print1.EndPrintPage(dc);
    Gf5Print1.EndPrint(dc);
}
