// The canvas effect sequence and the tone commands that use it.
#include "shell/main_window.h"
#include "imaging/effects/tonerows.h"
#include "imaging/store/imagestore.h"

namespace {
// The straight-line pieces of the underlay and contrast curves.
constexpr int32_t kCurveIn[5] = {0, 64, 128, 192, 255};
constexpr int32_t kUnderlayOut[5] = {80, 100, 160, 192, 255};
constexpr int32_t kContrastOut[5] = {0, 64, 128, 215, 255};
const QString kBeforeProcessing = QStringLiteral("画像の処理");
}

bool MainWindow::runCanvasEffect(bool areaFromSelection, bool progressWindow, bool reportProgress,
                            int32_t (*op)(MainWindow&), bool inPlace)
{
    // The result replaces the stored image: a picture still floating is laid
    // in first, or it would be lost with the old image.
    layInFloatingPaste(kBeforeProcessing);
    const int32_t canvas = dspCanvas->ImageHandle();
    if (canvas == 0)
        return false;
    // A step that changes the canvas in place needs a copy of it for undo;
    // any other keeps the canvas image itself once the result is made.
    if (inPlace)
        TakeUndoSnapshot();
    else
        startReplacingUndoStep();
    const int32_t l = dspCanvas->SelectionLeft(), t = dspCanvas->SelectionTop();
    const int32_t r = dspCanvas->SelectionRight(), b = dspCanvas->SelectionBottom();
    PolyX = {l, r, r, l, 0, 0};
    PolyY = {t, t, b, b, 0, 0};
    fxCanvas.SourceImage = canvas;
    if (progressWindow) {
        ProgressSource = 1;
        ShowProgress();
    }
    fxCanvas.ReportProgress = reportProgress;
    fxCanvas.AreaMode = (areaFromSelection && r > 0 && b > 0) ? 2 : 1;
    // Changing the canvas in place is safe only when the snapshot is an
    // image of its own holding the pixels as they were.
    fxCanvas.InPlace = inPlace && fxUndo.ResultImage != 0 && fxUndo.ResultImage != canvas;
    OpResult = op(*this);
    fxCanvas.InPlace = false;
    if (progressWindow)
        CloseProgress();
    if (OpResult == 0) {
        fxCanvas.SourceImage = 0;
        return false;
    }
    if (fxCanvas.ResultImage != canvas)
        keepCanvasAsUndoSnapshot();
    adoptEffectResultOnCanvas(true);
    return true;
}

// A result of another size (a turn by any angle, margins, a resize, a
// cut-out) refreshes the title, which shows the size, at once.
void MainWindow::adoptEffectResultOnCanvas(bool refresh)
{
    const QImage* before = gf5::ImageStore::image(dspCanvas->ImageHandle());
    const QSize oldSize = before ? before->size() : QSize();
    adoptEffectResult(*dspCanvas, refresh);
    const QImage* after = gf5::ImageStore::image(dspCanvas->ImageHandle());
    if (after && after->size() != oldSize)
        UpdateTitle();
}

void MainWindow::adoptEffectResultOnPreview() { adoptEffectResult(*dspPreview, true); }

void MainWindow::adoptEffectResult(gf5::Gf5Disp& display, bool refresh)
{
    const int32_t old = display.ImageHandle();
    const int32_t result = fxCanvas.ResultImage;
    display.setImageHandle(result);
    // The display owns the result now; the effect slots no longer name it.
    fxCanvas.ResultImage = 0;
    fxCanvas.SourceImage = 0;
    if (old != result)
        releaseWorkImage(old); // never the undo snapshot nor a shown image
    if (refresh) {
        display.setDisplayMode(1);
        display.Refresh();
    }
    Form_Paint();
}

// Underlay: the green channel through a fixed curve over the whole image,
// then every remaining exact grey of the selection (or image) is marked,
// both in one pass over the canvas image.
void MainWindow::btnRGB_Click()
{
    // A picture still floating is laid in before the change.
    layInFloatingPaste(kBeforeProcessing);
    const QImage* canvas = gf5::ImageStore::image(dspCanvas->ImageHandle());
    if (canvas && canvas->format() == QImage::Format_RGB32) {
        uchar curve[256];
        gf5::fx::curveMap(kCurveIn, kUnderlayOut, 5, curve);
        if (underlayPass(curve, true))
            readWalls(true);
        return;
    }
    const bool ok = runCanvasEffect(false, false, false, [](MainWindow& f) {
        return f.fxCanvas.ToneCurve(f.PolyX.data(), f.PolyY.data(), 4, kCurveIn, kUnderlayOut, 5, 0, 1, 0);
    });
    if (ok) {
        ProcessUnderlayPixels(true);
        readWalls(true);
    }
}

void MainWindow::btnContlast_Click()
{
    runCanvasEffect(
        true, false, false,
        [](MainWindow& f) {
            return f.fxCanvas.ToneCurve(f.PolyX.data(), f.PolyY.data(), 4, kCurveIn, kContrastOut, 5, 1, 1, 1);
        },
        true);
}

void MainWindow::btnBrighten_Click()
{
    runCanvasEffect(
        true, false, true,
        [](MainWindow& f) { return f.fxCanvas.Brightness(f.PolyX.data(), f.PolyY.data(), 4, 8, 0, 0); }, true);
}
