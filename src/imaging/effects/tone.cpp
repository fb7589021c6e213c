// Tone operations: brightness, tone curve and colour saturation. Each maps
// every pixel on its own, so they run band by band over the region.
#include "imaging/effects/effectcore.h"
#include <opencv2/core/utility.hpp>
#include <algorithm>
#include <cmath>
#include <vector>

namespace gf5 {

namespace {

// One table per channel, each entry already at its place in a 32-bit pixel
// (B, G, R, opaque alpha), so a pixel takes three loads and two ors.
struct ChannelTables {
    quint32 blue[256], green[256], red[256];
    ChannelTables(const uchar* b, const uchar* g, const uchar* r)
    {
        for (int v = 0; v < 256; ++v) {
            blue[v] = b[v];
            green[v] = quint32(g[v]) << 8;
            red[v] = (quint32(r[v]) << 16) | 0xFF000000u;
        }
    }
};

// Maps every pixel of src through the tables into dst, rows split between
// the cores.
void applyTables(const ChannelTables& t, const cv::Mat& src, cv::Mat& dst)
{
    cv::parallel_for_(cv::Range(0, src.rows), [&](const cv::Range& rows) {
        for (int y = rows.start; y < rows.end; ++y) {
            const quint32* s = src.ptr<quint32>(y);
            quint32* d = dst.ptr<quint32>(y);
            for (int x = 0; x < src.cols; ++x) {
                const quint32 p = s[x];
                d[x] = t.blue[p & 0xFF] | t.green[(p >> 8) & 0xFF] | t.red[(p >> 16) & 0xFF];
            }
        }
    });
}

// Grey by the luminance weights 29 : 150 : 77 (out of 256), rounded. The
// weighted sum stays below 65536, so 16-bit lanes hold it and the loop has
// no branch for the compiler to trip over.
// One row; built for AVX2 as well as the baseline, the better chosen when
// the program loads.
__attribute__((target_clones("avx2", "default"))) void greyRow(const quint32* s, quint32* d, int cols)
{
    for (int x = 0; x < cols; ++x) {
        const quint32 p = s[x];
        const quint16 grey = quint16(quint16(29 * quint16(p & 0xFF) + 150 * quint16((p >> 8) & 0xFF) +
                                             77 * quint16((p >> 16) & 0xFF) + 128) >> 8);
        d[x] = 0xFF000000u | quint32(grey) * 0x010101u;
    }
}

void greyRows(const cv::Mat& src, cv::Mat& dst)
{
    cv::parallel_for_(cv::Range(0, src.rows), [&](const cv::Range& rows) {
        for (int y = rows.start; y < rows.end; ++y)
            greyRow(src.ptr<quint32>(y), dst.ptr<quint32>(y), src.cols);
    });
}

} // namespace

int32_t Gf5Effect::Brightness(const int32_t* xs, const int32_t* ys, int n, int32_t a, int32_t b, int32_t c)
{
    const int delta = std::clamp(a, -255, 255);
    uchar map[256];
    for (int v = 0; v < 256; ++v)
        map[v] = uchar(fx::clampByte(v + delta));
    const ChannelTables tables(map, map, map);
    return fx::runRegionOperation(*this, xs, ys, n,
                                  [&](const cv::Mat& src, cv::Mat& dst) { applyTables(tables, src, dst); });
}

int32_t Gf5Effect::ToneCurve(const int32_t* xs, const int32_t* ys, int n, const int32_t* in,
                             const int32_t* out, int count, int32_t r, int32_t g, int32_t b)
{
    if (!in || !out || count < 1)
        return 0;
    // Points in order of input level; levels outside the first and last
    // input keep the end outputs.
    std::vector<std::pair<double, double>> pts;
    pts.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        pts.emplace_back(double(in[i]), double(out[i]));
    std::stable_sort(pts.begin(), pts.end(), [](const auto& p, const auto& q) { return p.first < q.first; });

    uchar curve[256];
    for (int v = 0; v < 256; ++v) {
        double y;
        if (v <= pts.front().first) {
            y = pts.front().second;
        } else if (v >= pts.back().first) {
            y = pts.back().second;
        } else {
            size_t i = 0;
            while (i + 1 < pts.size() && pts[i + 1].first < v)
                ++i;
            const auto& [x0, y0] = pts[i];
            const auto& [x1, y1] = pts[i + 1];
            y = x1 == x0 ? y1 : y0 + (v - x0) * (y1 - y0) / (x1 - x0);
        }
        // Halves round up (away from zero): 232.5 becomes 233.
        curve[v] = uchar(fx::clampByte(int(std::lround(y))));
    }
    uchar identity[256];
    for (int v = 0; v < 256; ++v)
        identity[v] = uchar(v);
    const ChannelTables tables(b ? curve : identity, g ? curve : identity, r ? curve : identity);
    return fx::runRegionOperation(*this, xs, ys, n,
                                  [&](const cv::Mat& src, cv::Mat& dst) { applyTables(tables, src, dst); });
}

int32_t Gf5Effect::Saturation(const int32_t* xs, const int32_t* ys, int n, int32_t amount)
{
    // Each channel's distance from the pixel's luminance is scaled by
    // (100 + amount) / 100: -100 leaves exact grey (r = g = b).
    const int factor = 100 + std::clamp(amount, -100, 400);
    if (factor == 0)
        return fx::runRegionOperation(*this, xs, ys, n, greyRows);
    return fx::runRegionOperation(*this, xs, ys, n, [factor](const cv::Mat& src, cv::Mat& dst) {
        for (int y = 0; y < src.rows; ++y) {
            const uchar* s = src.ptr<uchar>(y);
            uchar* d = dst.ptr<uchar>(y);
            for (int x = 0; x < src.cols; ++x, s += 4, d += 4) {
                const int bl = s[0], gr = s[1], rd = s[2];
                const int grey = (29 * bl + 150 * gr + 77 * rd + 128) >> 8;
                auto scale = [&](int ch) {
                    const int t = (ch - grey) * factor;
                    return uchar(fx::clampByte(grey + (t >= 0 ? t + 50 : t - 50) / 100));
                };
                d[0] = scale(bl);
                d[1] = scale(gr);
                d[2] = scale(rd);
                d[3] = 255;
            }
        }
    });
}

} // namespace gf5
