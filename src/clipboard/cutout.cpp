// Cut-outs of the selection, stamping saved pixels back, white widening and
// the transparent overlay of a confirmed paste; the release rule they share.
#include "clipboard/white_curve.h"
#include "imaging/store/imagestore.h"
#include "shell/main_window.h"
#include <QRect>
#include <algorithm>

void MainWindow::releaseWorkImage(int32_t handle)
{
    if (handle == 0 || handle == dspCanvas->ImageHandle() || handle == dspPreview->ImageHandle() ||
        handle == fxUndo.ResultImage)
        return;
    imgInfo.ImageHandle = handle;
    imgInfo.FreeImage();
    for (gf5::Gf5Effect* fx : {&fxCanvas, &fxPaste, &fxWhiten}) {
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

void MainWindow::CutOutSelection(int which)
{
    const int32_t canvas = dspCanvas->ImageHandle();
    if (canvas == 0)
        return;
    gf5::Gf5Effect& fx = which == 1 ? fxCanvas : fxPaste;
    // A new cut-out replaces the one held before.
    if (which == 1) {
        const int32_t old = SavedCutOut;
        SavedCutOut = 0;
        releaseWorkImage(old);
    } else {
        const int32_t oldSource = fxPaste.SourceImage, oldResult = fxPaste.ResultImage;
        fxPaste.SourceImage = fxPaste.ResultImage = 0;
        releaseWorkImage(oldResult);
        if (oldSource != oldResult)
            releaseWorkImage(oldSource);
    }
    fx.SourceImage = canvas;
    fx.ReportProgress = true;
    fx.AreaMode = 2;
    const int32_t l = dspCanvas->SelectionLeft(), t = dspCanvas->SelectionTop();
    const int32_t r = dspCanvas->SelectionRight(), b = dspCanvas->SelectionBottom();
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

void MainWindow::StampCutOutBack()
{
    // Only pixels saved by CutOutSelection(1) are stamped; without them
    // (nothing saved, or already stamped) this does nothing.
    const int32_t saved = SavedCutOut;
    if (saved == 0)
        return;
    imgInfo.ImageHandle = saved;
    if (imgInfo.IsValid() == 0) {
        releaseWorkImage(saved);
        return;
    }
    // A cut-out holds only the part of the rectangle that lies on the image:
    // it goes back there at its own size, not stretched over the whole
    // rectangle.
    QRect target(QPoint(SavedCutOutLeft, SavedCutOutTop), QPoint(SavedCutOutRight - 1, SavedCutOutBottom - 1));
    const int32_t w = imgInfo.ImageWidth(), h = imgInfo.ImageHeight();
    imgInfo.ImageHandle = dspCanvas->ImageHandle();
    const QRect onImage = target.intersected(QRect(0, 0, imgInfo.ImageWidth(), imgInfo.ImageHeight()));
    if (onImage.size() == QSize(w, h))
        target = onImage;
    dspCanvas->setDisplayMode(3);
    dspCanvas->Refresh();
    if (drawTools.DrawImage(dspCanvas->DrawingDC(), saved, target.left(), target.top(), target.right() + 1,
                            target.bottom() + 1, 0) == 0)
        return;
    dspCanvas->CommitDrawing();
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    Form_Paint();
    releaseWorkImage(saved);
}

void MainWindow::WidenWhite()
{
    const int32_t canvas = dspCanvas->ImageHandle();
    if (canvas == 0)
        return;
    const int32_t l = dspCanvas->SelectionLeft(), t = dspCanvas->SelectionTop();
    const int32_t r = dspCanvas->SelectionRight(), b = dspCanvas->SelectionBottom();
    PolyX = {l, r, r, l, 0, 0};
    PolyY = {t, t, b, b, 0, 0};
    fxWhiten.SourceImage = canvas;
    fxWhiten.AreaMode = (b > 0 && r > 0) ? 2 : 1;
    fxWhiten.ReportProgress = true;
    const int32_t ok = fxWhiten.ToneCurve(PolyX.data(), PolyY.data(), 4, clipboard::kWidenWhiteIn,
                                            clipboard::kWidenWhiteOut, 6, 1, 1, 1);
    fxWhiten.SourceImage = 0;
    if (ok == 0)
        return;
    const int32_t widened = fxWhiten.ResultImage;
    fxWhiten.ResultImage = 0; // the canvas owns it now
    dspCanvas->setImageHandle(widened);
    releaseWorkImage(canvas);
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
}

void MainWindow::OverlayPasteTransparent()
{
    const int32_t canvas = dspCanvas->ImageHandle();
    if (canvas == 0)
        return;
    // The pasted area was cut out of the image, so it starts on the image
    // even when the selection begins left of or above it.
    const int32_t left = std::max(dspCanvas->SelectionLeft(), 0), top = std::max(dspCanvas->SelectionTop(), 0);
    if (fxCanvas.OverlayWithKey(canvas, fxPaste.SourceImage, 255, 255, 255, 255, 255, 255, 255, left, top,
                                  0) == 0)
        return;
    dspCanvas->setImageHandle(fxCanvas.ResultImage);
    releaseWorkImage(canvas); // the image the overlay replaced
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    Form_Paint();
}
