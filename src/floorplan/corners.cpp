// Corners where two double-line walls meet.
#include "plan_support.h"
#include "shell/main_window.h"

void MainWindow::TreatCorner(int code)
{
    using namespace floorplan;
    const Rect q = selectionOf(*dspCanvas);
    if (!isCornerSquare(q))
        return;
    // A black square whose inside is opened into the two adjoining walls,
    // leaving 2-pixel face lines on the two outer sides.
    FillRect(q.left, q.top, q.right, q.bottom, 0);
    for (const Rect& r : cornerOpenings(code, q))
        FillRect(r.left, r.top, r.right, r.bottom, 0xFFFFFF);
}
