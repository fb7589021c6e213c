// Copy to the system clipboard: the selection, or the whole image.
#include "shell/form1.h"

void Form1::btnClipCopy_Click()
{
    const int32_t canvas = Gf5Disp1->ImageHandle();
    if (canvas == 0)
        return;
    // The copy changes nothing the window holds: the effect control's slots
    // are given back as they were.
    const int32_t keptSource = Gf5Effect1.SourceImage, keptResult = Gf5Effect1.ResultImage;
    const int32_t l = Gf5Disp1->SelectionLeft(), t = Gf5Disp1->SelectionTop();
    const int32_t r = Gf5Disp1->SelectionRight(), b = Gf5Disp1->SelectionBottom();
    Gf5Effect1.SourceImage = canvas;
    Gf5Effect1.ReportProgress = true;
    Gf5Effect1.AreaMode = (r == 0 || b == 0) ? 1 : 2;
    PolyX = {l, r, r, l, 0, 0};
    PolyY = {t, t, b, b, 0, 0};
    if (Gf5Effect1.CutOutRegion(PolyX.data(), PolyY.data(), 4, 255, 255, 255) != 0) {
        const int32_t cut = Gf5Effect1.ResultImage;
        Gf5Effect1.SourceImage = cut;
        Gf5Effect1.CopySourceToClipboard();
        // A result the transfer may have made, then the cut-out: each once.
        if (Gf5Effect1.ResultImage != cut)
            releaseWorkImage(Gf5Effect1.ResultImage);
        releaseWorkImage(cut);
    }
    Gf5Effect1.SourceImage = keptSource;
    Gf5Effect1.ResultImage = keptResult;
}
