// The passes behind the tone maps. All of them run at about memory speed on
// large images: the byte arithmetic in SIMD registers, the table passes
// skipping runs of white paper (which the usual maps keep white) without a
// lookup.
#include "imaging/effects/tonerows.h"
#include <opencv2/core/utility.hpp>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gf5::fx {

namespace {

constexpr quint32 kOpaque = 0xFF000000u;
constexpr quint32 kWhite = 0xFFFFFFFFu;

bool isIdentity(const uchar* map)
{
    for (int v = 0; v < 256; ++v)
        if (map[v] != v)
            return false;
    return true;
}

// The amount every channel is shifted by when the three maps are one and the
// same clamp(v + k); false otherwise.
bool commonShift(const ToneMaps& m, int& k)
{
    if (std::memcmp(m.blue, m.green, 256) != 0 || std::memcmp(m.blue, m.red, 256) != 0)
        return false;
    // A shift up lifts 0, a shift down lowers 255.
    const int shift = m.blue[0] > 0 ? int(m.blue[0]) : int(m.blue[255]) - 255;
    const ToneMaps s = shiftMaps(shift);
    if (std::memcmp(s.blue, m.blue, 256) != 0)
        return false;
    k = shift;
    return true;
}

// Every channel plus k (-255..255) with saturation; alpha opaque.
void shiftRow(const quint32* s, quint32* d, int cols, int k)
{
    int x = 0;
#if defined(__SSE2__)
    const quint32 amount = quint32(k > 0 ? k : -k) * 0x010101u;
    // Adding 255 to alpha saturates it to opaque; subtracting leaves it and
    // the or below makes it opaque.
    const __m128i add = _mm_set1_epi32(int(k > 0 ? amount | kOpaque : kOpaque));
    const __m128i sub = _mm_set1_epi32(int(k < 0 ? amount : 0));
    for (; x + 4 <= cols; x += 4) {
        __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x));
        p = _mm_subs_epu8(_mm_adds_epu8(p, add), sub);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), _mm_or_si128(p, _mm_set1_epi32(int(kOpaque))));
    }
#endif
    for (; x < cols; ++x) {
        const quint32 p = s[x];
        quint32 out = kOpaque;
        for (int shift = 0; shift < 24; shift += 8) {
            const int v = int((p >> shift) & 0xFF) + k;
            out |= quint32(v < 0 ? 0 : (v > 255 ? 255 : v)) << shift;
        }
        d[x] = out;
    }
}

// Pixels in blocks of eight: a block of white paper that the maps keep white
// is passed through (left alone in place), the rest looked up pixel by pixel.
template <class Lookup>
void tableRow(const quint32* s, quint32* d, int cols, bool whiteStays, Lookup lookup)
{
    const bool inPlace = s == d;
    int x = 0;
    if (whiteStays) {
        for (; x + 8 <= cols; x += 8) {
            quint32 all = kWhite;
            for (int i = 0; i < 8; ++i)
                all &= s[x + i];
            if (all == kWhite) {
                if (!inPlace)
                    std::memcpy(d + x, s + x, 8 * sizeof(quint32));
                continue;
            }
            for (int i = 0; i < 8; ++i)
                d[x + i] = lookup(s[x + i]);
        }
    }
    for (; x < cols; ++x)
        d[x] = lookup(s[x]);
}

template <class RowFn>
void forRows(const cv::Mat& src, cv::Mat& dst, RowFn row)
{
    cv::parallel_for_(cv::Range(0, src.rows), [&](const cv::Range& rows) {
        for (int y = rows.start; y < rows.end; ++y)
            row(src.ptr<quint32>(y), dst.ptr<quint32>(y), src.cols);
    });
}

} // namespace

ToneMaps shiftMaps(int delta)
{
    ToneMaps m;
    for (int v = 0; v < 256; ++v) {
        const int out = v + delta;
        m.blue[v] = m.green[v] = m.red[v] = uchar(out < 0 ? 0 : (out > 255 ? 255 : out));
    }
    return m;
}

void applyToneMaps(const ToneMaps& maps, const cv::Mat& src, cv::Mat& dst)
{
    CV_Assert(src.type() == CV_8UC4 && dst.type() == CV_8UC4 && src.size() == dst.size());
    const bool keepB = isIdentity(maps.blue), keepG = isIdentity(maps.green), keepR = isIdentity(maps.red);
    int k = 0;
    if ((keepB && keepG && keepR) || commonShift(maps, k)) {
        forRows(src, dst, [k](const quint32* s, quint32* d, int cols) { shiftRow(s, d, cols, k); });
        return;
    }
    const bool whiteStays = maps.blue[255] == 255 && maps.green[255] == 255 && maps.red[255] == 255;
    const int changed = int(!keepB) + int(!keepG) + int(!keepR);
    if (changed == 1) {
        // One channel through its table, the others as they are.
        const int shift = keepB ? (keepG ? 16 : 8) : 0;
        const uchar* map = shift == 0 ? maps.blue : (shift == 8 ? maps.green : maps.red);
        quint32 table[256];
        for (int v = 0; v < 256; ++v)
            table[v] = quint32(map[v]) << shift;
        const quint32 keep = ~(0xFFu << shift) | kOpaque;
        forRows(src, dst, [&](const quint32* s, quint32* d, int cols) {
            tableRow(s, d, cols, whiteStays,
                     [&](quint32 p) { return (p & keep) | kOpaque | table[(p >> shift) & 0xFF]; });
        });
        return;
    }
    // One table per channel, each entry already at its place in the pixel.
    quint32 blue[256], green[256], red[256];
    for (int v = 0; v < 256; ++v) {
        blue[v] = maps.blue[v];
        green[v] = quint32(maps.green[v]) << 8;
        red[v] = (quint32(maps.red[v]) << 16) | kOpaque;
    }
    forRows(src, dst, [&](const quint32* s, quint32* d, int cols) {
        tableRow(s, d, cols, whiteStays,
                 [&](quint32 p) { return blue[p & 0xFF] | green[(p >> 8) & 0xFF] | red[(p >> 16) & 0xFF]; });
    });
}

} // namespace gf5::fx
