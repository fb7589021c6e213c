// Sliding doors: the traced stretch wiped white, the half of the wall away
// from the chosen side filled black, and a dotted line along the chosen face.
#include "door_geometry.h"
#include "plan_support.h"
#include "shell/main_window.h"

void MainWindow::MakeSlidingDoor()
{
    using namespace floorplan;
    recordTrackEnd(*this);
    const Rect start = trackStart(*this), end = trackEnd(*this);
    const Rect box = computeTrackedWallShape(*this, false).box;
    const bool horizontal = isHorizontal(box);
    AskSide("引き戸を作成します", "どちら側に点線(‐‐‐)を設置しますか", horizontal ? "上側" : "左側",
            horizontal ? "下側" : "右側");
    if (SideChoice != 1 && SideChoice != 2) {
        btnUndo_Click();
        return;
    }
    const bool clearDust = dustClearingOn(*this);
    const SlidingDoorFigures fig =
        slidingDoorFigures(start, end, SideChoice, clearDust, clearDust ? clearingDistance(*this) : 0.0);
    FillRect(fig.white.left, fig.white.top, fig.white.right, fig.white.bottom, 0xFFFFFF);
    FillRect(fig.black.left, fig.black.top, fig.black.right, fig.black.bottom, 0);

    drawTools.ResetTools();
    drawTools.TransparentBackground = false;
    drawTools.DrawMode = 13;
    drawTools.PenWidth = 2;
    drawTools.PenColor = 0;
    drawTools.PenStyle = 3; // dotted
    refreshWith(*dspCanvas, 3);
    const int32_t dc = dspCanvas->DrawingDC();
    drawTools.DrawLine(dc, fig.dotted.from.x, fig.dotted.from.y, fig.dotted.to.x, fig.dotted.to.y);
    dspCanvas->CommitDrawing();
    selectTrackEnd(*this);
}
