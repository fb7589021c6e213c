// The effect buttons and the fine rotation of the canvas.
#include "documents/wall_reader.h"
#include "shell/main_window.h"
#include <QCheckBox>

void MainWindow::btnSharpen_Click()
{
    runCanvasEffect(true, true, true,
                    [](MainWindow& f) { return f.fxCanvas.Sharpen(f.PolyX.data(), f.PolyY.data(), 4, 2); });
}

void MainWindow::btnDenoise_Click()
{
    runCanvasEffect(true, true, true,
                    [](MainWindow& f) { return f.fxCanvas.Denoise(f.PolyX.data(), f.PolyY.data(), 4, 0, 100); });
}

void MainWindow::btnMosaic_Click()
{
    runCanvasEffect(true, true, true,
                    [](MainWindow& f) { return f.fxCanvas.Mosaic(f.PolyX.data(), f.PolyY.data(), 4, 10, 10); });
}

void MainWindow::btnBlur_Click()
{
    runCanvasEffect(true, true, true,
                    [](MainWindow& f) { return f.fxCanvas.Blur(f.PolyX.data(), f.PolyY.data(), 4, 1); });
}

void MainWindow::btnAntiAlias_Click()
{
    runCanvasEffect(true, true, true,
                    [](MainWindow& f) { return f.fxCanvas.Antialias(f.PolyX.data(), f.PolyY.data(), 4); });
}

void MainWindow::btnGreyscale_Click()
{
    runCanvasEffect(true, true, true,
                    [](MainWindow& f) { return f.fxCanvas.Saturation(f.PolyX.data(), f.PolyY.data(), 4, -100); });
}

// Turns the whole image by 0.4 degrees (0.2 with "微"): index 1 clockwise,
// index 2 counter-clockwise. The selection plays no part.
void MainWindow::btnFineTurn_Click(int index)
{
    if (index != 1 && index != 2)
        return;
    int32_t angle = chkBI->isChecked() ? 20 : 40; // hundredths of a degree, counter-clockwise
    if (index == 1)
        angle = -angle;
    turnCanvasKeepingSize(angle);
}

// The image keeps its size (the corners that leave it are paper margin at
// such angles) and is resampled sharply, so repeated turns neither grow nor
// fade the plan. One undo step.
void MainWindow::turnCanvasKeepingSize(int32_t angle)
{
    layInFloatingPaste(QStringLiteral("回転"));
    const int32_t canvas = dspCanvas->ImageHandle();
    if (canvas == 0)
        return;
    startReplacingUndoStep();
    // A wall reading under way is of a picture about to turn: it stops now
    // and gives its memory back to the turn.
    if (wallReader)
        wallReader->cancel();
    fxCanvas.SourceImage = canvas;
    ProgressSource = 1;
    ShowProgress();
    OpResult = fxCanvas.Rotate(angle, 0, 0, -1, 255, 255, 255, gf5::Gf5Effect::kRotateKeepsSize);
    CloseProgress();
    if (OpResult == 0) {
        fxCanvas.SourceImage = 0;
        if (!document.wallMap())
            rereadWalls();
        return;
    }
    if (fxCanvas.ResultImage != canvas)
        keepCanvasAsUndoSnapshot();
    adoptEffectResultOnCanvas(false);
    rereadWalls();
}
