// Confirming a traced wall: solid, or as two face lines, straight or slanted.
#include "plan_support.h"
#include "shell/main_window.h"
#include "shell/numbers.h"
#include <QCheckBox>
#include <QComboBox>

namespace floorplan {

Rect trackStart(const MainWindow& f) { return {f.TrackRect[4], f.TrackRect[5], f.TrackRect[6], f.TrackRect[7]}; }

Rect trackEnd(const MainWindow& f) { return {f.TrackRect[8], f.TrackRect[9], f.TrackRect[10], f.TrackRect[11]}; }

void recordTrackEnd(MainWindow& f)
{
    const Rect s = selectionOf(*f.dspCanvas);
    f.TrackRect[8] = s.left;
    f.TrackRect[9] = s.top;
    f.TrackRect[10] = s.right;
    f.TrackRect[11] = s.bottom;
}

bool dustClearingOn(const MainWindow& f) { return f.chkGomitori->isChecked(); }

double clearingDistance(const MainWindow& f) { return numbers::leadingNumber(f.cmbGomiDot->currentText()); }

void selectTrackEnd(MainWindow& f)
{
    setSelection(*f.dspCanvas, trackEnd(f));
    refreshWith(*f.dspCanvas, 2);
}

// The wall shape of the traced squares; a slanted wall's hexagon is handed
// over in PolyX/PolyY, as the drawing calls take it.
WallShape computeTrackedWallShape(MainWindow& f, bool inset)
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
void clearDustBeside(MainWindow& f, const Rect& box)
{
    const std::optional<Rect> area = adjustAcrossWall(box, true, clearingDistance(f));
    if (!area)
        return;
    setSelection(*f.dspCanvas, *area);
    f.FillSelection(0xFFFFFF);
}

} // namespace
} // namespace floorplan

void MainWindow::ConfirmSolidWall()
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
            refreshWith(*dspCanvas, 3);
            const int32_t dc = dspCanvas->DrawingDC();
            preparePolygonTools(drawTools, 0);
            drawTools.DrawPolygon(dc, PolyX.data(), PolyY.data(), 6);
            dspCanvas->CommitDrawing();
        } else {
            // Control draws the wall in the current colour and leaves its
            // surroundings alone.
            const bool ctrl = ctrlKeyDown();
            if (dustClearingOn(*this) && !ctrl)
                clearDustBeside(*this, s.box);
            setSelection(*dspCanvas, s.box);
            FillSelection(ctrl ? -1 : 0);
        }
    }
    selectTrackEnd(*this);
}

void MainWindow::ConfirmDoubleWall(bool crossMark)
{
    using namespace floorplan;
    recordTrackEnd(*this);
    const WallShape outer = computeTrackedWallShape(*this, false);
    if (outer.vertexCount == 6) {
        refreshWith(*dspCanvas, 3);
        const int32_t dc = dspCanvas->DrawingDC();
        preparePolygonTools(drawTools, 0);
        drawTools.DrawPolygon(dc, PolyX.data(), PolyY.data(), 6);
        computeTrackedWallShape(*this, true);
        preparePolygonTools(drawTools, 0xFFFFFF);
        drawTools.DrawPolygon(dc, PolyX.data(), PolyY.data(), 6);
        dspCanvas->CommitDrawing();
    } else {
        if (dustClearingOn(*this))
            clearDustBeside(*this, outer.box);
        setSelection(*dspCanvas, outer.box);
        FillSelection(0);
        // What stays black are the two 2-pixel face lines; the ends stay open.
        const Rect inner = *adjustAcrossWall(outer.box, false, 0);
        setSelection(*dspCanvas, inner);
        FillSelection(0xFFFFFF);
        if (crossMark) {
            drawTools.ResetTools();
            drawTools.TransparentBackground = true;
            drawTools.DrawMode = 1;
            drawTools.PenWidth = 2;
            drawTools.PenStyle = 1;
            refreshWith(*dspCanvas, 3);
            const int32_t dc = dspCanvas->DrawingDC();
            const Line l = floorplan::crossMark(inner, clearingDistance(*this));
            drawTools.DrawLine(dc, l.from.x, l.from.y, l.to.x, l.to.y);
            dspCanvas->CommitDrawing();
            refreshWith(*dspCanvas, 2);
        }
    }
    selectTrackEnd(*this);
}
