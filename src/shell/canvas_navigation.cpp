#include "shell/canvas_navigation.h"
#include "imaging/widgets/gf5disp.h"
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace navigation {

namespace {
constexpr double kStep = 1.2;
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 8.0;
constexpr int kNotch = 120; // angle units of one wheel step
}

double zoomAfterNotches(double current, int notches)
{
    if (!(current > 0))
        current = 1;
    double z = current * std::pow(kStep, notches);
    z = std::round(z * 100) / 100;
    // Rounding must never hold the factor in place.
    if (notches > 0 && z <= current)
        z = current + 0.01;
    if (notches < 0 && z >= current)
        z = current - 0.01;
    return std::clamp(z, kMinZoom, kMaxZoom);
}

QPointF anchorOf(const gf5::Gf5Disp& view)
{
    const int l = view.SelectionLeft(), t = view.SelectionTop();
    const int r = view.SelectionRight(), b = view.SelectionBottom();
    if (r > l && b > t)
        return QPointF((l + r) / 2.0, (t + b) / 2.0);
    const double s = view.currentScale();
    const QPointF centre = QRectF(view.viewport()->rect()).center();
    return QPointF((centre.x() + view.horizontalScrollBar()->value()) / s,
                   (centre.y() + view.verticalScrollBar()->value()) / s);
}

void bringTo(gf5::Gf5Disp& view, const QPointF& imagePoint, const QPointF& viewPoint)
{
    const double s = view.currentScale();
    view.horizontalScrollBar()->setValue(int(std::lround(imagePoint.x() * s - viewPoint.x())));
    view.verticalScrollBar()->setValue(int(std::lround(imagePoint.y() * s - viewPoint.y())));
}

void centreOn(gf5::Gf5Disp& view, const QPointF& imagePoint)
{
    bringTo(view, imagePoint, QRectF(view.viewport()->rect()).center());
}

WheelNavigator::WheelNavigator(gf5::Gf5Disp& view, std::function<void(double)> zoomed)
    : QObject(&view), m_view(view), m_zoomed(std::move(zoomed))
{
    view.viewport()->installEventFilter(this);
}

bool WheelNavigator::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: the filter also sees the viewport's events while the
    // view itself is being destroyed, when the view may no longer be asked.
    if (event->type() != QEvent::Wheel || watched != m_view.viewport())
        return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    const Qt::KeyboardModifiers mods = wheel->modifiers();
    // Some systems turn Shift+wheel into a sideways wheel themselves.
    const int delta = wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
    if (mods & Qt::ControlModifier) {
        if (!m_view.ImageHandle())
            return true;
        m_pendingAngle += delta;
        const int notches = m_pendingAngle / kNotch;
        if (notches == 0)
            return true;
        m_pendingAngle -= notches * kNotch;
        const QPointF pointer = wheel->position();
        const double s = m_view.currentScale();
        const QPointF under((pointer.x() + m_view.horizontalScrollBar()->value()) / s,
                            (pointer.y() + m_view.verticalScrollBar()->value()) / s);
        const double zoom = zoomAfterNotches(s, notches);
        m_view.setZoomMode(2);
        m_view.setZoomFactor(zoom);
        bringTo(m_view, under, pointer);
        m_view.viewport()->update();
        if (m_zoomed)
            m_zoomed(m_view.currentScale());
        return true;
    }
    if (mods & Qt::ShiftModifier) {
        QScrollBar* h = m_view.horizontalScrollBar();
        h->setValue(h->value() - delta);
        return true;
    }
    return false;
}

} // namespace navigation
