// Line and shape tools on the selection rectangle.
#include "canvas/shape_rules.h"
#include "shell/form1.h"
#include <QComboBox>
#include <QRadioButton>

void Form1::btnFill_Click(int index)
{
    if (Gf5Disp1->SelectionRight() <= 0 || Gf5Disp1->SelectionBottom() <= 0)
        return;
    TakeUndoSnapshot();
    if (index == 0)
        FillSelection(-1);
    else if (index >= 1 && index <= 17)
        DrawSelectionShape(int16_t(index - 1), false, 0, 0, 0, 0);
}

void Form1::DrawSelectionShape(int16_t tool, bool useWallPen, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    const int32_t l = Gf5Disp1->SelectionLeft(), t = Gf5Disp1->SelectionTop();
    const int32_t r = Gf5Disp1->SelectionRight(), b = Gf5Disp1->SelectionBottom();
    if (b < 1 || r <= 0)
        return;

    // Gaps of dashed and dotted lines are painted, not left open.
    Gf5Print1.ResetTools();
    Gf5Print1.TransparentBackground = false;
    Gf5Print1.DrawMode = 13;
    // The tool settings are read now, at the moment of drawing.
    if (useWallPen) {
        Gf5Print1.PenWidth = canvas::wallPenWidth(optSize[6]->isChecked(), optSize[7]->isChecked(),
                                                  optSize[8]->isChecked());
        Gf5Print1.PenColor = 0;
        Gf5Print1.PenStyle = 1;
    } else {
        Gf5Print1.PenWidth = canvas::lineWidthFromText(cmbWidth->currentText());
        Gf5Print1.PenColor = optColorPicMethod[1]->isChecked() ? currentColour() : 0;
        Gf5Print1.PenStyle = canvas::penStyleFromText(cmbPenStyle->currentText());
    }

    Gf5Disp1->setDisplayMode(3);
    Gf5Disp1->Refresh();
    const int32_t dc = Gf5Disp1->DrawingDC();

    const canvas::ShapeCall call = canvas::shapeForTool(tool, l, t, r, b, x1, y1, x2, y2);
    const auto& a = call.a;
    switch (call.kind) {
    case canvas::ShapeCall::Rectangle: Gf5Print1.DrawRectangle(dc, a[0], a[1], a[2], a[3]); break;
    case canvas::ShapeCall::Line: Gf5Print1.DrawLine(dc, a[0], a[1], a[2], a[3]); break;
    case canvas::ShapeCall::Ellipse: Gf5Print1.DrawEllipse(dc, a[0], a[1], a[2], a[3]); break;
    case canvas::ShapeCall::RoundRect:
        Gf5Print1.DrawRoundRect(dc, a[0], a[1], a[2], a[3], a[4], a[5]);
        break;
    case canvas::ShapeCall::Arc:
        Gf5Print1.DrawArc(dc, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        break;
    case canvas::ShapeCall::None: break;
    }

    Gf5Disp1->CommitDrawing();
    Gf5Disp1->setDisplayMode(2);
    Gf5Disp1->Refresh();
}
