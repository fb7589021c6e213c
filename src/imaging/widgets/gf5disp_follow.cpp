// Keeping the selection in view: scrolling to it after a program move, and
// scrolling while the user drags it near or past the view's edge.
#include "gf5disp.h"
#include "viewfollow.h"
#include <QScrollBar>
#include <QTimer>
#include <cmath>

namespace gf5 {

namespace {
constexpr int kEdgeZone = 16;        // screen pixels inside the edge that scroll
constexpr int kAutoScrollMs = 30;
} // namespace

void Gf5Disp::ScrollToSelection(Qt::Edges keep)
{
    auto end = [keep](Qt::Edge first, Qt::Edge last) {
        return keep & first ? SpanEnd::First : keep & last ? SpanEnd::Last : SpanEnd::Either;
    };
    if (m_zoomMode == 0 || m_sel.empty() || !baseImage())
        return;
    const double s = currentScale();
    const QSize vs = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setValue(followSpan(h->value(), vs.width(), int(std::floor(m_sel.left * s)), int(std::ceil(m_sel.right * s)),
                           end(Qt::LeftEdge, Qt::RightEdge)));
    v->setValue(followSpan(v->value(), vs.height(), int(std::floor(m_sel.top * s)), int(std::ceil(m_sel.bottom * s)),
                           end(Qt::TopEdge, Qt::BottomEdge)));
}

void Gf5Disp::updateAutoScroll(const QPoint& viewPoint)
{
    m_dragView = viewPoint;
    const bool selectionDrag = m_drag == DragKind::NewRect || m_drag == DragKind::Move || m_drag == DragKind::Resize;
    const QSize vs = viewport()->size();
    const bool nearEdge = edgeScrollStep(viewPoint.x(), vs.width(), kEdgeZone) != 0 ||
                          edgeScrollStep(viewPoint.y(), vs.height(), kEdgeZone) != 0;
    if (!selectionDrag || !nearEdge || m_zoomMode == 0) {
        if (m_autoScroll)
            m_autoScroll->stop();
        return;
    }
    if (!m_autoScroll) {
        m_autoScroll = new QTimer(this);
        m_autoScroll->setInterval(kAutoScrollMs);
        connect(m_autoScroll, &QTimer::timeout, this, [this] { autoScrollTick(); });
    }
    if (!m_autoScroll->isActive())
        m_autoScroll->start();
}

void Gf5Disp::autoScrollTick()
{
    const bool selectionDrag = m_drag == DragKind::NewRect || m_drag == DragKind::Move || m_drag == DragKind::Resize;
    if (!selectionDrag) {
        m_autoScroll->stop();
        return;
    }
    const QSize vs = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    const int x = h->value(), y = v->value();
    h->setValue(x + edgeScrollStep(m_dragView.x(), vs.width(), kEdgeZone));
    v->setValue(y + edgeScrollStep(m_dragView.y(), vs.height(), kEdgeZone));
    if (h->value() != x || v->value() != y)
        followDragTo(m_dragView); // the same pointer now lies over another image point
}

void Gf5Disp::followDragTo(const QPoint& viewPoint)
{
    const Sel s = draggedSelection(viewPoint);
    if (!(s == m_sel)) {
        m_sel = s;
        viewport()->update();
        emit SelectionChanged();
    }
}

} // namespace gf5
