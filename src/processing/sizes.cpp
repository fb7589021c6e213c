// Commands that change the canvas size (margin, resize, cut-out) and the
// preview's clipboard transfers.
#include "processing/size_rules.h"
#include "shell/form1.h"
#include "shell/numbers.h"
#include <QComboBox>
#include <QRadioButton>

// A white margin on the right ("横に") or at the bottom ("縦に"): the old
// picture goes to the clipboard and floats on the enlarged white sheet.
void Form1::btnYohaku_Click()
{
    const int32_t canvas = Gf5Disp1->ImageHandle();
    if (canvas == 0)
        return;
    Gf5Common1.ImageHandle = canvas;
    if (Gf5Common1.IsValid() == 0)
        return;
    const int32_t w = Gf5Common1.ImageWidth(), h = Gf5Common1.ImageHeight();
    endFloatingPaste();
    Gf5Disp1->setSelectionLeft(0);
    Gf5Disp1->setSelectionTop(0);
    Gf5Disp1->setSelectionRight(w);
    Gf5Disp1->setSelectionBottom(h);
    btnClipCopy_Click();
    TakeUndoSnapshot();
    const double margin = numbers::leadingNumber(cmbYohaku->currentText());
    int32_t newW = w, newH = h;
    if (optYohaku[1]->isChecked())
        newH = numbers::roundHalfEven(h + margin);
    else
        newW = numbers::roundHalfEven(w + margin);
    if (Gf5Effect1.CreateImage(newW, newH, 24, 255, 255, 255) == 0)
        return;
    const int32_t sheet = Gf5Effect1.ResultImage;
    Gf5Effect1.ResultImage = 0;
    Gf5Disp1->setImageHandle(0);
    releaseWorkImage(canvas);
    selectOption1(0);
    Gf5Disp1->setImageHandle(sheet);
    Gf5Disp1->setZoomMode(0);
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    Form_Paint();
    btnClipPaste_Click();
    UpdateTitle();
}

// Scales the image so that its longer side gets the chosen pixel count.
void Form1::Command10_Click()
{
    int32_t target = 0;
    for (QRadioButton* option : optResize) {
        if (option && option->isChecked()) {
            target = numbers::readWholeNumber(option->text());
            break;
        }
    }
    const int32_t canvas = Gf5Disp1->ImageHandle();
    if (canvas == 0 || target < 1)
        return;
    endFloatingPaste();
    TakeUndoSnapshot();
    selectOption1(0);
    // The pause lets the fit view settle; input waits, so that no other
    // command changes the canvas meanwhile.
    ++busyDepth;
    WaitMilliseconds(500);
    --busyDepth;
    if (Gf5Disp1->ImageHandle() != canvas)
        return;
    Gf5Common1.ImageHandle = canvas;
    Gf5Common1.IsValid();
    int32_t w = Gf5Common1.ImageWidth(), h = Gf5Common1.ImageHeight();
    processing::FitLongerSide(w, h, target);
    Gf5Effect1.SourceImage = canvas;
    ProgressSource = 1;
    ShowProgress();
    OpResult = Gf5Effect1.Resize(w, h, -1);
    CloseProgress();
    if (OpResult == 0) {
        Gf5Effect1.SourceImage = 0;
        return;
    }
    adoptEffectResultOnCanvas(true);
    // The old rectangle no longer covers the same part of the plan.
    ClearSelection();
    UpdateTitle();
}

// Cuts the image down to exactly the selected rectangle.
void Form1::btnCut_Click()
{
    const int32_t canvas = Gf5Disp1->ImageHandle();
    if (canvas == 0 || Gf5Disp1->SelectionRight() == 0 || Gf5Disp1->SelectionBottom() == 0)
        return;
    endFloatingPaste();
    TakeUndoSnapshot();
    Gf5Effect1.SourceImage = canvas;
    Gf5Effect1.AuxSourceImage = 0;
    ProgressSource = 1;
    ShowProgress();
    Gf5Effect1.ReportProgress = true;
    Gf5Effect1.AreaMode = 2;
    const int32_t l = Gf5Disp1->SelectionLeft(), t = Gf5Disp1->SelectionTop();
    const int32_t r = Gf5Disp1->SelectionRight(), b = Gf5Disp1->SelectionBottom();
    PolyX = {l, r, r, l, 0, 0};
    PolyY = {t, t, b, b, 0, 0};
    OpResult = Gf5Effect1.CutOutRegion(PolyX.data(), PolyY.data(), 4, 255, 255, 255);
    CloseProgress();
    if (OpResult == 0) {
        Gf5Effect1.SourceImage = 0;
        return;
    }
    const int32_t aux = Gf5Effect1.AuxImage;
    Gf5Effect1.AuxImage = 0;
    releaseWorkImage(aux);
    adoptEffectResultOnCanvas(true);
    // The cut-out is the whole image now; its old place means nothing in it.
    ClearSelection();
    UpdateTitle();
    selectOption1(0);
}

// The clipboard picture into the preview, always as a 24-bit picture on white.
void Form1::btnClip2Disp2_Click()
{
    if (Gf5Effect1.GetClipboardImage() == 0)
        return;
    const int32_t picture = Gf5Effect1.ResultImage;
    Gf5Effect1.ResultImage = 0;
    Gf5Common1.ImageHandle = picture;
    if (Gf5Common1.IsValid() == 0) {
        releaseWorkImage(picture);
        return;
    }
    const int32_t w = Gf5Common1.ImageWidth(), h = Gf5Common1.ImageHeight();
    if (Gf5Effect1.CreateImage(w, h, 24, 255, 255, 255) == 0) {
        releaseWorkImage(picture);
        return;
    }
    const int32_t sheet = Gf5Effect1.ResultImage;
    Gf5Effect1.ResultImage = 0;
    const int32_t old = Gf5Disp2->ImageHandle();
    Gf5Disp2->setImageHandle(sheet);
    releaseWorkImage(old);
    Gf5Disp2->setZoomMode(0);
    Gf5Disp1->Refresh();
    Gf5Disp2->setDisplayMode(3);
    Gf5Disp2->Refresh();
    const int32_t drawn = Gf5Print1.DrawImage(Gf5Disp2->DrawingDC(), picture, 0, 0, w, h, 0);
    releaseWorkImage(picture);
    if (drawn != 0) {
        Gf5Disp2->CommitDrawing();
        Gf5Disp2->Refresh();
        Form_Paint();
    }
}

// The preview picture onto the clipboard; the preview keeps it.
void Form1::CopyPreviewToClipboard()
{
    const int32_t preview = Gf5Disp2->ImageHandle();
    if (preview == 0)
        return;
    const int32_t keptSource = Gf5Effect1.SourceImage, keptResult = Gf5Effect1.ResultImage;
    const int16_t keptArea = Gf5Effect1.AreaMode;
    Gf5Effect1.SourceImage = preview;
    Gf5Effect1.AreaMode = 1;
    if (Gf5Effect1.CutOutRegion(PolyX.data(), PolyY.data(), 0, 255, 255, 255) != 0) {
        const int32_t copy = Gf5Effect1.ResultImage;
        Gf5Effect1.SourceImage = copy;
        Gf5Effect1.CopySourceToClipboard();
        Gf5Effect1.SourceImage = keptSource;
        Gf5Effect1.ResultImage = keptResult == copy ? 0 : keptResult;
        releaseWorkImage(copy);
    } else {
        Gf5Effect1.SourceImage = keptSource;
        Gf5Effect1.ResultImage = keptResult;
    }
    Gf5Effect1.AreaMode = keptArea;
}
