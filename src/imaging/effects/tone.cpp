// Tone operations: brightness, tone curve and colour saturation. Each maps
// every pixel on its own, so they run band by band over the region.
#include "imaging/effects/effectcore.h"
#include "imaging/effects/tonerows.h"
#include <opencv2/core/utility.hpp>
#include <algorithm>
#include <cmath>
#include <vector>

namespace gf5 {

namespace {

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

namespace fx {

void curveMap(const int32_t* in, const int32_t* out, int count, uchar curve[256])
{
    // Points in order of input level; levels outside the first and last
    // input keep the end outputs.
    std::vector<std::pair<double, double>> pts;
    pts.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        pts.emplace_back(double(in[i]), double(out[i]));
    std::stable_sort(pts.begin(), pts.end(), [](const auto& p, const auto& q) { return p.first < q.first; });

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
}

} // namespace fx

int32_t Gf5Effect::Brightness(const int32_t* xs, const int32_t* ys, int n, int32_t a, int32_t b, int32_t c)
{
    const fx::ToneMaps maps = fx::shiftMaps(std::clamp(a, -255, 255));
    return fx::runPointOperation(*this, xs, ys, n,
                                 [&](const cv::Mat& src, cv::Mat& dst) { fx::applyToneMaps(maps, src, dst); });
}

int32_t Gf5Effect::ToneCurve(const int32_t* xs, const int32_t* ys, int n, const int32_t* in,
                             const int32_t* out, int count, int32_t r, int32_t g, int32_t b)
{
    if (!in || !out || count < 1)
        return 0;
    uchar curve[256];
    fx::curveMap(in, out, count, curve);
    fx::ToneMaps maps;
    for (int v = 0; v < 256; ++v) {
        maps.blue[v] = b ? curve[v] : uchar(v);
        maps.green[v] = g ? curve[v] : uchar(v);
        maps.red[v] = r ? curve[v] : uchar(v);
    }
    return fx::runPointOperation(*this, xs, ys, n,
                                 [&](const cv::Mat& src, cv::Mat& dst) { fx::applyToneMaps(maps, src, dst); });
}

int32_t Gf5Effect::Saturation(const int32_t* xs, const int32_t* ys, int n, int32_t amount)
{
    // Each channel's distance from the pixel's luminance is scaled by
    // (100 + amount) / 100: -100 leaves exact grey (r = g = b).
    const int factor = 100 + std::clamp(amount, -100, 400);
    if (factor == 0)
        return fx::runPointOperation(*this, xs, ys, n, greyRows);
    return fx::runPointOperation(*this, xs, ys, n, [factor](const cv::Mat& src, cv::Mat& dst) {
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
