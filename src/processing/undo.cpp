// One-level undo: one copy of the canvas image, put back on request.
#include "imaging/store/imagestore.h"
#include "shell/main_window.h"

bool MainWindow::TakeUndoSnapshot()
{
    const int32_t canvas = dspCanvas->ImageHandle();
    if (canvas == 0)
        return false;
    keepWallsForUndo();
    // The superseded snapshot is released unless the canvas is showing it
    // (right after an undo the two are the same image).
    const int32_t old = fxUndo.ResultImage;
    // The plan's resolution and scale go with the snapshot.
    document.keepScaleForUndo();
    // The snapshot it replaces takes the new pixels in place when the sizes
    // match: no new buffer, and never two snapshots at once.
    // The view of the canvas is the snapshot's view too: an undo shows it
    // without working it out again.
    if (old != 0 && old != canvas && gf5::ImageStore::copyPixels(canvas, old)) {
        dspCanvas->keepViewFor(old);
        return true;
    }
    fxUndo.SourceImage = canvas;
    const bool copied = fxUndo.Duplicate() != 0;
    if (copied)
        dspCanvas->keepViewFor(fxUndo.ResultImage);
    if (old != 0 && old != canvas && old != fxUndo.ResultImage) {
        imgInfo.ImageHandle = old;
        imgInfo.FreeImage();
    }
    // The store keeps only its copy; the canvas image stays the canvas's.
    fxUndo.SourceImage = 0;
    return copied;
}

void MainWindow::ReleaseUndoSnapshot()
{
    const int32_t snapshot = fxUndo.ResultImage;
    fxUndo.ResultImage = 0;
    // Right after an undo the canvas shows the snapshot itself and keeps it.
    if (snapshot != 0 && snapshot != dspCanvas->ImageHandle())
        releaseWorkImage(snapshot);
}

void MainWindow::startReplacingUndoStep()
{
    if (dspCanvas->ImageHandle() == 0)
        return;
    // What undo restores besides the pixels is the state before the step.
    keepWallsForUndo();
    document.keepScaleForUndo();
    ReleaseUndoSnapshot();
}

void MainWindow::keepCanvasAsUndoSnapshot()
{
    const int32_t canvas = dspCanvas->ImageHandle();
    if (canvas == 0 || fxUndo.ResultImage == canvas)
        return;
    ReleaseUndoSnapshot();
    fxUndo.ResultImage = canvas;
    // Still shown: its view is kept for an undo to show again.
    dspCanvas->keepViewFor(canvas);
}

void MainWindow::startDocumentUndo()
{
    // A snapshot that could not be taken must not leave the previous
    // document's picture behind as the thing undo brings back.
    if (!TakeSharedUndoSnapshot())
        ReleaseUndoSnapshot();
}

void MainWindow::undoCommand()
{
    // A floating paste is the last thing done: undo ends it alone, and the
    // edit before it stays for the next undo.
    if (cancelFloatingPaste())
        return;
    btnUndo_Click();
}

bool MainWindow::TakeSharedUndoSnapshot()
{
    gf5::StoredImage* stored = gf5::ImageStore::get(dspCanvas->ImageHandle());
    if (!stored || stored->image.isNull())
        return false;
    // The snapshot shares the canvas's pixels: nothing is copied now, and the
    // first change to the canvas image copies them (the image detaches).
    const int32_t shared = gf5::ImageStore::add(stored->image, stored->bitDepth);
    if (shared == 0)
        return false;
    document.keepScaleForUndo();
    keepWallsForUndo();
    const int32_t old = fxUndo.ResultImage;
    fxUndo.ResultImage = shared;
    dspCanvas->keepViewFor(shared);
    if (old != 0 && old != dspCanvas->ImageHandle()) {
        imgInfo.ImageHandle = old;
        imgInfo.FreeImage();
    }
    return true;
}

void MainWindow::btnUndo_Click()
{
    if (dspCanvas->ImageHandle() == 0)
        return;
    // A floating paste ends first: otherwise the picture would still follow
    // the selection and come back into the image at the next drag or fill.
    endFloatingPaste();
    SavedSelLeft = dspCanvas->SelectionLeft();
    SavedSelTop = dspCanvas->SelectionTop();
    SavedSelRight = dspCanvas->SelectionRight();
    SavedSelBottom = dspCanvas->SelectionBottom();
    const int32_t snapshot = fxUndo.ResultImage;
    if (snapshot == 0)
        return;
    const int32_t replaced = dspCanvas->ImageHandle();
    dspCanvas->setImageHandle(snapshot);
    document.restoreScaleFromUndo();
    restoreWallsOfUndo();
    // The image the undo replaced is no longer shown anywhere.
    if (replaced != snapshot && replaced != dspPreview->ImageHandle()) {
        imgInfo.ImageHandle = replaced;
        imgInfo.FreeImage();
        for (gf5::Gf5Effect* fx : {&fxCanvas, &fxPaste, &fxWhiten}) {
            if (fx->ResultImage == replaced)
                fx->ResultImage = 0;
            if (fx->SourceImage == replaced)
                fx->SourceImage = 0;
        }
    }
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    Form_Paint();
    restoreSavedSelection();
    UpdateTitle();
    dspCanvas->SetFocus();
}

void MainWindow::mnuEditUndo_Click() { undoCommand(); }
