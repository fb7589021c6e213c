#include "floorplan/underlay_pass.h"
#include "floorplan/underlay_rules.h"
#include <opencv2/core/utility.hpp>
#include <algorithm>
#include <cstring>

namespace floorplan {

namespace {

constexpr quint32 kOpaque = 0xFF000000u;

// markUnderlayPixel without a branch, so that the row loop vectorises.
inline quint32 marked(quint32 p)
{
    const quint32 r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    const quint32 nb = b < 255 ? b + 1 : 254;
    return (r == g && g == b) ? ((p & ~0xFFu) | nb | kOpaque) : p;
}

// removeUnderlayPixel without a branch.
inline quint32 removed(quint32 p)
{
    const quint32 r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return (r == g && g == b) ? p : 0xFFFFFFFFu;
}

// rowFn(from, to, y) over rows [top, bottom], reading source's row and
// writing target's (the same row when both are one image), in bands;
// progress between bands on the calling thread.
template <class RowFn>
void overRows(const QImage& source, QImage& target, int top, int bottom, const RowProgress& progress, RowFn rowFn)
{
    uchar* const to = target.bits();
    const uchar* const from = &source == &target ? to : source.constBits();
    const qsizetype fromStride = source.bytesPerLine(), toStride = target.bytesPerLine();
    const int band = std::max(64, (bottom - top + 1 + 31) / 32);
    for (int y0 = top; y0 <= bottom; y0 += band) {
        const int y1 = std::min(bottom + 1, y0 + band);
        cv::parallel_for_(cv::Range(y0, y1), [&](const cv::Range& rows) {
            for (int y = rows.start; y < rows.end; ++y)
                rowFn(reinterpret_cast<const quint32*>(from + y * fromStride),
                      reinterpret_cast<quint32*>(to + y * toStride), y);
        });
        if (progress)
            progress(y1 - 1);
    }
}

// RGB32 pictures of one size, target's pixels to be had for writing (source
// is only read, so a picture shared with another holder is not copied).
bool fit(const QImage& source, QImage& target)
{
    return source.format() == QImage::Format_RGB32 && target.format() == QImage::Format_RGB32 &&
           source.size() == target.size() && target.bits() != nullptr && source.constBits() != nullptr;
}

} // namespace

bool makeUnderlay(QImage& image, const uchar greenCurve[256], const QRect& markArea, const RowProgress& progress)
{
    return makeUnderlay(image, image, greenCurve, markArea, progress);
}

bool makeUnderlay(const QImage& source, QImage& target, const uchar greenCurve[256], const QRect& markArea,
                  const RowProgress& progress)
{
    if (!fit(source, target))
        return false;
    quint32 green[256];
    for (int v = 0; v < 256; ++v)
        green[v] = quint32(greenCurve[v]) << 8;
    const QRect area = markArea.intersected(source.rect());
    const int w = source.width();
    overRows(source, target, 0, source.height() - 1, progress, [&](const quint32* in, quint32* out, int y) {
        const bool marking = !area.isEmpty() && y >= area.top() && y <= area.bottom();
        const int from = marking ? area.left() : w, to = marking ? area.right() + 1 : w;
        auto curve = [&](quint32 p) { return (p & 0x00FF00FFu) | green[(p >> 8) & 0xFF] | kOpaque; };
        for (int x = 0; x < from; ++x)
            out[x] = curve(in[x]);
        for (int x = from; x < to; ++x)
            out[x] = marked(curve(in[x]));
        for (int x = to; x < w; ++x)
            out[x] = curve(in[x]);
    });
    return true;
}

bool removeUnderlay(QImage& image, const QRect& area, const RowProgress& progress)
{
    return removeUnderlay(image, image, area, progress);
}

bool removeUnderlay(const QImage& source, QImage& target, const QRect& area, const RowProgress& progress)
{
    if (!fit(source, target))
        return false;
    const QRect a = area.intersected(source.rect());
    const bool inPlace = &source == &target;
    if (inPlace && a.isEmpty())
        return true;
    // In place only the area's rows are visited; into another image every
    // row is, the rest copied as it is.
    const int top = inPlace ? a.top() : 0, bottom = inPlace ? a.bottom() : source.height() - 1;
    const size_t rowBytes = size_t(source.width()) * 4;
    overRows(source, target, top, bottom, progress, [&](const quint32* in, quint32* out, int y) {
        if (a.isEmpty() || y < a.top() || y > a.bottom()) {
            std::memcpy(out, in, rowBytes);
            return;
        }
        if (!inPlace) {
            std::memcpy(out, in, size_t(a.left()) * 4);
            std::memcpy(out + a.right() + 1, in + a.right() + 1, size_t(source.width() - a.right() - 1) * 4);
        }
        for (int x = a.left(); x <= a.right(); ++x)
            out[x] = removed(in[x]);
    });
    return true;
}

} // namespace floorplan
