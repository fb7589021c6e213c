#pragma once
// Small shared steps of the wall and door commands on the main window:
// reading and writing the canvas selection, the traced squares and the
// dust-clearing settings.
#include "shell/main_window.h"
#include "shell/numbers.h"
#include "wall_geometry.h"
#include <QCheckBox>
#include <QComboBox>

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

inline Rect trackStart(const MainWindow& f)
{
    return {f.TrackRect[4], f.TrackRect[5], f.TrackRect[6], f.TrackRect[7]};
}

inline Rect trackEnd(const MainWindow& f)
{
    return {f.TrackRect[8], f.TrackRect[9], f.TrackRect[10], f.TrackRect[11]};
}

// The end square is the selection at the moment of confirming.
inline void recordTrackEnd(MainWindow& f)
{
    const Rect s = selectionOf(*f.dspCanvas);
    f.TrackRect[8] = s.left;
    f.TrackRect[9] = s.top;
    f.TrackRect[10] = s.right;
    f.TrackRect[11] = s.bottom;
}

// The wall shape of the traced squares (start in TrackRect 4..7, end in
// 8..11); a slanted wall's hexagon is also stored in PolyX/PolyY.
WallShape computeTrackedWallShape(MainWindow& f, bool inset);

inline bool dustClearingOn(const MainWindow& f) { return f.chkGomitori->isChecked(); }

// Distance of the dust clearing from the wall faces, read afresh each time.
inline double clearingDistance(const MainWindow& f) { return numbers::leadingNumber(f.cmbGomiDot->currentText()); }

inline void refreshWith(gf5::Gf5Disp& d, int16_t mode)
{
    d.setDisplayMode(mode);
    d.Refresh();
}

// After a confirmation the selection rests on the end square, so the next
// wall can start there.
inline void selectTrackEnd(MainWindow& f)
{
    setSelection(*f.dspCanvas, trackEnd(f));
    refreshWith(*f.dspCanvas, 2);
}

} // namespace floorplan
