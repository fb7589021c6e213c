#pragma once
// Small shared steps of the wall and door commands on the main window:
// reading and writing the canvas selection, the traced squares and the
// dust-clearing settings.
#include "imaging/widgets/gf5disp.h"
#include "wall_geometry.h"

class MainWindow;

namespace floorplan {

inline Rect selectionOf(const gf5::Gf5Disp& d)
{
    return {d.SelectionLeft(), d.SelectionTop(), d.SelectionRight(), d.SelectionBottom()};
}

inline void setSelection(gf5::Gf5Disp& d, const Rect& r)
{
    d.setSelectionLeft(r.left);
    d.setSelectionTop(r.top);
    d.setSelectionRight(r.right);
    d.setSelectionBottom(r.bottom);
}

// Commands of the wall tracer need a selection reaching into the image.
inline bool hasSelection(const gf5::Gf5Disp& d) { return d.SelectionBottom() >= 1 && d.SelectionRight() >= 1; }

// The traced start and end squares (TrackRect 4..7 and 8..11).
Rect trackStart(const MainWindow& f);
Rect trackEnd(const MainWindow& f);

// The end square is the selection at the moment of confirming.
void recordTrackEnd(MainWindow& f);

// The wall shape of the traced squares (start in TrackRect 4..7, end in
// 8..11); a slanted wall's hexagon is also stored in PolyX/PolyY.
WallShape computeTrackedWallShape(MainWindow& f, bool inset);

bool dustClearingOn(const MainWindow& f);

// Distance of the dust clearing from the wall faces, read afresh each time.
double clearingDistance(const MainWindow& f);

inline void refreshWith(gf5::Gf5Disp& d, int16_t mode)
{
    d.setDisplayMode(mode);
    d.Refresh();
}

// After a confirmation the selection rests on the end square, so the next
// wall can start there.
void selectTrackEnd(MainWindow& f);

} // namespace floorplan
