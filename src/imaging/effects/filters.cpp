// Neighbourhood filters: anti-aliasing, sharpening, blurring and mosaic.
// OpenCV reads the rows just outside each band from the whole source, so the
// banded result equals filtering the region in one go.
#include "imaging/effects/effectcore.h"
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#include <algorithm>
#include <cstring>
#include <vector>

namespace gf5 {

int32_t Gf5Effect::Antialias(const int32_t* xs, const int32_t* ys, int n)
{
    // Smooths only where the 3x3 neighbourhood holds an edge (a channel
    // spans 48 levels or more), so flat paper and solid walls keep their exact
    // colours while jagged outlines get intermediate tones.
    constexpr int kEdge = 48;
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3));
    cv::Mat smooth, hi, lo;
    return fx::runRegionOperation(*this, xs, ys, n, [&](const cv::Mat& src, cv::Mat& dst) {
        cv::GaussianBlur(src, smooth, cv::Size(3, 3), 0);
        cv::dilate(src, hi, kernel);
        cv::erode(src, lo, kernel);
        for (int y = 0; y < src.rows; ++y) {
            const uchar* s = src.ptr<uchar>(y);
            const uchar* m = smooth.ptr<uchar>(y);
            const uchar* a = hi.ptr<uchar>(y);
            const uchar* b = lo.ptr<uchar>(y);
            uchar* d = dst.ptr<uchar>(y);
            for (int x = 0; x < src.cols * 4; x += 4) {
                const bool edge = a[x] - b[x] >= kEdge || a[x + 1] - b[x + 1] >= kEdge ||
                                  a[x + 2] - b[x + 2] >= kEdge;
                const uchar* from = edge ? m : s;
                d[x] = from[x];
                d[x + 1] = from[x + 1];
                d[x + 2] = from[x + 2];
                d[x + 3] = 255;
            }
        }
    });
}

int32_t Gf5Effect::Sharpen(const int32_t* xs, const int32_t* ys, int n, int16_t level)
{
    // Unsharp mask: each level adds half the difference from a 3x3 Gaussian
    // blur (level 2 adds it once).
    const double amount = 0.5 * std::clamp<int>(level, 0, 20);
    cv::Mat smooth;
    return fx::runRegionOperation(*this, xs, ys, n, [&](const cv::Mat& src, cv::Mat& dst) {
        cv::GaussianBlur(src, smooth, cv::Size(3, 3), 0);
        cv::addWeighted(src, 1.0 + amount, smooth, -amount, 0.0, dst);
    });
}

int32_t Gf5Effect::Blur(const int32_t* xs, const int32_t* ys, int n, int16_t level)
{
    // Box blur over (2 * level + 1) pixels square: level 1 is 3x3.
    const int k = 2 * std::clamp<int>(level, 1, 50) + 1;
    return fx::runRegionOperation(*this, xs, ys, n, [k](const cv::Mat& src, cv::Mat& dst) {
        cv::blur(src, dst, cv::Size(k, k));
    });
}

namespace {

// Sums rows [y0, y1) of src per column and channel into sums (four per
// pixel). Narrow sums halve the traffic of this, the pass that reads every
// source byte; the caller picks a type the block height cannot overflow.
template <class Sum>
void sumColumns(const cv::Mat& src, int y0, int y1, Sum* sums)
{
    const int n = src.cols * 4;
    std::fill(sums, sums + n, Sum(0));
    for (int y = y0; y < y1; ++y) {
        const uchar* s = src.ptr<uchar>(y);
        for (int i = 0; i < n; ++i)
            sums[i] = Sum(sums[i] + s[i]);
    }
}

// One output row of block colours from the column sums of `rows` rows:
// each block of bw columns (the last one cut by the edge) gets the rounded
// average of its pixels.
template <class Sum>
void paintBlocks(const Sum* sums, int width, int bw, int rows, quint32* painted)
{
    for (int x0 = 0; x0 < width; x0 += bw) {
        const int x1 = std::min(width, x0 + bw);
        quint64 b = 0, g = 0, r = 0;
        for (int x = x0; x < x1; ++x) {
            b += sums[size_t(x) * 4];
            g += sums[size_t(x) * 4 + 1];
            r += sums[size_t(x) * 4 + 2];
        }
        const quint64 count = quint64(x1 - x0) * quint64(rows);
        const quint32 colour = 0xFF000000u | quint32((b + count / 2) / count) | quint32((g + count / 2) / count) << 8 |
                               quint32((r + count / 2) / count) << 16;
        std::fill(painted + x0, painted + x1, colour);
    }
}

} // namespace

int32_t Gf5Effect::Mosaic(const int32_t* xs, const int32_t* ys, int n, int32_t w, int32_t h)
{
    // Blocks of w x h pixels, counted from the region's top-left corner, each
    // painted with its average colour; blocks cut by the region's edge average
    // the part inside the bounds.
    if (w < 1 || h < 1)
        return 0;
    const int bw = int(std::min<int32_t>(w, 1 << 20)), bh = int(std::min<int32_t>(h, 1 << 20));
    // 16-bit column sums hold up to 257 rows of 255.
    constexpr int kNarrowRows = 65535 / 255;
    return fx::runRegionOperation(
        *this, xs, ys, n,
        [&](const cv::Mat& src, cv::Mat& dst) {
            const int width = src.cols;
            const int blockRows = (src.rows + bh - 1) / bh;
            // The block rows of a band are independent: each worker reads its
            // rows once and writes each output row once.
            cv::parallel_for_(cv::Range(0, blockRows), [&](const cv::Range& range) {
                std::vector<quint16> narrow;
                std::vector<quint32> wide;
                std::vector<quint32> painted(static_cast<size_t>(width));
                for (int i = range.start; i < range.end; ++i) {
                    const int y0 = i * bh, y1 = std::min(src.rows, y0 + bh);
                    if (y1 - y0 <= kNarrowRows) {
                        narrow.resize(size_t(width) * 4);
                        sumColumns(src, y0, y1, narrow.data());
                        paintBlocks(narrow.data(), width, bw, y1 - y0, painted.data());
                    } else {
                        wide.resize(size_t(width) * 4);
                        sumColumns(src, y0, y1, wide.data());
                        paintBlocks(wide.data(), width, bw, y1 - y0, painted.data());
                    }
                    for (int y = y0; y < y1; ++y)
                        std::memcpy(dst.ptr<quint32>(y), painted.data(), size_t(width) * 4);
                }
            });
        },
        bh);
}

} // namespace gf5
