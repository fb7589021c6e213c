// The canvas effect sequence and the tone commands that use it.
#include "shell/form1.h"

namespace {
// The straight-line pieces of the underlay and contrast curves.
constexpr int32_t kCurveIn[5] = {0, 64, 128, 192, 255};
constexpr int32_t kUnderlayOut[5] = {80, 100, 160, 192, 255};
constexpr int32_t kContrastOut[5] = {0, 64, 128, 215, 255};
}

bool Form1::runCanvasEffect(bool areaFromSelection, bool progressWindow, bool reportProgress,
                            int32_t (*op)(Form1&))
{
    const int32_t canvas = Gf5Disp1->ImageHandle();
    if (canvas == 0)
        return false;
    // The result replaces the stored image: a picture still floating would
    // be lost with the old image, so its handle is let go now.
    endFloatingPaste();
    TakeUndoSnapshot();
    const int32_t l = Gf5Disp1->SelectionLeft(), t = Gf5Disp1->SelectionTop();
    const int32_t r = Gf5Disp1->SelectionRight(), b = Gf5Disp1->SelectionBottom();
    PolyX = {l, r, r, l, 0, 0};
    PolyY = {t, t, b, b, 0, 0};
    Gf5Effect1.SourceImage = canvas;
    if (progressWindow) {
        ProgressSource = 1;
        ShowProgress();
    }
    Gf5Effect1.ReportProgress = reportProgress;
    Gf5Effect1.AreaMode = (areaFromSelection && r > 0 && b > 0) ? 2 : 1;
    OpResult = op(*this);
    if (progressWindow)
        CloseProgress();
    if (OpResult == 0) {
        Gf5Effect1.SourceImage = 0;
        return false;
    }
    adoptEffectResultOnCanvas(true);
    return true;
}

void Form1::adoptEffectResultOnCanvas(bool refresh) { adoptEffectResult(*Gf5Disp1, refresh); }

void Form1::adoptEffectResultOnPreview() { adoptEffectResult(*Gf5Disp2, true); }

void Form1::adoptEffectResult(gf5::Gf5Disp& display, bool refresh)
{
    const int32_t old = display.ImageHandle();
    const int32_t result = Gf5Effect1.ResultImage;
    display.setImageHandle(result);
    // The display owns the result now; the effect slots no longer name it.
    Gf5Effect1.ResultImage = 0;
    Gf5Effect1.SourceImage = 0;
    if (old != result)
        releaseWorkImage(old); // never the undo snapshot nor a shown image
    if (refresh) {
        display.setDisplayMode(1);
        display.Refresh();
    }
    Form_Paint();
}

// Underlay: the green channel through a fixed curve over the whole image,
// then every remaining exact grey of the selection (or image) is marked.
void Form1::btnRGB_Click()
{
    const bool ok = runCanvasEffect(false, false, false, [](Form1& f) {
        return f.Gf5Effect1.ToneCurve(f.PolyX.data(), f.PolyY.data(), 4, kCurveIn, kUnderlayOut, 5, 0, 1, 0);
    });
    if (ok)
        ProcessUnderlayPixels(true);
}

void Form1::btnContlast_Click()
{
    runCanvasEffect(true, false, false, [](Form1& f) {
        return f.Gf5Effect1.ToneCurve(f.PolyX.data(), f.PolyY.data(), 4, kCurveIn, kContrastOut, 5, 1, 1, 1);
    });
}

void Form1::Command14_Click()
{
    runCanvasEffect(true, false, true, [](Form1& f) {
        return f.Gf5Effect1.Brightness(f.PolyX.data(), f.PolyY.data(), 4, 8, 0, 0);
    });
}
