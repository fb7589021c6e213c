// Confirming a floating paste with its pure white left out. The picture is
// laid over the image once more, keyed before it is scaled, so a stretched
// part leaves no pale fringe around its lines on a tinted plan.
#include "clipboard/white_curve.h"
#include "shell/main_window.h"
#include <QCheckBox>

void MainWindow::setFloatRect(int32_t l, int32_t t, int32_t r, int32_t b)
{
    FloatLeft = l;
    FloatTop = t;
    FloatRight = r;
    FloatBottom = b;
}

void MainWindow::confirmFloatingTransparent(int32_t picture, bool takeSnapshot)
{
    if (takeSnapshot)
        TakeUndoSnapshot();
    // The picture drawn opaque while it floated goes; it is drawn again keyed.
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    int32_t source = picture;
    int32_t widened = 0;
    if (chkKakudai->isChecked()) {
        // Near-white of the picture becomes pure white first.
        fxWhiten.SourceImage = picture;
        fxWhiten.AreaMode = 1;
        fxWhiten.ReportProgress = true;
        if (fxWhiten.ToneCurve(PolyX.data(), PolyY.data(), 4, clipboard::kWidenWhiteIn, clipboard::kWidenWhiteOut,
                                 6, 1, 1, 1) != 0) {
            widened = fxWhiten.ResultImage;
            source = widened;
        }
        fxWhiten.SourceImage = 0;
        fxWhiten.ResultImage = 0;
    }
    dspCanvas->setDisplayMode(3);
    dspCanvas->Refresh();
    if (drawTools.DrawImage(dspCanvas->DrawingDC(), source, FloatLeft, FloatTop, FloatRight, FloatBottom, 1) != 0)
        dspCanvas->CommitDrawing();
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    Form_Paint();
    releaseWorkImage(widened);
}
