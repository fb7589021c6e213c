// Rotation and mirroring of the parts preview and of the canvas. Angles
// typed by the user are whole degrees clockwise; the effect control takes
// hundredths of a degree counter-clockwise.
#include "documents/wall_reader.h"
#include "shell/main_window.h"
#include "shell/numbers.h"
#include <QComboBox>
#include <QLineEdit>
#include <cstdlib>

namespace {
// The largest whole-degree angle whose hundredfold fits in 32 bits.
constexpr int32_t kMaxDegrees = 21474836;

// Fixed arguments of Rotate after the angle and the mirror flags.
int32_t rotate(gf5::Gf5Effect& fx, int32_t angle, int32_t flipH, int32_t flipV)
{
    return fx.Rotate(angle, flipH, flipV, -1, 255, 255, 255, 0);
}
}

void MainWindow::btnRotate_Click()
{
    const int32_t preview = dspPreview->ImageHandle();
    if (preview == 0)
        return;
    const int32_t degrees = numbers::readWholeNumber(cmbRotate_2->currentText());
    if (degrees > 359 || degrees < -359 || degrees == 0)
        return;
    fxCanvas.SourceImage = preview;
    ProgressSource = 1;
    ShowProgress();
    OpResult = rotate(fxCanvas, -100 * degrees, 0, 0);
    CloseProgress();
    if (OpResult == 0) {
        fxCanvas.SourceImage = 0;
        return;
    }
    adoptEffectResultOnPreview();
}

void MainWindow::btnFlip_Click(int index)
{
    if (dspPreview->ImageHandle() == 0 || (index != 1 && index != 2))
        return;
    MirrorPreview(index);
}

void MainWindow::MirrorPreview(int kind)
{
    const int32_t preview = dspPreview->ImageHandle();
    if (preview == 0 || (kind != 1 && kind != 2))
        return;
    fxCanvas.SourceImage = preview;
    ProgressSource = 1;
    ShowProgress();
    OpResult = rotate(fxCanvas, 0, kind == 1 ? 1 : 0, kind == 2 ? 1 : 0);
    CloseProgress();
    if (OpResult == 0) {
        fxCanvas.SourceImage = 0;
        return;
    }
    adoptEffectResultOnPreview();
}

void MainWindow::btnRoteteAndTurn_Click(int index)
{
    if (dspCanvas->ImageHandle() == 0 || index < 0 || index > 2)
        return;
    // The text is read for the mirrors too, but only a turn uses it; an
    // angle the effect control cannot take is refused before anything changes.
    const std::optional<int32_t> degrees = numbers::readWholeNumberChecked(cmbRotate->text());
    const bool angleFits = degrees && std::abs(int64_t(*degrees)) <= kMaxDegrees;
    if (index == 0 && !angleFits)
        return;
    layInFloatingPaste(QStringLiteral("回転・反転"));
    startReplacingUndoStep();
    TurnCanvas(angleFits ? -100 * *degrees : 0, index, true);
}

void MainWindow::TurnCanvas(int32_t angle, int kind, bool keepForUndo)
{
    layInFloatingPaste(QStringLiteral("回転・反転"));
    const int32_t canvas = dspCanvas->ImageHandle();
    if (canvas == 0 || kind < 0 || kind > 2)
        return;
    // A wall reading under way is of a picture about to turn: it stops now
    // and gives its memory back to the turn.
    if (wallReader)
        wallReader->cancel();
    fxCanvas.SourceImage = canvas;
    ProgressSource = 1;
    ShowProgress();
    if (kind == 0)
        OpResult = rotate(fxCanvas, angle, 0, 0);
    else
        OpResult = rotate(fxCanvas, 0, kind == 1 ? 1 : 0, kind == 2 ? 1 : 0);
    CloseProgress();
    if (OpResult == 0) {
        fxCanvas.SourceImage = 0;
        if (!document.wallMap())
            rereadWalls();
        return;
    }
    if (keepForUndo && fxCanvas.ResultImage != canvas)
        keepCanvasAsUndoSnapshot();
    adoptEffectResultOnCanvas(true);
    rereadWalls();
    // Turned or mirrored, the plan no longer lies under the old rectangle.
    ClearSelection();
}
