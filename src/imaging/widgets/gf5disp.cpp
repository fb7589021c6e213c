#include "gf5disp.h"
#include "../store/bufferpool.h"
#include "../store/imagestore.h"
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace gf5 {

Gf5Disp::Gf5Disp(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
    liveDisplays().append(this);
    // A spent working copy is only worth keeping while no new image of its
    // size needs memory: then it gives way, and editing an image never holds
    // more than the canvas, the undo copy and one result.
    BufferPool::setReclaim(&Gf5Disp::releaseSpares);
}

void Gf5Disp::releaseSpares(int w, int h, QImage::Format)
{
    for (Gf5Disp* d : liveDisplays()) {
        if (d->m_spare.width() == w && d->m_spare.height() == h) {
            d->m_spare = QImage();
            d->m_spareKey = 0;
            d->m_spareDirty = QRect();
            d->m_spareReplaced = false;
        }
    }
}

Gf5Disp::~Gf5Disp()
{
    liveDisplays().removeAll(this);
    if (m_dc)
        SurfaceRegistry::remove(m_dc);
}

const QImage* Gf5Disp::baseImage() const
{
    const QImage* img = ImageStore::image(m_handle);
    return img && !img->isNull() ? img : nullptr;
}

const QImage* Gf5Disp::visibleImage() const
{
    return m_work.isNull() ? baseImage() : &m_work;
}

void Gf5Disp::setImageHandle(int32_t handle)
{
    // Drawing not committed belongs to the image shown before.
    dropWork();
    m_spareKey = 0;
    m_spareReplaced = false;
    m_handle = handle;
    m_standIn = m_standInView = QImage();
    const QImage* img = baseImage();
    if (!m_spare.isNull() && (!img || m_spare.size() != img->size()))
        m_spare = QImage();
    invalidateCache();
    if (img)
        takeKeptView(*img);
    updateScrollBars();
    viewport()->update();
}

void Gf5Disp::setStandIn(const QImage& reduced, const QSize& fullSize)
{
    // One format to shrink (a grey JPEG decodes to grey).
    m_standIn = fullSize.isEmpty() ? QImage() : reduced.convertToFormat(QImage::Format_RGB32);
    m_standInFull = fullSize;
    m_standInView = QImage();
    m_standInViewFor = QSize();
    viewport()->update();
}

int32_t Gf5Disp::DrawingDC() const
{
    return m_mode == 3 && m_shownMode == 3 && !m_work.isNull() ? m_dc : 0;
}

void Gf5Disp::Refresh()
{
    switch (m_mode) {
    case 1:
        dropWork();
        m_shownMode = 1;
        break;
    case 2:
        m_shownMode = 2;
        break;
    case 3:
        if (ensureWork() && !m_dc)
            m_dc = SurfaceRegistry::add(this);
        m_shownMode = 3;
        break;
    default: // 0: a change of scale follows; nothing to do yet
        break;
    }
    updateScrollBars();
    viewport()->update();
}

void Gf5Disp::CommitDrawing()
{
    if (m_work.isNull())
        return;
    StoredImage* stored = ImageStore::get(m_handle);
    if (!stored || stored->image.isNull()) {
        dropWork();
        return;
    }
    const bool cacheOnWork = cacheFollowsWork();
    const bool sameBase = m_workBaseKey == stored->image.cacheKey() && stored->image.size() == m_work.size();
    m_work.setDotsPerMeterX(stored->image.dotsPerMeterX());
    m_work.setDotsPerMeterY(stored->image.dotsPerMeterY());
    QImage old = std::move(stored->image);
    stored->image = std::move(m_work);
    stored->bitDepth = 24;
    m_work = QImage();
    // The old pixels equal the new image outside what was drawn: keep them
    // as the next working copy's buffer.
    if (sameBase && old.format() == QImage::Format_RGB32) {
        m_spare = std::move(old);
        m_spareDirty = m_workDirty;
        m_spareKey = stored->image.cacheKey();
        m_spareReplaced = true;
    } else {
        m_spare = QImage();
        m_spareKey = 0;
        m_spareReplaced = false;
    }
    m_workDirty = QRect();
    if (cacheOnWork) {
        m_cacheKey = stored->image.cacheKey();
        m_cacheOnWork = false;
    }
    viewport()->update();
}

void Gf5Disp::UpdateLayout()
{
    updateScrollBars();
    viewport()->update();
}

void Gf5Disp::SetFocus() { setFocus(Qt::OtherFocusReason); }

QImage Gf5Disp::takeReplacedImage()
{
    if (!m_spareReplaced || m_spare.isNull())
        return {};
    QImage replaced = std::move(m_spare);
    m_spare = QImage();
    m_spareKey = 0;
    m_spareDirty = QRect();
    m_spareReplaced = false;
    return replaced;
}

QImage Gf5Disp::shownImage() const
{
    const QImage* img = visibleImage();
    return img ? *img : QImage();
}

// Working copy.

QImage* Gf5Disp::ensureWork()
{
    if (!m_work.isNull())
        return &m_work;
    const QImage* src = baseImage();
    if (!src)
        return nullptr;
    const bool cacheOnStored = m_cacheValid && !m_cacheOnWork && m_cacheKey == src->cacheKey() &&
                               src->format() == QImage::Format_RGB32;
    if (!m_spare.isNull() && m_spare.size() == src->size() && m_spare.format() == QImage::Format_RGB32 &&
        src->format() == QImage::Format_RGB32) {
        // Reuse the spent buffer; only what differs needs copying back.
        const QRect region = (m_spareKey == src->cacheKey() ? m_spareDirty : src->rect()).intersected(src->rect());
        uchar* dst = m_spare.bits();
        if (dst && !region.isEmpty()) {
            const qsizetype dstStride = m_spare.bytesPerLine(), srcStride = src->bytesPerLine();
            const uchar* from = src->constBits();
            for (int y = region.top(); y <= region.bottom(); ++y)
                std::memcpy(dst + y * dstStride + region.left() * 4, from + y * srcStride + region.left() * 4,
                            size_t(region.width()) * 4);
        }
        if (dst)
            m_work = std::move(m_spare);
        m_spare = QImage();
    }
    if (m_work.isNull()) {
        m_spare = QImage();
        m_work = src->format() == QImage::Format_RGB32 ? ImageStore::copy(*src) : src->convertToFormat(QImage::Format_RGB32);
        if (m_work.isNull() || !m_work.bits()) { // out of memory
            m_work = QImage();
            return nullptr;
        }
    }
    m_spareKey = 0;
    m_spareDirty = QRect();
    m_spareReplaced = false;
    m_work.setDotsPerMeterX(src->dotsPerMeterX());
    m_work.setDotsPerMeterY(src->dotsPerMeterY());
    m_workBaseKey = src->cacheKey();
    m_workDirty = QRect();
    if (cacheOnStored) {
        // Same pixels as the stored image: the cache stays good.
        m_cacheKey = m_work.cacheKey();
        m_cacheOnWork = true;
    }
    return &m_work;
}

void Gf5Disp::dropWork()
{
    if (m_work.isNull())
        return;
    const QImage* stored = baseImage();
    const bool cacheOnWork = cacheFollowsWork();
    if (stored && m_workBaseKey == stored->cacheKey() && stored->size() == m_work.size()) {
        // The stored image is untouched: the working copy differs from it
        // only where drawing went.
        if (cacheOnWork && stored->format() == QImage::Format_RGB32) {
            m_cacheDirty |= m_workDirty;
            m_cacheKey = stored->cacheKey();
            m_cacheOnWork = false;
        }
        m_spareKey = stored->cacheKey();
        m_spareDirty = m_workDirty;
    } else {
        m_spareKey = 0;
        m_spareDirty = QRect();
        m_cacheValid = false;
    }
    m_spare = std::move(m_work);
    m_spareReplaced = false;
    m_work = QImage();
    m_workDirty = QRect();
    viewport()->update();
}

bool Gf5Disp::cacheFollowsWork() const
{
    return m_cacheValid && m_cacheOnWork && !m_work.isNull() && m_cacheKey == m_work.cacheKey();
}

void Gf5Disp::noteWorkChanged(const QRect& rect, bool cacheFollowed)
{
    const QRect r = rect.intersected(m_work.rect());
    m_workDirty |= r;
    if (cacheFollowed) {
        m_cacheDirty |= r;
        m_cacheKey = m_work.cacheKey();
    }
    viewport()->update();
}

QImage* Gf5Disp::surfaceImage() { return ensureWork(); }

void Gf5Disp::paintOn(const std::function<void(QPainter&)>& fn) { paintWithin(QRect(), fn); }

void Gf5Disp::paintWithin(const QRect& bounds, const std::function<void(QPainter&)>& fn)
{
    QImage* img = ensureWork();
    if (!img)
        return;
    const QRect area = bounds.isNull() ? img->rect() : bounds.intersected(img->rect());
    if (area.isEmpty())
        return;
    const bool followed = cacheFollowsWork();
    {
        QPainter p(img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.setClipRect(area);
        fn(p);
    }
    noteWorkChanged(area, followed);
}

void Gf5Disp::surfaceChanged(const QRect& rect)
{
    if (m_work.isNull())
        return;
    // The pixels are already written: trust that the cache followed until now.
    noteWorkChanged(rect, m_cacheValid && m_cacheOnWork);
}

// Scale and scrolling.

double Gf5Disp::fitScale() const
{
    const QImage* img = baseImage();
    if (!img)
        return 1.0;
    const QSize vs = maximumViewportSize();
    if (vs.width() <= 0 || vs.height() <= 0)
        return 1.0;
    return std::min(double(vs.width()) / img->width(), double(vs.height()) / img->height());
}

double Gf5Disp::currentScale() const
{
    return m_zoomMode == 0 ? fitScale() : m_zoomFactor;
}

QPointF Gf5Disp::scrollOffset() const
{
    return QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void Gf5Disp::setZoomMode(int16_t mode)
{
    if (mode == m_zoomMode)
        return;
    const QPoint origin(ViewOriginX(), ViewOriginY());
    m_zoomMode = mode;
    updateScrollBars();
    const double s = currentScale();
    horizontalScrollBar()->setValue(int(std::lround(origin.x() * s)));
    verticalScrollBar()->setValue(int(std::lround(origin.y() * s)));
    viewport()->update();
}

void Gf5Disp::setZoomFactor(double factor)
{
    // Factors that are not positive, or so large that the scaled view would
    // not fit in the scroll range, keep the previous one.
    if (!(factor > 0) || factor > kMaxZoomFactor || factor == m_zoomFactor)
        return;
    const QPoint origin(ViewOriginX(), ViewOriginY());
    m_zoomFactor = factor;
    updateScrollBars();
    const double s = currentScale();
    horizontalScrollBar()->setValue(int(std::lround(origin.x() * s)));
    verticalScrollBar()->setValue(int(std::lround(origin.y() * s)));
    viewport()->update();
}

void Gf5Disp::updateScrollBars()
{
    const QImage* img = baseImage();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    if (!img || m_zoomMode == 0) {
        // Fitted: the whole image shows, so there is nothing to scroll.
        h->setRange(0, 0);
        v->setRange(0, 0);
        return;
    }
    const double s = currentScale();
    const QSize vs = viewport()->size();
    const int cw = int(std::ceil(img->width() * s - 1e-9));
    const int ch = int(std::ceil(img->height() * s - 1e-9));
    h->setPageStep(std::max(1, vs.width()));
    v->setPageStep(std::max(1, vs.height()));
    h->setRange(0, std::max(0, cw - vs.width()));
    v->setRange(0, std::max(0, ch - vs.height()));
}

int32_t Gf5Disp::ViewOriginX() const
{
    return int32_t(std::floor(horizontalScrollBar()->value() / currentScale() + 1e-9));
}

int32_t Gf5Disp::ViewOriginY() const
{
    return int32_t(std::floor(verticalScrollBar()->value() / currentScale() + 1e-9));
}

QPoint Gf5Disp::viewToImage(const QPoint& viewPoint) const
{
    const double s = currentScale();
    const QPointF off = scrollOffset();
    return QPoint(int(std::floor((viewPoint.x() + off.x()) / s + 1e-9)),
                  int(std::floor((viewPoint.y() + off.y()) / s + 1e-9)));
}

QPoint Gf5Disp::imageToView(const QPoint& imagePoint) const
{
    const double s = currentScale();
    const QPointF off = scrollOffset();
    return QPoint(int(std::lround(imagePoint.x() * s - off.x())), int(std::lround(imagePoint.y() * s - off.y())));
}

void Gf5Disp::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
    viewport()->update();
}

void Gf5Disp::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
}

} // namespace gf5
