// Painting the display: the image (through a scaled-down cache when shown
// smaller than actual size) and the selection frame.
#include "gf5disp.h"
#include "imaging/effects/shrink.h"
#include "imaging/store/imagestore.h"
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace gf5 {

namespace {
const QColor kBackground(128, 128, 128);
constexpr int kHandle = 6; // resize handle size in screen pixels

bool fourChannel(QImage::Format f)
{
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
}
}

void Gf5Disp::invalidateCache()
{
    m_cacheValid = false;
    m_cacheOnWork = false;
    m_cacheDirty = QRect();
}

void Gf5Disp::keepViewFor(int32_t handle)
{
    m_keptView = QImage();
    m_keptKey = 0;
    const QImage* base = baseImage();
    const QImage* other = ImageStore::image(handle);
    if (!base || !other || other->size() != base->size() || !m_work.isNull() || !m_cacheValid || m_cacheOnWork ||
        m_cacheKey != base->cacheKey() || m_cacheScale != currentScale())
        return;
    ensureCache(); // catches up with pixels changed since the last paint
    if (!m_cacheValid || m_cacheKey != base->cacheKey())
        return;
    m_keptView = m_cache;
    m_keptScale = m_cacheScale;
    m_keptKey = other->cacheKey();
}

bool Gf5Disp::takeKeptView(const QImage& image)
{
    if (m_keptView.isNull() || image.cacheKey() != m_keptKey || image.isNull())
        return false;
    m_cache = std::move(m_keptView);
    m_keptView = QImage();
    m_keptKey = 0;
    m_cacheValid = true;
    m_cacheScale = m_keptScale;
    m_cacheKey = image.cacheKey();
    m_cacheOnWork = false;
    m_cacheDirty = QRect();
    return true;
}

void Gf5Disp::ensureCache()
{
    const QImage* src = visibleImage();
    const double s = currentScale();
    if (!src || s >= 1.0)
        return;
    const QSize size(std::max(1, int(std::lround(src->width() * s))), std::max(1, int(std::lround(src->height() * s))));
    const bool onWork = src == &m_work;
    if (!m_cacheValid || m_cacheScale != s || m_cacheKey != src->cacheKey() || m_cache.size() != size ||
        m_cacheOnWork != onWork) {
        m_cache = fx::shrinkArea(*src, size);
        if (m_cache.isNull())
            return;
    } else if (!m_cacheDirty.isEmpty()) {
        // Only the part of the view over the changed pixels is worked out again.
        const double kx = double(size.width()) / src->width();
        const double ky = double(size.height()) / src->height();
        const QRect d = m_cacheDirty;
        const QRect cr(QPoint(int(std::floor(d.left() * kx)) - 1, int(std::floor(d.top() * ky)) - 1),
                       QPoint(int(std::ceil((d.right() + 1) * kx)), int(std::ceil((d.bottom() + 1) * ky))));
        fx::shrinkAreaInto(*src, m_cache, cr);
    }
    m_cacheValid = true;
    m_cacheScale = s;
    m_cacheKey = src->cacheKey();
    m_cacheOnWork = onWork;
    m_cacheDirty = QRect();
}

namespace {
// image at half its size, each pixel the mean of four; on this thread alone,
// as the picture's decoding keeps the other processor busy.
QImage halved(const QImage& image)
{
    QImage out(image.width() / 2, image.height() / 2, QImage::Format_RGB32);
    if (out.isNull())
        return out;
    for (int y = 0; y < out.height(); ++y) {
        const uchar* a = image.constScanLine(2 * y);
        const uchar* b = image.constScanLine(2 * y + 1);
        uchar* o = out.scanLine(y);
        for (int x = 0; x < out.width() * 4; ++x) {
            const int i = (x / 4) * 8 + x % 4;
            o[x] = uchar((a[i] + a[i + 4] + b[i] + b[i + 4] + 2) / 4);
        }
    }
    return out;
}
} // namespace

void Gf5Disp::paintStandIn(QPainter& p, const QRect& exposed)
{
    // Fitted as the whole picture will be: the view shows it in fit mode
    // when it is set. Halved while twice as large or more, then smoothed by
    // the painter, so the switch to the whole picture's view hardly shows.
    const QSize vs = maximumViewportSize();
    const double s = std::min(double(vs.width()) / m_standInFull.width(), double(vs.height()) / m_standInFull.height());
    const QSize size(std::max(1, int(std::lround(m_standInFull.width() * s))),
                     std::max(1, int(std::lround(m_standInFull.height() * s))));
    if (m_standInViewFor != size) {
        m_standInViewFor = size;
        m_standInView = m_standIn;
        while (m_standInView.width() >= 2 * size.width() && m_standInView.height() >= 2 * size.height()) {
            QImage half = halved(m_standInView);
            if (half.isNull())
                break;
            m_standInView = std::move(half);
        }
    }
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setClipRect(exposed);
    p.drawImage(QRect(QPoint(0, 0), size), m_standInView);
    p.restore();
}

void Gf5Disp::paintEvent(QPaintEvent* e)
{
    QPainter p(viewport());
    const QRect exposed = e->rect();
    p.fillRect(exposed, kBackground);
    const QImage* src = visibleImage();
    if (!src && !m_standIn.isNull())
        paintStandIn(p, exposed);
    if (src) {
        const double s = currentScale();
        const int hs = horizontalScrollBar()->value();
        const int vs = verticalScrollBar()->value();
        if (s < 1.0) {
            ensureCache();
            if (m_cacheValid) {
                const QRect target = exposed.intersected(QRect(QPoint(-hs, -vs), m_cache.size()));
                if (!target.isEmpty())
                    p.drawImage(target.topLeft(), m_cache, target.translated(hs, vs));
            }
        } else {
            // Only the source pixels under the exposed area are drawn.
            const int x0 = std::clamp(int(std::floor((exposed.left() + hs) / s)), 0, src->width());
            const int y0 = std::clamp(int(std::floor((exposed.top() + vs) / s)), 0, src->height());
            const int x1 = std::clamp(int(std::ceil((exposed.right() + 1 + hs) / s)), 0, src->width());
            const int y1 = std::clamp(int(std::ceil((exposed.bottom() + 1 + vs) / s)), 0, src->height());
            if (x1 > x0 && y1 > y0) {
                const QRect sr(x0, y0, x1 - x0, y1 - y0);
                const QRectF target(x0 * s - hs, y0 * s - vs, sr.width() * s, sr.height() * s);
                if (fourChannel(src->format())) {
                    p.drawImage(target, *src, QRectF(sr));
                } else {
                    const QImage part = src->copy(sr).convertToFormat(QImage::Format_RGB32);
                    p.drawImage(target, part, QRectF(part.rect()));
                }
            }
        }
    }
    if (!m_guide.isEmpty() && src)
        drawGuide(p);
    if (frameShown())
        drawSelectionFrame(p);
}

void Gf5Disp::setGuide(const QPolygonF& imagePolygon)
{
    if (imagePolygon == m_guide)
        return;
    m_guide = imagePolygon;
    viewport()->update();
}

void Gf5Disp::drawGuide(QPainter& p) const
{
    const double s = currentScale();
    const QPointF offset = scrollOffset();
    QPolygonF view;
    view.reserve(m_guide.size());
    for (const QPointF& q : m_guide)
        view << QPointF(q.x() * s - offset.x(), q.y() * s - offset.y());
    // Pale blue, see-through: it shows where the next wall would go without
    // hiding the ink under it.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(QColor(80, 150, 255, 40));
    p.setPen(QPen(QColor(80, 150, 255, 160), 2));
    p.drawPolygon(view);
    p.setRenderHint(QPainter::Antialiasing, false);
}

bool Gf5Disp::frameShown() const
{
    if (m_sel.empty() || !baseImage())
        return false;
    const bool dragging = m_drag == DragKind::NewRect || m_drag == DragKind::Move || m_drag == DragKind::Resize;
    return dragging || m_shownMode == 2 || m_shownMode == 3;
}

// The selection's edges in view coordinates: left/top on the first pixel
// inside, right/bottom on the first pixel past it.
QRect Gf5Disp::selectionViewRect() const
{
    const QPoint a = imageToView(QPoint(m_sel.left, m_sel.top));
    const QPoint b = imageToView(QPoint(m_sel.right, m_sel.bottom));
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

void Gf5Disp::drawSelectionFrame(QPainter& p) const
{
    const QRect r = selectionViewRect();
    // The frame runs just outside the selected pixels: white under black
    // dashes, visible on any picture.
    const QRect frame(QPoint(r.left() - 1, r.top() - 1), QPoint(r.right(), r.bottom()));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(frame);
    QPen dash(Qt::black, 1, Qt::CustomDashLine);
    dash.setDashPattern({4, 4});
    p.setPen(dash);
    p.drawRect(frame);

    QList<QPoint> handles = {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()};
    if (frame.width() > 4 * kHandle && frame.height() > 4 * kHandle) {
        const QPoint c = frame.center();
        handles += {QPoint(c.x(), frame.top()), QPoint(c.x(), frame.bottom()), QPoint(frame.left(), c.y()),
                    QPoint(frame.right(), c.y())};
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    for (const QPoint& h : handles)
        p.drawRect(QRect(h.x() - kHandle / 2, h.y() - kHandle / 2, kHandle - 1, kHandle - 1));
}

} // namespace gf5
