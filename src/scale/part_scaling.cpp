#include "part_scaling.h"
#include "resolution_rules.h"
#include <algorithm>
#include <cmath>

namespace scale {

namespace {
bool blackAndWhiteOnly(const QImage& rgb)
{
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = row[x] & 0xFFFFFF;
            if (c != 0 && c != 0xFFFFFF)
                return false;
        }
    }
    return true;
}

// Every pixel to pure black or pure white. Enlarged, a pixel is black when
// it is more black than white, so lines grow by the factor and no more.
// Shrunk, a one-pixel line falling across two result pixels leaves each of
// them only about factor / 2 dark; the threshold keeps such a line.
void toBlackAndWhite(QImage& rgb, double factor)
{
    const int threshold = factor >= 1 ? 128 : std::min(250, int(255 * (1 - factor / 2)) + 8);
    for (int y = 0; y < rgb.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(rgb.scanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            row[x] = qGray(row[x]) < threshold ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    }
}
} // namespace

QSize scaledPartSize(const QSize& part, double factor)
{
    if (!(factor > 0) || !std::isfinite(factor))
        return part;
    return QSize(std::max(1, int(std::lround(part.width() * factor))),
                 std::max(1, int(std::lround(part.height() * factor))));
}

QImage scalePart(const QImage& part, double factor, double dpi)
{
    const QSize size = scaledPartSize(part.size(), factor);
    if (part.isNull() || size == part.size())
        return part;
    const bool keepsAlpha = part.hasAlphaChannel();
    const QImage rgb = part.convertToFormat(keepsAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (rgb.isNull())
        return {};
    const bool twoLevel = !keepsAlpha && blackAndWhiteOnly(rgb);
    QImage out = rgb.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (out.isNull())
        return {};
    if (twoLevel)
        toBlackAndWhite(out, factor);
    const int dpm = dotsPerMetre(dpi);
    if (dpm > 0) {
        out.setDotsPerMeterX(dpm);
        out.setDotsPerMeterY(dpm);
    }
    return out;
}

} // namespace scale
