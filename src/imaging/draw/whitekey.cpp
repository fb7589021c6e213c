#include "whitekey.h"

namespace gf5 {

QImage whiteKeyedScaled(const QImage& picture, const QSize& size)
{
    if (picture.isNull() || size.isEmpty())
        return {};
    QImage keyed = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (keyed.isNull())
        return {};
    for (int y = 0; y < keyed.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            row[x] = (row[x] & 0xFFFFFF) == 0xFFFFFF ? 0 : (row[x] | 0xFF000000u);
    }
    if (keyed.size() == size)
        return keyed;
    // Smooth scaling of premultiplied pixels mixes colour only in proportion
    // to coverage, so transparent paper adds no white to the lines' edges.
    return keyed.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace gf5
