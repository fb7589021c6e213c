// The floating paste: a clipboard picture drawn on the canvas's drawing
// surface that follows the selection until it is confirmed into the image.
#include "shell/form1.h"
#include <QCheckBox>

void Form1::btnClipPaste_Click() { PasteFromClipboard(false); }

void Form1::btnClipSet_Click() { ConfirmPaste(true, chkToka->isChecked()); }

void Form1::endFloatingPaste()
{
    PasteFloating = false;
    const int32_t picture = FloatingPicture;
    FloatingPicture = 0;
    releaseWorkImage(picture);
}

void Form1::PasteFromClipboard(bool forFill)
{
    // A picture still floating stays drawn; only its handle is let go.
    endFloatingPaste();
    if (Gf5Effect1.GetClipboardImage() == 0)
        return;
    const int32_t picture = Gf5Effect1.ResultImage;
    FloatingPicture = picture;
    const bool selection = Gf5Disp1->SelectionBottom() > 0 && Gf5Disp1->SelectionRight() > 0;
    const int32_t sx = Gf5Disp1->SelectionLeft(), sy = Gf5Disp1->SelectionTop();
    Gf5Common1.ImageHandle = picture;
    if (Gf5Common1.IsValid() == 0) {
        endFloatingPaste();
        return;
    }
    const int32_t w = Gf5Common1.ImageWidth(), h = Gf5Common1.ImageHeight();

    int32_t l, t;
    if (forFill) {
        l = 0;
        t = 0;
    } else if (selection) {
        l = sx;
        t = sy;
    } else {
        l = Gf5Disp1->ViewOriginX() + 100;
        t = Gf5Disp1->ViewOriginY() + 100;
    }
    const int32_t r = l + w, b = t + h;

    Gf5Disp1->setDisplayMode(3);
    Gf5Disp1->Refresh();
    if (Gf5Print1.DrawImage(Gf5Disp1->DrawingDC(), picture, l, t, r, b, 0) == 0) {
        endFloatingPaste();
        Gf5Disp1->setDisplayMode(2);
        Gf5Disp1->Refresh();
        return;
    }
    PasteFloating = true;
    setFloatRect(l, t, r, b);
    if (forFill)
        return; // the caller confirms at once
    Gf5Disp1->setSelectionLeft(l);
    Gf5Disp1->setSelectionTop(t);
    Gf5Disp1->setSelectionRight(r);
    Gf5Disp1->setSelectionBottom(b);
    Gf5Disp1->setDisplayMode(2);
    Gf5Disp1->Refresh();
}

void Form1::Gf5Disp1_SelectionChanged()
{
    if (!PasteFloating)
        return;
    if (Gf5Disp1->DisplayMode() != 2) {
        endFloatingPaste();
        return;
    }
    SavedSelLeft = Gf5Disp1->SelectionLeft();
    SavedSelTop = Gf5Disp1->SelectionTop();
    SavedSelRight = Gf5Disp1->SelectionRight();
    SavedSelBottom = Gf5Disp1->SelectionBottom();
    // The picture drawn at the old place goes.
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    if (SavedSelRight > 0 || SavedSelBottom > 0) {
        Gf5Disp1->setDisplayMode(2);
        Gf5Disp1->Refresh();
        if (FloatingPicture == 0) {
            endFloatingPaste();
            return;
        }
        // Drawn again, scaled to the new rectangle.
        Gf5Disp1->setDisplayMode(3);
        Gf5Disp1->Refresh();
        const int32_t drawn = Gf5Print1.DrawImage(Gf5Disp1->DrawingDC(), FloatingPicture, SavedSelLeft,
                                                  SavedSelTop, SavedSelRight, SavedSelBottom, 0);
        Gf5Disp1->setDisplayMode(2);
        Gf5Disp1->Refresh();
        if (drawn == 0)
            endFloatingPaste();
        else
            setFloatRect(SavedSelLeft, SavedSelTop, SavedSelRight, SavedSelBottom);
    } else {
        // The selection was removed: the paste is cancelled.
        endFloatingPaste();
        Gf5Disp1->setDisplayMode(1);
        Gf5Disp1->Refresh();
        Form_Paint();
    }
}

void Form1::ConfirmPaste(bool takeSnapshot, bool transparent)
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
        return;
    }
    // The picture is already on the drawing surface; its handle is done with.
    endFloatingPaste();
    // Leaving white out needs a pasted area: without a selection there is
    // none, and widening white would recolour the whole image.
    transparent = transparent && Gf5Disp1->SelectionRight() > 0 && Gf5Disp1->SelectionBottom() > 0;
    if (transparent)
        CutOutSelection(1); // the background under the selection, without the picture
    if (takeSnapshot)
        TakeUndoSnapshot();
    Gf5Disp1->CommitDrawing();
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    if (transparent) {
        if (chkKakudai->isChecked())
            WidenWhite();
        CutOutSelection(3);          // the pasted area as it now is
        StampCutOutBack();           // the background back under it
        OverlayPasteTransparent();   // the pasted area over it, pure white left out
        const int32_t pasted = Gf5Effect3.SourceImage;
        Gf5Effect3.SourceImage = 0;
        Gf5Effect3.ResultImage = 0;
        releaseWorkImage(pasted);
    }
    ClearSelection();
}
