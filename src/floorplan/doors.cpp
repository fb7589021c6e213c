// Hinged doors: the traced stretch as a double-line wall, with a door leaf
// standing open at a right angle and its quarter-circle swing on the side
// the user picks.
#include "door_geometry.h"
#include "plan_support.h"
#include "shell/main_window.h"

void MainWindow::MakeDoor()
{
    using namespace floorplan;
    recordTrackEnd(*this);
    const Rect start = trackStart(*this), end = trackEnd(*this);
    // A slanted trace is treated as its box.
    const Rect box = computeTrackedWallShape(*this, false).box;
    const bool horizontal = isHorizontal(box);
    AskSide("ドアを作成します", "どちら側に設置しますか", horizontal ? "上側" : "左側",
            horizontal ? "下側" : "右側");
    if (SideChoice != 1 && SideChoice != 2) {
        // Back to the image as it was before the start was marked.
        btnUndo_Click();
        return;
    }
    const int side = SideChoice;
    const Rect square = doorSquare(box, side);
    const DoorSwing swing = doorSwing(start, end, side);

    ConfirmDoubleWall(false);
    if (dustClearingOn(*this))
        FillRect(square.left, square.top, square.right, square.bottom, 0xFFFFFF);
    setSelection(*dspCanvas, square);
    DrawSelectionShape(swing.leafTool, false, 0, 0, 0, 0);
    DrawSelectionShape(swing.arcTool, false, 0, 0, 0, 0);
    selectTrackEnd(*this);
}
