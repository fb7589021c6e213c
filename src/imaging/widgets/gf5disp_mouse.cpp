// Mouse and drag-and-drop on the display: clicks, dragging out, moving and
// resizing the selection, drops of files and of other displays.
#include "gf5disp.h"
#include "../store/imagestore.h"
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace gf5 {

namespace {
constexpr int kClickSlop = 3;  // screen pixels a click may wander
constexpr int kEdgeReach = 4;  // screen pixels around an edge that grab it

Gf5Disp* displayOf(QObject* o)
{
    for (; o; o = o->parent())
        if (auto* d = qobject_cast<Gf5Disp*>(o))
            return d;
    return nullptr;
}

QString firstLocalFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& u : mime->urls())
        if (u.isLocalFile())
            return u.toLocalFile();
    return {};
}
} // namespace

// Image edge (between pixels) nearest to a view point, inside the image.
QPoint Gf5Disp::viewToImageEdge(const QPointF& viewPoint) const
{
    const double s = currentScale();
    const QPointF off = scrollOffset();
    const QImage* img = baseImage();
    const int w = img ? img->width() : 0, h = img ? img->height() : 0;
    return QPoint(std::clamp(int(std::lround((viewPoint.x() + off.x()) / s)), 0, w),
                  std::clamp(int(std::lround((viewPoint.y() + off.y()) / s)), 0, h));
}

int Gf5Disp::edgesAt(const QPoint& v) const
{
    if (!frameShown())
        return 0;
    const QRect r = selectionViewRect();
    const int x0 = r.left(), x1 = r.right(), y0 = r.top(), y1 = r.bottom();
    const bool inY = v.y() >= y0 - kEdgeReach && v.y() <= y1 + kEdgeReach;
    const bool inX = v.x() >= x0 - kEdgeReach && v.x() <= x1 + kEdgeReach;
    int edges = 0;
    if (inY) {
        const int dl = std::abs(v.x() - x0), dr = std::abs(v.x() - x1);
        if (dl <= kEdgeReach || dr <= kEdgeReach)
            edges |= dl < dr ? EdgeLeft : EdgeRight;
    }
    if (inX) {
        const int dt = std::abs(v.y() - y0), db = std::abs(v.y() - y1);
        if (dt <= kEdgeReach || db <= kEdgeReach)
            edges |= dt < db ? EdgeTop : EdgeBottom;
    }
    return edges;
}

Gf5Disp::Sel Gf5Disp::draggedSelection(const QPoint& v) const
{
    const QImage* img = baseImage();
    const int w = img ? img->width() : 0, h = img ? img->height() : 0;
    Sel s = m_pressSel;
    if (m_drag == DragKind::NewRect) {
        const QPoint a = m_pressImage;
        const QPoint b = viewToImageEdge(v);
        s = {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y())};
    } else if (m_drag == DragKind::Move) {
        // Measured on the image, so scrolling during the drag moves it too.
        const double sc = currentScale();
        const QPointF off = scrollOffset() - m_pressOffset;
        int dx = int(std::lround((v.x() - m_pressView.x() + off.x()) / sc));
        int dy = int(std::lround((v.y() - m_pressView.y() + off.y()) / sc));
        const int sw = s.right - s.left, sh = s.bottom - s.top;
        // Keep the rectangle on the image when it fits.
        if (sw <= w)
            dx = std::clamp(dx, -s.left, w - s.right);
        if (sh <= h)
            dy = std::clamp(dy, -s.top, h - s.bottom);
        s = {s.left + dx, s.top + dy, s.right + dx, s.bottom + dy};
    } else if (m_drag == DragKind::Resize) {
        const QPoint e = viewToImageEdge(v);
        if (m_resizeEdges & EdgeLeft)
            s.left = e.x();
        if (m_resizeEdges & EdgeRight)
            s.right = e.x();
        if (m_resizeEdges & EdgeTop)
            s.top = e.y();
        if (m_resizeEdges & EdgeBottom)
            s.bottom = e.y();
        s = {std::min(s.left, s.right), std::min(s.top, s.bottom), std::max(s.left, s.right),
             std::max(s.top, s.bottom)};
    }
    return s;
}

void Gf5Disp::updateHoverCursor(const QPoint& v)
{
    if (!m_dragEnabled || m_dragSource || !frameShown()) {
        viewport()->unsetCursor();
        return;
    }
    const int e = edgesAt(v);
    const QRect r = selectionViewRect();
    if (e == (EdgeLeft | EdgeTop) || e == (EdgeRight | EdgeBottom))
        viewport()->setCursor(Qt::SizeFDiagCursor);
    else if (e == (EdgeLeft | EdgeBottom) || e == (EdgeRight | EdgeTop))
        viewport()->setCursor(Qt::SizeBDiagCursor);
    else if (e & (EdgeLeft | EdgeRight))
        viewport()->setCursor(Qt::SizeHorCursor);
    else if (e & (EdgeTop | EdgeBottom))
        viewport()->setCursor(Qt::SizeVerCursor);
    else if (v.x() > r.left() && v.x() < r.right() && v.y() > r.top() && v.y() < r.bottom())
        viewport()->setCursor(Qt::SizeAllCursor);
    else
        viewport()->unsetCursor();
}

void Gf5Disp::mousePressEvent(QMouseEvent* e)
{
    // A second button during a drag is ignored; a press with no other button
    // held starts afresh even if the last release never arrived (a window
    // that opened mid-drag may have taken it).
    if (m_drag != DragKind::None && (e->buttons() & ~e->button()))
        return;
    const QPoint v = e->position().toPoint();
    m_pressButton = e->button();
    m_pressView = v;
    m_pressOffset = scrollOffset();
    m_pressSel = m_sel;
    m_drag = DragKind::Pending;
    m_pendingKind = DragKind::None;
    if (e->button() != Qt::LeftButton || !baseImage())
        return;
    if (m_dragSource) {
        m_pendingKind = DragKind::DragOut;
        return;
    }
    if (!m_dragEnabled)
        return;
    m_resizeEdges = edgesAt(v);
    const QRect r = selectionViewRect();
    if (m_resizeEdges)
        m_pendingKind = DragKind::Resize;
    else if (frameShown() && v.x() > r.left() && v.x() < r.right() && v.y() > r.top() && v.y() < r.bottom())
        m_pendingKind = DragKind::Move;
    else
        m_pendingKind = DragKind::NewRect;
    m_pressImage = viewToImageEdge(v);
}

void Gf5Disp::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint v = e->position().toPoint();
    if (m_drag == DragKind::None) {
        updateHoverCursor(v);
        return;
    }
    if (m_drag == DragKind::Pending) {
        const int moved = (v - m_pressView).manhattanLength();
        if (m_pendingKind == DragKind::DragOut) {
            if (moved >= QApplication::startDragDistance())
                startDisplayDrag();
            return;
        }
        if (m_pendingKind == DragKind::None || moved < kClickSlop)
            return;
        m_drag = m_pendingKind;
        // The user is working on the selection: show its frame from now on.
        if (m_mode == 1)
            m_mode = 2;
        if (m_shownMode == 1)
            m_shownMode = 2;
    }
    followDragTo(v);
    updateAutoScroll(v);
}

void Gf5Disp::mouseReleaseEvent(QMouseEvent* e)
{
    if (m_drag == DragKind::None || e->button() != m_pressButton)
        return;
    const DragKind kind = m_drag;
    m_drag = DragKind::None;
    updateAutoScroll(e->position().toPoint());
    if (kind == DragKind::Pending) {
        const QPoint p = viewToImage(m_pressView);
        if (m_pressButton == Qt::LeftButton)
            emit CanvasClick(1, p.x(), p.y());
        else if (m_pressButton == Qt::RightButton)
            emit CanvasClick(2, p.x(), p.y());
        return;
    }
    if (kind == DragKind::DragOut)
        return;
    viewport()->update();
    updateHoverCursor(e->position().toPoint());
    if (!(m_sel == m_pressSel))
        emit SelectionChanged();
}

QList<Gf5Disp*>& Gf5Disp::liveDisplays()
{
    static QList<Gf5Disp*> displays;
    return displays;
}

// The payload names the process and the display, so a drop can find its
// source even when the platform does not report it.
static QByteArray dragPayload(const Gf5Disp* d)
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' + QByteArray::number(quintptr(d));
}

Gf5Disp* Gf5Disp::droppedDisplay(const QDropEvent* e) const
{
    const QMimeData* mime = e->mimeData();
    if (!mime || !mime->hasFormat(displayMimeType()))
        return nullptr;
    Gf5Disp* source = displayOf(e->source());
    if (!source) {
        const QList<QByteArray> parts = mime->data(displayMimeType()).split(':');
        if (parts.size() == 2 && parts[0].toLongLong() == QCoreApplication::applicationPid()) {
            const quintptr p = quintptr(parts[1].toULongLong());
            for (Gf5Disp* d : liveDisplays())
                if (quintptr(d) == p)
                    source = d;
        }
    }
    return source == this ? nullptr : source;
}

QMimeData* Gf5Disp::dragMimeData() const
{
    auto* mime = new QMimeData;
    mime->setData(displayMimeType(), dragPayload(this));
    return mime;
}

void Gf5Disp::startDisplayDrag()
{
    m_drag = DragKind::DragOut;
    auto* drag = new QDrag(this);
    drag->setMimeData(dragMimeData());
    drag->exec(Qt::CopyAction);
    m_drag = DragKind::None;
}

void Gf5Disp::dragEnterEvent(QDragEnterEvent* e)
{
    if (droppedDisplay(e) || !firstLocalFile(e->mimeData()).isEmpty())
        e->acceptProposedAction();
    else
        e->ignore();
}

void Gf5Disp::dragMoveEvent(QDragMoveEvent* e)
{
    if (droppedDisplay(e) || !firstLocalFile(e->mimeData()).isEmpty())
        e->acceptProposedAction();
    else
        e->ignore();
}

void Gf5Disp::dropEvent(QDropEvent* e)
{
    if (Gf5Disp* source = droppedDisplay(e)) {
        e->acceptProposedAction();
        emit DisplayDropped(source);
        return;
    }
    const QString path = firstLocalFile(e->mimeData());
    if (!path.isEmpty()) {
        e->acceptProposedAction();
        emit FileDropped(path);
        return;
    }
    e->ignore();
}

} // namespace gf5
