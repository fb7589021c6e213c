// Copy to the system clipboard: the selection, or the whole image.
#include "shell/main_window.h"

void MainWindow::btnClipCopy_Click()
{
    // What is copied is the picture as shown.
    layInFloatingPaste(QStringLiteral("コピー"));
    const int32_t canvas = dspCanvas->ImageHandle();
    if (canvas == 0)
        return;
    // The copy changes nothing the window holds: the effect control's slots
    // are given back as they were.
    const int32_t keptSource = fxCanvas.SourceImage, keptResult = fxCanvas.ResultImage;
    const int32_t l = dspCanvas->SelectionLeft(), t = dspCanvas->SelectionTop();
    const int32_t r = dspCanvas->SelectionRight(), b = dspCanvas->SelectionBottom();
    fxCanvas.SourceImage = canvas;
    fxCanvas.ReportProgress = true;
    fxCanvas.AreaMode = (r == 0 || b == 0) ? 1 : 2;
    PolyX = {l, r, r, l, 0, 0};
    PolyY = {t, t, b, b, 0, 0};
    if (fxCanvas.CutOutRegion(PolyX.data(), PolyY.data(), 4, 255, 255, 255) != 0) {
        const int32_t cut = fxCanvas.ResultImage;
        fxCanvas.SourceImage = cut;
        fxCanvas.CopySourceToClipboard();
        // A result the transfer may have made, then the cut-out: each once.
        if (fxCanvas.ResultImage != cut)
            releaseWorkImage(fxCanvas.ResultImage);
        releaseWorkImage(cut);
    }
    fxCanvas.SourceImage = keptSource;
    fxCanvas.ResultImage = keptResult;
}
