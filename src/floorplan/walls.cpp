// Confirming a traced wall: solid, or as two face lines, straight or slanted.
#include "plan_support.h"
#include "shell/form1.h"

namespace floorplan {

// The wall shape of the traced squares; a slanted wall's hexagon is handed
// over in PolyX/PolyY, as the drawing calls take it.
WallShape computeTrackedWallShape(Form1& f, bool inset)
{
    const WallShape s = computeWallShape(trackStart(f), trackEnd(f), inset);
    if (s.vertexCount == 6) {
        for (int i = 0; i < 6; ++i) {
            f.PolyX[i] = s.xs[i];
            f.PolyY[i] = s.ys[i];
        }
    }
    return s;
}

namespace {

// Polygon pen and brush: a 1-pixel black outline filled with the brush colour.
void preparePolygonTools(gf5::Gf5Print& p, int32_t brush)
{
    p.ResetTools();
    p.TransparentBackground = false;
    p.DrawMode = 13;
    p.PenWidth = 1;
    p.PenColor = 0;
    p.PenStyle = 0;
    p.BrushStyle = 1;
    p.BrushColor = brush;
}

// Stray pixels within d of both faces of a straight wall, short of one
// wall thickness at each end, go white.
void clearDustBeside(Form1& f, const Rect& box)
{
    const std::optional<Rect> area = adjustAcrossWall(box, true, clearingDistance(f));
    if (!area)
        return;
    setSelection(*f.Gf5Disp1, *area);
    f.FillSelection(0xFFFFFF);
}

} // namespace
} // namespace floorplan

void Form1::ConfirmSolidWall()
{
    using namespace floorplan;
    recordTrackEnd(*this);
    const Rect start = trackStart(*this), end = trackEnd(*this);
    if (isDotSquare(end)) {
        // A dot-sized wall is a line between the two squares' centres.
        const Line l = dotLine(start, end);
        DrawSelectionShape(20, true, l.from.x, l.from.y, l.to.x, l.to.y);
    } else {
        const WallShape s = computeTrackedWallShape(*this, false);
        if (s.vertexCount == 6) {
            refreshWith(*Gf5Disp1, 3);
            const int32_t dc = Gf5Disp1->DrawingDC();
            preparePolygonTools(Gf5Print1, 0);
            Gf5Print1.DrawPolygon(dc, PolyX.data(), PolyY.data(), 6);
            Gf5Disp1->CommitDrawing();
        } else {
            // Control draws the wall in the current colour and leaves its
            // surroundings alone.
            const bool ctrl = ctrlKeyDown();
            if (dustClearingOn(*this) && !ctrl)
                clearDustBeside(*this, s.box);
            setSelection(*Gf5Disp1, s.box);
            FillSelection(ctrl ? -1 : 0);
        }
    }
    selectTrackEnd(*this);
}

void Form1::ConfirmDoubleWall(bool crossMark)
{
    using namespace floorplan;
    recordTrackEnd(*this);
    const WallShape outer = computeTrackedWallShape(*this, false);
    if (outer.vertexCount == 6) {
        refreshWith(*Gf5Disp1, 3);
        const int32_t dc = Gf5Disp1->DrawingDC();
        preparePolygonTools(Gf5Print1, 0);
        Gf5Print1.DrawPolygon(dc, PolyX.data(), PolyY.data(), 6);
        computeTrackedWallShape(*this, true);
        preparePolygonTools(Gf5Print1, 0xFFFFFF);
        Gf5Print1.DrawPolygon(dc, PolyX.data(), PolyY.data(), 6);
        Gf5Disp1->CommitDrawing();
    } else {
        if (dustClearingOn(*this))
            clearDustBeside(*this, outer.box);
        setSelection(*Gf5Disp1, outer.box);
        FillSelection(0);
        // What stays black are the two 2-pixel face lines; the ends stay open.
        const Rect inner = *adjustAcrossWall(outer.box, false, 0);
        setSelection(*Gf5Disp1, inner);
        FillSelection(0xFFFFFF);
        if (crossMark) {
            Gf5Print1.ResetTools();
            Gf5Print1.TransparentBackground = true;
            Gf5Print1.DrawMode = 1;
            Gf5Print1.PenWidth = 2;
            Gf5Print1.PenStyle = 1;
            refreshWith(*Gf5Disp1, 3);
            const int32_t dc = Gf5Disp1->DrawingDC();
            const Line l = floorplan::crossMark(inner, clearingDistance(*this));
            Gf5Print1.DrawLine(dc, l.from.x, l.from.y, l.to.x, l.to.y);
            Gf5Disp1->CommitDrawing();
            refreshWith(*Gf5Disp1, 2);
        }
    }
    selectTrackEnd(*this);
}
