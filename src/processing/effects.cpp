// The effect buttons and the fine rotation of the canvas.
#include "shell/form1.h"
#include <QCheckBox>

void Form1::Command4_Click()
{
    runCanvasEffect(true, true, true,
                    [](Form1& f) { return f.Gf5Effect1.Sharpen(f.PolyX.data(), f.PolyY.data(), 4, 2); });
}

void Form1::Command5_Click()
{
    runCanvasEffect(true, true, true,
                    [](Form1& f) { return f.Gf5Effect1.Denoise(f.PolyX.data(), f.PolyY.data(), 4, 0, 100); });
}

void Form1::Command8_Click()
{
    runCanvasEffect(true, true, true,
                    [](Form1& f) { return f.Gf5Effect1.Mosaic(f.PolyX.data(), f.PolyY.data(), 4, 10, 10); });
}

void Form1::Command9_Click()
{
    runCanvasEffect(true, true, true,
                    [](Form1& f) { return f.Gf5Effect1.Blur(f.PolyX.data(), f.PolyY.data(), 4, 1); });
}

void Form1::Command11_Click()
{
    runCanvasEffect(true, true, true,
                    [](Form1& f) { return f.Gf5Effect1.Antialias(f.PolyX.data(), f.PolyY.data(), 4); });
}

void Form1::Command12_Click()
{
    runCanvasEffect(true, true, true,
                    [](Form1& f) { return f.Gf5Effect1.Saturation(f.PolyX.data(), f.PolyY.data(), 4, -100); });
}

// Turns the whole image by 0.4 degrees (0.2 with "微"): index 1 clockwise,
// index 2 counter-clockwise. The selection plays no part.
void Form1::Command13_Click(int index)
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
void Form1::turnCanvasKeepingSize(int32_t angle)
{
    const int32_t canvas = Gf5Disp1->ImageHandle();
    if (canvas == 0)
        return;
    endFloatingPaste();
    TakeUndoSnapshot();
    Gf5Effect1.SourceImage = canvas;
    ProgressSource = 1;
    ShowProgress();
    OpResult = Gf5Effect1.Rotate(angle, 0, 0, -1, 255, 255, 255, gf5::Gf5Effect::kRotateKeepsSize);
    CloseProgress();
    if (OpResult == 0) {
        Gf5Effect1.SourceImage = 0;
        return;
    }
    adoptEffectResultOnCanvas(false);
}
