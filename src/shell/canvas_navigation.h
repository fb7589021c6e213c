#pragma once
// Moving about the canvas with the mouse wheel and keeping one's place when
// the zoom changes: Ctrl+wheel zooms about the pointer, Shift+wheel scrolls
// sideways, and a new zoom factor keeps the selection (or the view's centre)
// where the eye is.
#include <QObject>
#include <QPointF>
#include <functional>

namespace gf5 {
class Gf5Disp;
}

namespace navigation {

// The zoom factor `notches` wheel steps away from `current` (positive: in),
// a fifth per step, rounded to a whole percent and kept within 10 %..800 %.
double zoomAfterNotches(double current, int notches);

// The point of the image the view should keep in sight across a zoom
// change: the selection's centre when there is a selection, else the image
// point at the view's centre. In image pixels.
QPointF anchorOf(const gf5::Gf5Disp& view);

// Scrolls so that the image point `imagePoint` shows at `viewPoint` of the
// viewport (as near as the scroll range allows).
void bringTo(gf5::Gf5Disp& view, const QPointF& imagePoint, const QPointF& viewPoint);

// The same with the viewport's centre as the place.
void centreOn(gf5::Gf5Disp& view, const QPointF& imagePoint);

// Wheel handling for a display's viewport. After a Ctrl+wheel zoom,
// `zoomed` receives the new factor (for the controls that show it).
class WheelNavigator : public QObject {
public:
    WheelNavigator(gf5::Gf5Disp& view, std::function<void(double)> zoomed);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    gf5::Gf5Disp& m_view;
    std::function<void(double)> m_zoomed;
    int m_pendingAngle = 0; // fractions of a notch from high-resolution wheels
};

} // namespace navigation
