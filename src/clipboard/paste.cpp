// The floating paste: a clipboard picture drawn on the canvas's drawing
// surface that follows the selection until it is confirmed into the image.
#include "clipboard/paste_selection.h"
#include "shell/main_window.h"
#include <QCheckBox>

void MainWindow::btnClipPaste_Click() { PasteFromClipboard(false); }

void MainWindow::btnClipSet_Click() { ConfirmPaste(true, chkToka->isChecked()); }

void MainWindow::endFloatingPaste()
{
    PasteFloating = false;
    const int32_t picture = FloatingPicture;
    FloatingPicture = 0;
    releaseWorkImage(picture);
}

void MainWindow::PasteFromClipboard(bool forFill)
{
    // A picture still floating is laid in first: moving the new one would
    // otherwise wipe it from the drawing surface unseen.
    layInFloatingPaste(QStringLiteral("挿入"));
    endFloatingPaste();
    if (fxCanvas.GetClipboardImage() == 0)
        return;
    const int32_t picture = fxCanvas.ResultImage;
    FloatingPicture = picture;
    const bool selection = dspCanvas->SelectionBottom() > 0 && dspCanvas->SelectionRight() > 0;
    const int32_t sx = dspCanvas->SelectionLeft(), sy = dspCanvas->SelectionTop();
    imgInfo.ImageHandle = picture;
    if (imgInfo.IsValid() == 0) {
        endFloatingPaste();
        return;
    }
    const int32_t w = imgInfo.ImageWidth(), h = imgInfo.ImageHeight();

    int32_t l, t;
    if (forFill) {
        l = 0;
        t = 0;
    } else if (selection) {
        l = sx;
        t = sy;
    } else {
        l = dspCanvas->ViewOriginX() + 100;
        t = dspCanvas->ViewOriginY() + 100;
    }
    const int32_t r = l + w, b = t + h;

    dspCanvas->setDisplayMode(3);
    dspCanvas->Refresh();
    if (drawTools.DrawImage(dspCanvas->DrawingDC(), picture, l, t, r, b, 0) == 0) {
        endFloatingPaste();
        dspCanvas->setDisplayMode(2);
        dspCanvas->Refresh();
        return;
    }
    PasteFloating = true;
    setFloatRect(l, t, r, b);
    if (forFill)
        return; // the caller confirms at once
    clipboard::showFloatingSelection(*dspCanvas, l, t, r, b);
}

void MainWindow::dspCanvas_SelectionChanged()
{
    if (!PasteFloating)
        return;
    if (dspCanvas->DisplayMode() != 2) {
        endFloatingPaste();
        wallsAfterFloatingPaste(false);
        return;
    }
    SavedSelLeft = dspCanvas->SelectionLeft();
    SavedSelTop = dspCanvas->SelectionTop();
    SavedSelRight = dspCanvas->SelectionRight();
    SavedSelBottom = dspCanvas->SelectionBottom();
    // The picture drawn at the old place goes.
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    if (SavedSelRight > 0 || SavedSelBottom > 0) {
        dspCanvas->setDisplayMode(2);
        dspCanvas->Refresh();
        if (FloatingPicture == 0) {
            endFloatingPaste();
            wallsAfterFloatingPaste(false);
            return;
        }
        // Drawn again, scaled to the new rectangle.
        dspCanvas->setDisplayMode(3);
        dspCanvas->Refresh();
        const int32_t drawn = drawTools.DrawImage(dspCanvas->DrawingDC(), FloatingPicture, SavedSelLeft,
                                                  SavedSelTop, SavedSelRight, SavedSelBottom, 0);
        dspCanvas->setDisplayMode(2);
        dspCanvas->Refresh();
        if (drawn == 0) {
            endFloatingPaste();
            wallsAfterFloatingPaste(false);
        } else {
            setFloatRect(SavedSelLeft, SavedSelTop, SavedSelRight, SavedSelBottom);
        }
    } else {
        // The selection was removed: the paste is cancelled.
        endFloatingPaste();
        dspCanvas->setDisplayMode(1);
        dspCanvas->Refresh();
        Form_Paint();
        wallsAfterFloatingPaste(false);
    }
}

void MainWindow::ConfirmPaste(bool takeSnapshot, bool transparent)
{
    // A floating picture is laid in afresh with its white left out, into the
    // rectangle it was last drawn into, whether or not a selection remains.
    if (transparent && PasteFloating && FloatingPicture != 0 && FloatRight > FloatLeft && FloatBottom > FloatTop) {
        const int32_t picture = FloatingPicture;
        FloatingPicture = 0;
        endFloatingPaste();
        confirmFloatingTransparent(picture, takeSnapshot);
        releaseWorkImage(picture);
        ClearSelection();
        wallsAfterFloatingPaste(true);
        return;
    }
    // The picture is already on the drawing surface; its handle is done with.
    const bool wasFloating = PasteFloating;
    endFloatingPaste();
    // Leaving white out needs a pasted area: without a selection there is
    // none, and widening white would recolour the whole image.
    transparent = transparent && dspCanvas->SelectionRight() > 0 && dspCanvas->SelectionBottom() > 0;
    if (transparent)
        CutOutSelection(1); // the background under the selection, without the picture
    if (takeSnapshot)
        TakeUndoSnapshot();
    dspCanvas->CommitDrawing();
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    if (transparent) {
        if (chkKakudai->isChecked())
            WidenWhite();
        CutOutSelection(3);          // the pasted area as it now is
        StampCutOutBack();           // the background back under it
        OverlayPasteTransparent();   // the pasted area over it, pure white left out
        const int32_t pasted = fxPaste.SourceImage;
        fxPaste.SourceImage = 0;
        fxPaste.ResultImage = 0;
        releaseWorkImage(pasted);
    }
    ClearSelection();
    wallsAfterFloatingPaste(wasFloating);
}
