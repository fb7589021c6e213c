// Whole-image geometry: rotation with mirroring, and resizing.
#include "imaging/effects/effectcore.h"
#include "imaging/effects/shrink.h"
#include "imaging/effects/turn.h"
#include <opencv2/imgproc.hpp>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace gf5 {

namespace {

// Rotation by a multiple of 90 degrees (quarter turns counter-clockwise):
// exact pixel moves, width and height swap for odd quarters.
QImage quarterTurn(const QImage& src, int quarters)
{
    const bool swap = quarters % 2 != 0;
    QImage out = fx::allocate(swap ? src.height() : src.width(), swap ? src.width() : src.height(),
                              QImage::Format_RGB32);
    if (out.isNull())
        return {};
    cv::Mat dst = fx::viewOf(out);
    const int code = quarters == 1 ? cv::ROTATE_90_COUNTERCLOCKWISE
                   : quarters == 2 ? cv::ROTATE_180
                                   : cv::ROTATE_90_CLOCKWISE;
    cv::rotate(fx::constViewOf(src), dst, code);
    out.setDotsPerMeterX(swap ? src.dotsPerMeterY() : src.dotsPerMeterX());
    out.setDotsPerMeterY(swap ? src.dotsPerMeterX() : src.dotsPerMeterY());
    return out;
}

} // namespace

int32_t Gf5Effect::Rotate(int32_t angle, int32_t flipH, int32_t flipV, int32_t option, int16_t r, int16_t g,
                          int16_t b, int32_t option2)
{
    CancelRequested = false;
    const QImage src = fx::sourceRgb32(SourceImage);
    if (src.isNull())
        return 0;
    fx::ProgressSteps steps(*this);

    // Mirroring comes first, then the turn.
    QImage cur = src;
    if (flipH || flipV) {
        QImage flipped = fx::allocate(src.width(), src.height(), QImage::Format_RGB32);
        if (flipped.isNull())
            return 0;
        cv::Mat dst = fx::viewOf(flipped);
        cv::flip(fx::constViewOf(src), dst, flipH && flipV ? -1 : (flipH ? 1 : 0));
        fx::keepMetadata(src, flipped);
        cur = flipped;
        if (!steps.at(10))
            return 0;
    }

    const qint64 hundredths = ((qint64(angle) % 36000) + 36000) % 36000;
    QImage result;
    if (hundredths == 0) {
        result = cur.constBits() == src.constBits() ? src.copy() : cur;
    } else if (hundredths % 9000 == 0) {
        result = quarterTurn(cur, int(hundredths / 9000));
    } else if (option2 & kRotateKeepsSize) {
        fx::ProgressSteps turnSteps(*this, flipH || flipV ? 10 : 0, 99);
        const QRgb fill = qRgb(fx::clampByte(r), fx::clampByte(g), fx::clampByte(b));
        result = turnKeepingSize(cur, double(angle % 36000) / 100.0, fill, kSharpTurn,
                                 [&](qint64 done, qint64 total) { return turnSteps.step(done, total); });
        if (result.isNull())
            return 0;
    } else {
        // Any other angle: the canvas grows to the turned image's bounding box
        // so no corner is lost; uncovered parts take the fill colour.
        const double theta = double(hundredths) / 100.0 * std::numbers::pi / 180.0;
        const double c = std::cos(theta), s = std::sin(theta);
        const int w = cur.width(), h = cur.height();
        const double bw = std::abs(w * c) + std::abs(h * s), bh = std::abs(w * s) + std::abs(h * c);
        const qint64 outW = std::max<qint64>(1, qint64(std::ceil(bw - 1e-6)));
        const qint64 outH = std::max<qint64>(1, qint64(std::ceil(bh - 1e-6)));
        if (!fx::sizeAllowed(outW, outH))
            return 0;
        result = fx::allocate(int(outW), int(outH), QImage::Format_RGB32);
        if (result.isNull())
            return 0;
        fx::keepMetadata(cur, result);
        // Forward map, counter-clockwise on screen (y grows downwards), taking
        // the source's centre to the new canvas's centre.
        const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
        const double ncx = (outW - 1) / 2.0, ncy = (outH - 1) / 2.0;
        cv::Matx23d m(c, s, ncx - c * cx - s * cy, -s, c, ncy + s * cx - c * cy);
        const cv::Scalar fill(fx::clampByte(b), fx::clampByte(g), fx::clampByte(r), 255);
        const cv::Mat srcMat = fx::constViewOf(cur);
        cv::Mat dst = fx::viewOf(result);
        const int rows = fx::bandRows(int(outH));
        fx::ProgressSteps warpSteps(*this, flipH || flipV ? 10 : 0, 99);
        for (int y = 0; y < outH; y += rows) {
            const int bandH = std::min<int>(rows, int(outH) - y);
            cv::Matx23d band = m;
            band(1, 2) -= y;
            cv::Mat out = dst(cv::Rect(0, y, int(outW), bandH));
            cv::warpAffine(srcMat, out, band, out.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, fill);
            if (!warpSteps.step(y + bandH, outH))
                return 0;
        }
    }
    if (result.isNull())
        return 0;
    if (!steps.at(100))
        return 0;
    return fx::storeResult(*this, std::move(result));
}

int32_t Gf5Effect::Resize(int32_t w, int32_t h, int32_t option)
{
    CancelRequested = false;
    if (!fx::sizeAllowed(w, h))
        return 0;
    const QImage src = fx::sourceRgb32(SourceImage);
    if (src.isNull())
        return 0;
    if (!progress(0))
        return 0;
    QImage result;
    if (w == src.width() && h == src.height()) {
        result = ImageStore::copy(src);
    } else {
        const bool shrinkX = w <= src.width(), shrinkY = h <= src.height();
        if (shrinkX && shrinkY) {
            // Area averaging keeps thin lines visible when shrinking.
            result = fx::shrinkArea(src, QSize(w, h));
        } else {
            result = fx::allocate(w, h, QImage::Format_RGB32);
            if (result.isNull())
                return 0;
            // Stretching uses linear interpolation; when one side shrinks,
            // that side is averaged down first.
            const QImage mid = shrinkX || shrinkY
                                   ? fx::shrinkArea(src, QSize(std::min(w, src.width()), std::min(h, src.height())))
                                   : src;
            if (mid.isNull() || !progress(50))
                return 0;
            cv::Mat d = fx::viewOf(result);
            cv::resize(fx::constViewOf(mid), d, d.size(), 0, 0, cv::INTER_LINEAR);
        }
        if (result.isNull())
            return 0;
        fx::keepMetadata(src, result);
    }
    if (result.isNull() || !progress(100))
        return 0;
    return fx::storeResult(*this, std::move(result));
}

} // namespace gf5
