// Neighbourhood filters: anti-aliasing, sharpening, blurring and mosaic.
// OpenCV reads the rows just outside each band from the whole source, so the
// banded result equals filtering the region in one go.
#include "imaging/effects/effectcore.h"
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

int32_t Gf5Effect::Mosaic(const int32_t* xs, const int32_t* ys, int n, int32_t w, int32_t h)
{
    // Blocks of w x h pixels, counted from the region's top-left corner, each
    // painted with its average colour; blocks cut by the region's edge average
    // the part inside the bounds.
    if (w < 1 || h < 1)
        return 0;
    const int bw = int(std::min<int32_t>(w, 1 << 20)), bh = int(std::min<int32_t>(h, 1 << 20));
    std::vector<quint32> columns; // per column and channel: sum over the block row
    std::vector<quint32> painted; // one output row of block colours
    return fx::runRegionOperation(
        *this, xs, ys, n,
        [&](const cv::Mat& src, cv::Mat& dst) {
            const int width = src.cols;
            columns.resize(size_t(width) * 4);
            painted.resize(size_t(width));
            for (int y0 = 0; y0 < src.rows; y0 += bh) {
                const int y1 = std::min(src.rows, y0 + bh);
                // Column sums over the block row: one straight pass per row.
                std::fill(columns.begin(), columns.end(), 0u);
                for (int y = y0; y < y1; ++y) {
                    const uchar* s = src.ptr<uchar>(y);
                    quint32* c = columns.data();
                    for (int i = 0; i < width * 4; ++i)
                        c[i] += s[i];
                }
                for (int x0 = 0; x0 < width; x0 += bw) {
                    const int x1 = std::min(width, x0 + bw);
                    quint64 b = 0, g = 0, r = 0;
                    for (int x = x0; x < x1; ++x) {
                        b += columns[size_t(x) * 4];
                        g += columns[size_t(x) * 4 + 1];
                        r += columns[size_t(x) * 4 + 2];
                    }
                    const quint64 count = quint64(x1 - x0) * quint64(y1 - y0);
                    const quint32 colour = 0xFF000000u | quint32((b + count / 2) / count) |
                                           quint32((g + count / 2) / count) << 8 |
                                           quint32((r + count / 2) / count) << 16;
                    std::fill(painted.begin() + x0, painted.begin() + x1, colour);
                }
                for (int y = y0; y < y1; ++y)
                    std::memcpy(dst.ptr<quint32>(y), painted.data(), size_t(width) * 4);
            }
        },
        bh);
}

} // namespace gf5
