// Confirming a floating paste with its pure white left out. The picture is
// laid over the image once more, keyed before it is scaled, so a stretched
// part leaves no pale fringe around its lines on a tinted plan.
#include "clipboard/white_curve.h"
#include "shell/form1.h"
#include <QCheckBox>

void Form1::setFloatRect(int32_t l, int32_t t, int32_t r, int32_t b)
{
    FloatLeft = l;
    FloatTop = t;
    FloatRight = r;
    FloatBottom = b;
}

void Form1::confirmFloatingTransparent(int32_t picture, bool takeSnapshot)
{
    if (takeSnapshot)
        TakeUndoSnapshot();
    // The picture drawn opaque while it floated goes; it is drawn again keyed.
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    int32_t source = picture;
    int32_t widened = 0;
    if (chkKakudai->isChecked()) {
        // Near-white of the picture becomes pure white first.
        Gf5Effect4.SourceImage = picture;
        Gf5Effect4.AreaMode = 1;
        Gf5Effect4.ReportProgress = true;
        if (Gf5Effect4.ToneCurve(PolyX.data(), PolyY.data(), 4, clipboard::kWidenWhiteIn, clipboard::kWidenWhiteOut,
                                 6, 1, 1, 1) != 0) {
            widened = Gf5Effect4.ResultImage;
            source = widened;
        }
        Gf5Effect4.SourceImage = 0;
        Gf5Effect4.ResultImage = 0;
    }
    Gf5Disp1->setDisplayMode(3);
    Gf5Disp1->Refresh();
    if (Gf5Print1.DrawImage(Gf5Disp1->DrawingDC(), source, FloatLeft, FloatTop, FloatRight, FloatBottom, 1) != 0)
        Gf5Disp1->CommitDrawing();
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    Form_Paint();
    releaseWorkImage(widened);
}
