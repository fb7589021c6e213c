// One-level undo: one copy of the canvas image, put back on request.
#include "imaging/store/imagestore.h"
#include "shell/form1.h"

void Form1::TakeUndoSnapshot()
{
    const int32_t canvas = Gf5Disp1->ImageHandle();
    if (canvas == 0)
        return;
    // The superseded snapshot is released unless the canvas is showing it
    // (right after an undo the two are the same image).
    const int32_t old = Gf5Effect2.ResultImage;
    // The snapshot it replaces takes the new pixels in place when the sizes
    // match: no new buffer, and never two snapshots at once.
    if (old != 0 && old != canvas && gf5::ImageStore::copyPixels(canvas, old))
        return;
    Gf5Effect2.SourceImage = canvas;
    Gf5Effect2.Duplicate();
    if (old != 0 && old != canvas && old != Gf5Effect2.ResultImage) {
        Gf5Common1.ImageHandle = old;
        Gf5Common1.FreeImage();
    }
    // The store keeps only its copy; the canvas image stays the canvas's.
    Gf5Effect2.SourceImage = 0;
}

void Form1::btnUndo_Click()
{
    if (Gf5Disp1->ImageHandle() == 0)
        return;
    // A floating paste ends first: otherwise the picture would still follow
    // the selection and come back into the image at the next drag or fill.
    endFloatingPaste();
    SavedSelLeft = Gf5Disp1->SelectionLeft();
    SavedSelTop = Gf5Disp1->SelectionTop();
    SavedSelRight = Gf5Disp1->SelectionRight();
    SavedSelBottom = Gf5Disp1->SelectionBottom();
    const int32_t snapshot = Gf5Effect2.ResultImage;
    if (snapshot == 0)
        return;
    const int32_t replaced = Gf5Disp1->ImageHandle();
    Gf5Disp1->setImageHandle(snapshot);
    // The image the undo replaced is no longer shown anywhere.
    if (replaced != snapshot && replaced != Gf5Disp2->ImageHandle()) {
        Gf5Common1.ImageHandle = replaced;
        Gf5Common1.FreeImage();
        for (gf5::Gf5Effect* fx : {&Gf5Effect1, &Gf5Effect3, &Gf5Effect4}) {
            if (fx->ResultImage == replaced)
                fx->ResultImage = 0;
            if (fx->SourceImage == replaced)
                fx->SourceImage = 0;
        }
    }
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    Form_Paint();
    restoreSavedSelection();
    UpdateTitle();
    Gf5Disp1->SetFocus();
}

void Form1::mnuEditUndo_Click() { btnUndo_Click(); }
