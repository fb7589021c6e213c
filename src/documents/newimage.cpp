// New blank sheet and the title line.
#include "document_rules.h"
#include "shell/form1.h"

void Form1::btnNewImage_Click()
{
    if (Gf5Disp1->ImageHandle() != 0)
        ReleaseCanvasImage();
    if (Gf5Effect1.CreateImage(600, 600, 24, 255, 255, 255) == 0)
        return;
    selectOption1(0);
    Gf5Disp1->setImageHandle(Gf5Effect1.ResultImage);
    Gf5Disp1->setZoomMode(0);
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    Form_Paint();
    DocumentPath = documents::kNewImageName;
    DocumentDpi = PrintDpi; // a new sheet has the resolution it is given
    UpdateTitle();
    markDocumentClean();
}

void Form1::UpdateTitle()
{
    Gf5Common1.ImageHandle = Gf5Disp1->ImageHandle();
    if (Gf5Common1.IsValid() == 0)
        return;
    Gf5Common1.setResolutionX(PrintDpi);
    Gf5Common1.setResolutionY(PrintDpi);
    Gf5Common1.UpdateImageInfo();
    setWindowTitle(documents::titleText(DocumentPath, Gf5Common1.ImageWidth(), Gf5Common1.ImageHeight(),
                                        Gf5Common1.BitDepth()));
}

void Form1::ReleaseCanvasImage()
{
    const int32_t h = Gf5Disp1->ImageHandle();
    if (h == 0)
        return;
    Gf5Disp1->setImageHandle(0);
    Gf5Common1.ImageHandle = h;
    Gf5Common1.FreeImage();
    // After an undo the canvas shows the snapshot itself; the store must not
    // keep naming a released image.
    if (Gf5Effect2.ResultImage == h)
        Gf5Effect2.ResultImage = 0;
    if (Gf5Effect2.SourceImage == h)
        Gf5Effect2.SourceImage = 0;
}
