#include "imaging/effects/shrink.h"
#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>
#include <vector>

namespace gf5::fx {

bool shrinksDirectly(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied;
}

QImage shrinkArea(const QImage& src, QSize size)
{
    if (src.isNull() || size.isEmpty())
        return {};
    size = size.boundedTo(src.size());
    if (shrinksDirectly(src.format()))
        return src.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Other formats are converted a few rows at a time as they are summed,
    // rather than into a whole converted copy.
    QImage out(size, src.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (out.isNull())
        return {};
    out.fill(Qt::white); // rows a failed conversion leaves are paper, not garbage
    shrinkAreaInto(src, out, out.rect());
    return out;
}

namespace {

struct Tap {
    int index;     // source pixel
    double weight; // how much of it the destination pixel covers
};

// The source pixels under each destination pixel d0..d1-1 along one axis,
// when n source pixels are shrunk by factor f (source pixels per destination
// pixel), with the share of each that falls inside.
std::vector<std::vector<Tap>> tapsAlong(int d0, int d1, double f, int n)
{
    std::vector<std::vector<Tap>> all;
    all.reserve(size_t(d1 - d0));
    for (int d = d0; d < d1; ++d) {
        const double a = d * f, b = std::min((d + 1) * f, double(n));
        std::vector<Tap> taps;
        for (int i = std::clamp(int(std::floor(a)), 0, n - 1); i < n && i < b; ++i) {
            const double w = std::min(b, i + 1.0) - std::max(a, double(i));
            if (w > 1e-9)
                taps.push_back({i, w});
        }
        if (taps.empty())
            taps.push_back({std::clamp(int(a), 0, n - 1), 1.0});
        all.push_back(std::move(taps));
    }
    return all;
}

} // namespace

void shrinkAreaInto(const QImage& src, QImage& dst, const QRect& rect)
{
    const QRect cr = rect.intersected(dst.rect());
    if (cr.isEmpty() || src.isNull() || !shrinksDirectly(dst.format()))
        return;
    // An exact area average: each destination row sums its source rows
    // (weighted by how much of each it covers), then each destination pixel
    // sums its columns of that. Exact sums make a block agree with the rest
    // of the view around it.
    const auto cols = tapsAlong(cr.left(), cr.right() + 1, double(src.width()) / dst.width(), src.width());
    const auto rows = tapsAlong(cr.top(), cr.bottom() + 1, double(src.height()) / dst.height(), src.height());
    const int sx0 = cols.front().front().index, sx1 = cols.back().back().index + 1;
    const int sw = sx1 - sx0;
    const bool direct = shrinksDirectly(src.format());
    // Detached once here, not by each worker through scanLine().
    uchar* const dstBits = dst.bits();
    const qsizetype dstStride = dst.bytesPerLine();
    if (!dstBits)
        return;
    std::vector<float> colWeight(cols.size());
    for (size_t c = 0; c < cols.size(); ++c)
        for (const Tap& t : cols[c])
            colWeight[c] += float(t.weight);

    cv::parallel_for_(cv::Range(0, cr.height()), [&](const cv::Range& range) {
        std::vector<float> acc(size_t(sw) * 4);
        for (int r = range.start; r < range.end; ++r) {
            const std::vector<Tap>& taps = rows[size_t(r)];
            const int ry0 = taps.front().index;
            // Rows of other formats are converted a few at a time, never the
            // whole picture.
            QImage converted;
            if (!direct) {
                converted = src.copy(sx0, ry0, sw, taps.back().index + 1 - ry0).convertToFormat(dst.format());
                if (converted.isNull())
                    return;
            }
            std::fill(acc.begin(), acc.end(), 0.0f);
            float rowWeight = 0;
            for (const Tap& t : taps) {
                const uchar* line = direct ? src.constScanLine(t.index) + qsizetype(sx0) * 4
                                           : converted.constScanLine(t.index - ry0);
                const float w = float(t.weight);
                float* a = acc.data();
                for (int i = 0; i < sw * 4; ++i)
                    a[i] += w * line[i];
                rowWeight += w;
            }
            uchar* out = dstBits + (cr.top() + r) * dstStride + qsizetype(cr.left()) * 4;
            for (size_t c = 0; c < cols.size(); ++c) {
                float sum[4] = {0, 0, 0, 0};
                for (const Tap& t : cols[c]) {
                    const float* a = acc.data() + size_t(t.index - sx0) * 4;
                    for (int k = 0; k < 4; ++k)
                        sum[k] += float(t.weight) * a[k];
                }
                const float area = rowWeight * colWeight[c];
                for (int k = 0; k < 4; ++k)
                    out[c * 4 + k] = uchar(std::clamp(int(std::lround(sum[k] / area)), 0, 255));
            }
        }
    });
}

} // namespace gf5::fx
