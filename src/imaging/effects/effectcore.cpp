#include "imaging/effects/effectcore.h"
#include "imaging/store/imagestore.h"
#include <QPainter>
#include <algorithm>
#include <atomic>
#include <unistd.h>

namespace gf5 {

bool Gf5Effect::progress(int percent)
{
    if (ReportProgress)
        emit Progress(int16_t(std::clamp(percent, 0, 100)));
    return !CancelRequested;
}

namespace fx {

qint64 maxImageBytes()
{
    static const qint64 limit = [] {
        const long pages = sysconf(_SC_PHYS_PAGES);
        const long pageSize = sysconf(_SC_PAGE_SIZE);
        qint64 physical = pages > 0 && pageSize > 0 ? qint64(pages) * pageSize : (qint64(4) << 30);
        // Half the memory for one image (an operation holds a source and a
        // result), but never less than a 20000 x 20000 plan needs.
        return std::max<qint64>(physical / 2, qint64(2) << 30);
    }();
    return limit;
}

bool sizeAllowed(qint64 w, qint64 h, int bytesPerPixel)
{
    constexpr qint64 kMaxSide = 1 << 17;
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide)
        return false;
    return w * h * bytesPerPixel <= maxImageBytes();
}

namespace {
std::atomic<qint64> largestAllowed{0};
}

qint64 largestAllocation() { return largestAllowed.load(); }

void resetLargestAllocation() { largestAllowed.store(0); }

QImage allocate(int w, int h, QImage::Format format)
{
    const int bytes = std::max(1, QImage::toPixelFormat(format).bitsPerPixel() / 8);
    if (!sizeAllowed(w, h, bytes))
        return {};
    const qint64 total = qint64(w) * h * bytes;
    for (qint64 seen = largestAllowed.load(); total > seen && !largestAllowed.compare_exchange_weak(seen, total);) {
    }
    return ImageStore::allocate(w, h, format);
}

void keepMetadata(const QImage& src, QImage& dst)
{
    if (src.isNull() || dst.isNull())
        return;
    dst.setDotsPerMeterX(src.dotsPerMeterX());
    dst.setDotsPerMeterY(src.dotsPerMeterY());
}

QImage toRgb32(const QImage& image)
{
    if (image.isNull())
        return {};
    if (image.format() == QImage::Format_RGB32)
        return image;
    if (image.hasAlphaChannel()) {
        QImage out = allocate(image.width(), image.height(), QImage::Format_RGB32);
        if (out.isNull())
            return {};
        out.fill(Qt::white);
        {
            QPainter p(&out);
            p.drawImage(0, 0, image);
        }
        keepMetadata(image, out);
        return out;
    }
    if (!sizeAllowed(image.width(), image.height()))
        return {};
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    return out.isNull() ? QImage() : out;
}

QImage sourceRgb32(int32_t handle)
{
    const QImage* img = ImageStore::image(handle);
    if (!img || img->isNull())
        return {};
    return toRgb32(*img);
}

cv::Mat viewOf(QImage& image)
{
    return cv::Mat(image.height(), image.width(), CV_8UC4, image.bits(), size_t(image.bytesPerLine()));
}

cv::Mat constViewOf(const QImage& image)
{
    return cv::Mat(image.height(), image.width(), CV_8UC4, const_cast<uchar*>(image.constBits()),
                   size_t(image.bytesPerLine()));
}

bool ProgressSteps::step(qint64 done, qint64 total)
{
    const int pct = total > 0 ? from_ + int((to_ - from_) * std::clamp<qint64>(done, 0, total) / total) : to_;
    return at(pct);
}

bool ProgressSteps::at(int percent)
{
    if (percent == last_)
        return !fx_.CancelRequested;
    last_ = percent;
    return fx_.progress(percent);
}

int bandRows(int height, int minRows)
{
    return std::max(minRows, (height + 63) / 64);
}

int32_t storeResult(Gf5Effect& fx, QImage img, int bitDepth)
{
    const int32_t h = ImageStore::add(std::move(img), bitDepth);
    if (!h)
        return 0;
    fx.ResultImage = h;
    return 1;
}

int32_t runRegionOperation(Gf5Effect& fx, const int32_t* xs, const int32_t* ys, int n, const BandFn& fn,
                           int rowMultiple)
{
    fx.CancelRequested = false;
    const QImage src = sourceRgb32(fx.SourceImage);
    if (src.isNull())
        return 0;
    const Region reg = makeRegion(fx, xs, ys, n, src.width(), src.height());
    QImage result = allocate(src.width(), src.height(), QImage::Format_RGB32);
    if (result.isNull())
        return 0;
    keepMetadata(src, result);
    const cv::Mat s = constViewOf(src);
    cv::Mat d = viewOf(result);
    const QRect b = reg.bounds;
    // Pixels beyond the bounds are copied as they are; the bands fill the rest.
    if (b.isEmpty()) {
        s.copyTo(d);
    } else {
        if (b.top() > 0)
            s.rowRange(0, b.top()).copyTo(d.rowRange(0, b.top()));
        if (b.bottom() + 1 < src.height())
            s.rowRange(b.bottom() + 1, src.height()).copyTo(d.rowRange(b.bottom() + 1, src.height()));
        if (b.left() > 0) {
            const cv::Rect left(0, b.top(), b.left(), b.height());
            s(left).copyTo(d(left));
        }
        if (b.right() + 1 < src.width()) {
            const cv::Rect right(b.right() + 1, b.top(), src.width() - b.right() - 1, b.height());
            s(right).copyTo(d(right));
        }
    }

    ProgressSteps steps(fx);
    if (!b.isEmpty()) {
        cv::Mat outside;
        if (!reg.mask.empty())
            cv::bitwise_not(reg.mask, outside);
        const int multiple = std::clamp(rowMultiple, 1, b.height());
        const int rows = (bandRows(b.height()) + multiple - 1) / multiple * multiple;
        for (int y = b.top(); y <= b.bottom(); y += rows) {
            const int h = std::min(rows, b.bottom() + 1 - y);
            const cv::Rect band(b.left(), y, b.width(), h);
            const cv::Mat sb = s(band);
            cv::Mat db = d(band);
            fn(sb, db);
            // Inside the bounds but outside the polygon the source stays.
            if (!outside.empty())
                sb.copyTo(db, outside(cv::Rect(0, y - b.top(), b.width(), h)));
            if (!steps.step(y + h - b.top(), b.height()))
                return 0;
        }
    }
    if (!steps.at(100))
        return 0;
    return storeResult(fx, std::move(result));
}

int32_t runPointOperation(Gf5Effect& fx, const int32_t* xs, const int32_t* ys, int n, const BandFn& fn)
{
    StoredImage* stored = ImageStore::get(fx.SourceImage);
    if (!fx.InPlace || !stored || stored->image.format() != QImage::Format_RGB32)
        return runRegionOperation(fx, xs, ys, n, fn);
    fx.CancelRequested = false;
    QImage& image = stored->image;
    const Region reg = makeRegion(fx, xs, ys, n, image.width(), image.height());
    ProgressSteps steps(fx);
    if (!steps.at(0))
        return 0;
    const QRect b = reg.bounds;
    if (!b.isEmpty()) {
        // bits() detaches an image whose pixels are shared; a failed detach
        // leaves it null and the image unchanged.
        if (!image.bits())
            return 0;
        cv::Mat pixels = viewOf(image);
        cv::Mat changed;
        const int rows = bandRows(b.height());
        for (int y = b.top(); y <= b.bottom(); y += rows) {
            const int h = std::min(rows, b.bottom() + 1 - y);
            cv::Mat band = pixels(cv::Rect(b.left(), y, b.width(), h));
            if (reg.mask.empty()) {
                fn(band, band);
            } else {
                // Outside the polygon nothing may change: the band is worked
                // out aside and copied back through the mask.
                changed.create(band.size(), band.type());
                fn(band, changed);
                changed.copyTo(band, reg.mask(cv::Rect(0, y - b.top(), b.width(), h)));
            }
            steps.step(y + h - b.top(), b.height());
        }
    }
    stored->bitDepth = 24;
    fx.ResultImage = fx.SourceImage;
    steps.at(100);
    return 1;
}

} // namespace fx
} // namespace gf5
