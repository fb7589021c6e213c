#include "floorplan/underlay_pass.h"
#include "floorplan/underlay_rules.h"
#include <opencv2/core/utility.hpp>
#include <algorithm>

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

// rowFn(row, y) over rows [top, bottom] of image in bands; progress between
// bands on the calling thread.
template <class RowFn>
void overRows(QImage& image, int top, int bottom, const RowProgress& progress, RowFn rowFn)
{
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int band = std::max(64, (bottom - top + 1 + 31) / 32);
    for (int y0 = top; y0 <= bottom; y0 += band) {
        const int y1 = std::min(bottom + 1, y0 + band);
        cv::parallel_for_(cv::Range(y0, y1), [&](const cv::Range& rows) {
            for (int y = rows.start; y < rows.end; ++y)
                rowFn(reinterpret_cast<quint32*>(bits + y * stride), y);
        });
        if (progress)
            progress(y1 - 1);
    }
}

bool writable(QImage& image) { return image.format() == QImage::Format_RGB32 && image.bits() != nullptr; }

} // namespace

bool makeUnderlay(QImage& image, const uchar greenCurve[256], const QRect& markArea, const RowProgress& progress)
{
    if (!writable(image))
        return false;
    quint32 green[256];
    for (int v = 0; v < 256; ++v)
        green[v] = quint32(greenCurve[v]) << 8;
    const QRect area = markArea.intersected(image.rect());
    const int w = image.width();
    overRows(image, 0, image.height() - 1, progress, [&](quint32* row, int y) {
        const bool marking = !area.isEmpty() && y >= area.top() && y <= area.bottom();
        const int from = marking ? area.left() : w, to = marking ? area.right() + 1 : w;
        auto curve = [&](quint32 p) { return (p & 0x00FF00FFu) | green[(p >> 8) & 0xFF] | kOpaque; };
        for (int x = 0; x < from; ++x)
            row[x] = curve(row[x]);
        for (int x = from; x < to; ++x)
            row[x] = marked(curve(row[x]));
        for (int x = to; x < w; ++x)
            row[x] = curve(row[x]);
    });
    return true;
}

bool removeUnderlay(QImage& image, const QRect& area, const RowProgress& progress)
{
    const QRect a = area.intersected(image.rect());
    if (!writable(image))
        return false;
    if (a.isEmpty())
        return true;
    overRows(image, a.top(), a.bottom(), progress, [&](quint32* row, int) {
        for (int x = a.left(); x <= a.right(); ++x)
            row[x] = removed(row[x]);
    });
    return true;
}

} // namespace floorplan
