// Cut-outs of the selection, stamping saved pixels back, white widening and
// the transparent overlay of a confirmed paste; the release rule they share.
#include "clipboard/white_curve.h"
#include "imaging/store/imagestore.h"
#include "shell/form1.h"
#include <QRect>
#include <algorithm>

void Form1::releaseWorkImage(int32_t handle)
{
    if (handle == 0 || handle == Gf5Disp1->ImageHandle() || handle == Gf5Disp2->ImageHandle() ||
        handle == Gf5Effect2.ResultImage)
        return;
    Gf5Common1.ImageHandle = handle;
    Gf5Common1.FreeImage();
    for (gf5::Gf5Effect* fx : {&Gf5Effect1, &Gf5Effect3, &Gf5Effect4}) {
        if (fx->SourceImage == handle)
            fx->SourceImage = 0;
        if (fx->ResultImage == handle)
            fx->ResultImage = 0;
    }
    if (FloatingPicture == handle)
        FloatingPicture = 0;
    if (SavedCutOut == handle)
        SavedCutOut = 0;
}

void Form1::CutOutSelection(int which)
{
    const int32_t canvas = Gf5Disp1->ImageHandle();
    if (canvas == 0)
        return;
    gf5::Gf5Effect& fx = which == 1 ? Gf5Effect1 : Gf5Effect3;
    // A new cut-out replaces the one held before.
    if (which == 1) {
        const int32_t old = SavedCutOut;
        SavedCutOut = 0;
        releaseWorkImage(old);
    } else {
        const int32_t oldSource = Gf5Effect3.SourceImage, oldResult = Gf5Effect3.ResultImage;
        Gf5Effect3.SourceImage = Gf5Effect3.ResultImage = 0;
        releaseWorkImage(oldResult);
        if (oldSource != oldResult)
            releaseWorkImage(oldSource);
    }
    fx.SourceImage = canvas;
    fx.ReportProgress = true;
    fx.AreaMode = 2;
    const int32_t l = Gf5Disp1->SelectionLeft(), t = Gf5Disp1->SelectionTop();
    const int32_t r = Gf5Disp1->SelectionRight(), b = Gf5Disp1->SelectionBottom();
    PolyX = {l, r, r, l, 0, 0};
    PolyY = {t, t, b, b, 0, 0};
    SavedSelLeft = l;
    SavedSelTop = t;
    SavedSelRight = r;
    SavedSelBottom = b;
    if (fx.CutOutRegion(PolyX.data(), PolyY.data(), 4, 255, 255, 255) == 0) {
        // Nothing was cut out (no selection on the image): nothing is held.
        if (which != 1)
            fx.SourceImage = 0;
        return;
    }
    fx.SourceImage = fx.ResultImage; // the cut-out is held as both
    if (which == 1) {
        SavedCutOut = fx.ResultImage;
        SavedCutOutLeft = l;
        SavedCutOutTop = t;
        SavedCutOutRight = r;
        SavedCutOutBottom = b;
    }
}

void Form1::StampCutOutBack()
{
    // Only pixels saved by CutOutSelection(1) are stamped; without them
    // (nothing saved, or already stamped) this does nothing.
    const int32_t saved = SavedCutOut;
    if (saved == 0)
        return;
    Gf5Common1.ImageHandle = saved;
    if (Gf5Common1.IsValid() == 0) {
        releaseWorkImage(saved);
        return;
    }
    // A cut-out holds only the part of the rectangle that lies on the image:
    // it goes back there at its own size, not stretched over the whole
    // rectangle.
    QRect target(QPoint(SavedCutOutLeft, SavedCutOutTop), QPoint(SavedCutOutRight - 1, SavedCutOutBottom - 1));
    const int32_t w = Gf5Common1.ImageWidth(), h = Gf5Common1.ImageHeight();
    Gf5Common1.ImageHandle = Gf5Disp1->ImageHandle();
    const QRect onImage = target.intersected(QRect(0, 0, Gf5Common1.ImageWidth(), Gf5Common1.ImageHeight()));
    if (onImage.size() == QSize(w, h))
        target = onImage;
    Gf5Disp1->setDisplayMode(3);
    Gf5Disp1->Refresh();
    if (Gf5Print1.DrawImage(Gf5Disp1->DrawingDC(), saved, target.left(), target.top(), target.right() + 1,
                            target.bottom() + 1, 0) == 0)
        return;
    Gf5Disp1->CommitDrawing();
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    Form_Paint();
    releaseWorkImage(saved);
}

void Form1::WidenWhite()
{
    const int32_t canvas = Gf5Disp1->ImageHandle();
    if (canvas == 0)
        return;
    const int32_t l = Gf5Disp1->SelectionLeft(), t = Gf5Disp1->SelectionTop();
    const int32_t r = Gf5Disp1->SelectionRight(), b = Gf5Disp1->SelectionBottom();
    PolyX = {l, r, r, l, 0, 0};
    PolyY = {t, t, b, b, 0, 0};
    Gf5Effect4.SourceImage = canvas;
    Gf5Effect4.AreaMode = (b > 0 && r > 0) ? 2 : 1;
    Gf5Effect4.ReportProgress = true;
    const int32_t ok = Gf5Effect4.ToneCurve(PolyX.data(), PolyY.data(), 4, clipboard::kWidenWhiteIn,
                                            clipboard::kWidenWhiteOut, 6, 1, 1, 1);
    Gf5Effect4.SourceImage = 0;
    if (ok == 0)
        return;
    const int32_t widened = Gf5Effect4.ResultImage;
    Gf5Effect4.ResultImage = 0; // the canvas owns it now
    Gf5Disp1->setImageHandle(widened);
    releaseWorkImage(canvas);
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
}

void Form1::OverlayPasteTransparent()
{
    const int32_t canvas = Gf5Disp1->ImageHandle();
    if (canvas == 0)
        return;
    // The pasted area was cut out of the image, so it starts on the image
    // even when the selection begins left of or above it.
    const int32_t left = std::max(Gf5Disp1->SelectionLeft(), 0), top = std::max(Gf5Disp1->SelectionTop(), 0);
    if (Gf5Effect1.OverlayWithKey(canvas, Gf5Effect3.SourceImage, 255, 255, 255, 255, 255, 255, 255, left, top,
                                  0) == 0)
        return;
    Gf5Disp1->setImageHandle(Gf5Effect1.ResultImage);
    releaseWorkImage(canvas); // the image the overlay replaced
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    Form_Paint();
}
