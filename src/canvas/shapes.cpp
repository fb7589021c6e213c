// Line and shape tools on the selection rectangle.
#include "canvas/shape_rules.h"
#include "shell/main_window.h"
#include <QComboBox>
#include <QRadioButton>

void MainWindow::btnFill_Click(int index)
{
    if (dspCanvas->SelectionRight() <= 0 || dspCanvas->SelectionBottom() <= 0)
        return;
    TakeUndoSnapshot();
    if (index == 0)
        FillSelection(-1);
    else if (index >= 1 && index <= 17)
        DrawSelectionShape(int16_t(index - 1), false, 0, 0, 0, 0);
}

void MainWindow::DrawSelectionShape(int16_t tool, bool useWallPen, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const int32_t l = dspCanvas->SelectionLeft(), t = dspCanvas->SelectionTop();
    const int32_t r = dspCanvas->SelectionRight(), b = dspCanvas->SelectionBottom();
    if (b < 1 || r <= 0)
        return;

    // Gaps of dashed and dotted lines are painted, not left open.
    drawTools.ResetTools();
    drawTools.TransparentBackground = false;
    drawTools.DrawMode = 13;
    // The tool settings are read now, at the moment of drawing.
    if (useWallPen) {
        drawTools.PenWidth = canvas::wallPenWidth(optSize[6]->isChecked(), optSize[7]->isChecked(),
                                                  optSize[8]->isChecked());
        drawTools.PenColor = 0;
        drawTools.PenStyle = 1;
    } else {
        drawTools.PenWidth = canvas::lineWidthFromText(cmbWidth->currentText());
        drawTools.PenColor = optColorPicMethod[1]->isChecked() ? currentColour() : 0;
        drawTools.PenStyle = canvas::penStyleFromText(cmbPenStyle->currentText());
    }

    dspCanvas->setDisplayMode(3);
    dspCanvas->Refresh();
    const int32_t dc = dspCanvas->DrawingDC();

    const canvas::ShapeCall call = canvas::shapeForTool(tool, l, t, r, b, x1, y1, x2, y2);
    const auto& a = call.a;
    switch (call.kind) {
    case canvas::ShapeCall::Rectangle: drawTools.DrawRectangle(dc, a[0], a[1], a[2], a[3]); break;
    case canvas::ShapeCall::Line: drawTools.DrawLine(dc, a[0], a[1], a[2], a[3]); break;
    case canvas::ShapeCall::Ellipse: drawTools.DrawEllipse(dc, a[0], a[1], a[2], a[3]); break;
    case canvas::ShapeCall::RoundRect:
        drawTools.DrawRoundRect(dc, a[0], a[1], a[2], a[3], a[4], a[5]);
        break;
    case canvas::ShapeCall::Arc:
        drawTools.DrawArc(dc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        break;
    case canvas::ShapeCall::None: break;
    }

    dspCanvas->CommitDrawing();
    dspCanvas->setDisplayMode(2);
    dspCanvas->Refresh();
}
