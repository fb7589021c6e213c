// Commands that change the canvas size (margin, resize, cut-out) and the
// preview's clipboard transfers.
#include "processing/size_rules.h"
#include "shell/main_window.h"
#include "shell/numbers.h"
#include <QComboBox>
#include <QRadioButton>

// A white margin on the right ("横に") or at the bottom ("縦に"): the old
// picture goes to the clipboard and floats on the enlarged white sheet.
void MainWindow::btnYohaku_Click()
{
    layInFloatingPaste(QStringLiteral("余白の追加"));
    const int32_t canvas = dspCanvas->ImageHandle();
    if (canvas == 0)
        return;
    imgInfo.ImageHandle = canvas;
    if (imgInfo.IsValid() == 0)
        return;
    const int32_t w = imgInfo.ImageWidth(), h = imgInfo.ImageHeight();
    dspCanvas->setSelectionLeft(0);
    dspCanvas->setSelectionTop(0);
    dspCanvas->setSelectionRight(w);
    dspCanvas->setSelectionBottom(h);
    btnClipCopy_Click();
    TakeUndoSnapshot();
    const double margin = numbers::leadingNumber(cmbYohaku->currentText());
    int32_t newW = w, newH = h;
    if (optYohaku[1]->isChecked())
        newH = numbers::roundHalfEven(h + margin);
    else
        newW = numbers::roundHalfEven(w + margin);
    if (fxCanvas.CreateImage(newW, newH, 24, 255, 255, 255) == 0)
        return;
    const int32_t sheet = fxCanvas.ResultImage;
    fxCanvas.ResultImage = 0;
    dspCanvas->setImageHandle(0);
    releaseWorkImage(canvas);
    selectDisplayScale(0);
    dspCanvas->setImageHandle(sheet);
    dspCanvas->setZoomMode(0);
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    Form_Paint();
    btnClipPaste_Click();
    keepWallsOnLargerSheet();
    UpdateTitle();
}

// Scales the image so that its longer side gets the chosen pixel count.
void MainWindow::btnResize_Click()
{
    int32_t target = 0;
    for (QRadioButton* option : optResize) {
        if (option && option->isChecked()) {
            target = numbers::readWholeNumber(option->text());
            break;
        }
    }
    if (target >= 1)
        layInFloatingPaste(QStringLiteral("サイズ変更"));
    const int32_t canvas = dspCanvas->ImageHandle();
    if (canvas == 0 || target < 1)
        return;
    TakeUndoSnapshot();
    selectDisplayScale(0);
    // The pause lets the fit view settle; input waits, so that no other
    // command changes the canvas meanwhile.
    ++busyDepth;
    WaitMilliseconds(500);
    --busyDepth;
    if (dspCanvas->ImageHandle() != canvas)
        return;
    imgInfo.ImageHandle = canvas;
    imgInfo.IsValid();
    int32_t w = imgInfo.ImageWidth(), h = imgInfo.ImageHeight();
    processing::FitLongerSide(w, h, target);
    fxCanvas.SourceImage = canvas;
    ProgressSource = 1;
    ShowProgress();
    OpResult = fxCanvas.Resize(w, h, -1);
    CloseProgress();
    if (OpResult == 0) {
        fxCanvas.SourceImage = 0;
        return;
    }
    adoptEffectResultOnCanvas(true);
    rereadWalls();
    // The old rectangle no longer covers the same part of the plan.
    ClearSelection();
    UpdateTitle();
}

// Cuts the image down to exactly the selected rectangle.
void MainWindow::btnCut_Click()
{
    if (dspCanvas->SelectionRight() == 0 || dspCanvas->SelectionBottom() == 0)
        return;
    layInFloatingPaste(QStringLiteral("切り抜き"));
    const int32_t canvas = dspCanvas->ImageHandle();
    if (canvas == 0)
        return;
    TakeUndoSnapshot();
    fxCanvas.SourceImage = canvas;
    fxCanvas.AuxSourceImage = 0;
    ProgressSource = 1;
    ShowProgress();
    fxCanvas.ReportProgress = true;
    fxCanvas.AreaMode = 2;
    const int32_t l = dspCanvas->SelectionLeft(), t = dspCanvas->SelectionTop();
    const int32_t r = dspCanvas->SelectionRight(), b = dspCanvas->SelectionBottom();
    PolyX = {l, r, r, l, 0, 0};
    PolyY = {t, t, b, b, 0, 0};
    OpResult = fxCanvas.CutOutRegion(PolyX.data(), PolyY.data(), 4, 255, 255, 255);
    CloseProgress();
    if (OpResult == 0) {
        fxCanvas.SourceImage = 0;
        return;
    }
    const int32_t aux = fxCanvas.AuxImage;
    fxCanvas.AuxImage = 0;
    releaseWorkImage(aux);
    adoptEffectResultOnCanvas(true);
    rereadWalls();
    // The cut-out is the whole image now; its old place means nothing in it.
    ClearSelection();
    UpdateTitle();
    selectDisplayScale(0);
}

// The clipboard picture into the preview, always as a 24-bit picture on white.
void MainWindow::btnClip2Disp2_Click()
{
    if (fxCanvas.GetClipboardImage() == 0)
        return;
    const int32_t picture = fxCanvas.ResultImage;
    fxCanvas.ResultImage = 0;
    imgInfo.ImageHandle = picture;
    if (imgInfo.IsValid() == 0) {
        releaseWorkImage(picture);
        return;
    }
    const int32_t w = imgInfo.ImageWidth(), h = imgInfo.ImageHeight();
    if (fxCanvas.CreateImage(w, h, 24, 255, 255, 255) == 0) {
        releaseWorkImage(picture);
        return;
    }
    const int32_t sheet = fxCanvas.ResultImage;
    fxCanvas.ResultImage = 0;
    const int32_t old = dspPreview->ImageHandle();
    dspPreview->setImageHandle(sheet);
    PreviewPartDpi = 0; // a clipboard picture states no part resolution
    releaseWorkImage(old);
    dspPreview->setZoomMode(0);
    dspCanvas->Refresh();
    dspPreview->setDisplayMode(3);
    dspPreview->Refresh();
    const int32_t drawn = drawTools.DrawImage(dspPreview->DrawingDC(), picture, 0, 0, w, h, 0);
    releaseWorkImage(picture);
    if (drawn != 0) {
        dspPreview->CommitDrawing();
        dspPreview->Refresh();
        Form_Paint();
    }
}

// The preview picture onto the clipboard; the preview keeps it.
void MainWindow::CopyPreviewToClipboard()
{
    const int32_t preview = dspPreview->ImageHandle();
    if (preview == 0)
        return;
    const int32_t keptSource = fxCanvas.SourceImage, keptResult = fxCanvas.ResultImage;
    const int16_t keptArea = fxCanvas.AreaMode;
    fxCanvas.SourceImage = preview;
    fxCanvas.AreaMode = 1;
    if (fxCanvas.CutOutRegion(PolyX.data(), PolyY.data(), 0, 255, 255, 255) != 0) {
        const int32_t copy = fxCanvas.ResultImage;
        bringPartToPlanScale(copy);
        fxCanvas.SourceImage = copy;
        fxCanvas.CopySourceToClipboard();
        fxCanvas.SourceImage = keptSource;
        fxCanvas.ResultImage = keptResult == copy ? 0 : keptResult;
        releaseWorkImage(copy);
    } else {
        fxCanvas.SourceImage = keptSource;
        fxCanvas.ResultImage = keptResult;
    }
    fxCanvas.AreaMode = keptArea;
}
