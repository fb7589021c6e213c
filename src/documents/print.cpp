// Printing the canvas image as one square picture near the top-left corner
// of a page.
#include "documents/form4.h"
#include "shell/form1.h"

namespace {
const QString kSetupName = QStringLiteral("Gf5Prn.Gf5");
}

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
    {
        Form4 sizeWindow(this);
        sizeWindow.showModal();
    }
    if (documents::PrintSize != 0) {
        PrintImage(documents::PrintSize * 100);
        Gf5Print1.SetPrintMode(0);
    }
}

void Form1::PrintImage(int32_t size)
{
    Gf5Print1.SetupName = kSetupName;
    int32_t dc = Gf5Print1.BeginPrint(this);
    if (dc == 0)
        return; // no printer could be started
    Gf5Print1.StartPrintPage(dc);
    Gf5Print1.SetPrintMode(1);
    // Tenths of a millimetre: 10 mm in from the printable area's corner.
    Gf5Print1.DrawImage(dc, Gf5Disp1->ImageHandle(), 100, 100, size + 100, size + 100, -1);
    Gf5Print1.EndPrintPage(dc);
    Gf5Print1.EndPrint(dc);
}
