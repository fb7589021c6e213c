// Overlay with a colour key: one image laid over another, key colours left out.
#include "imaging/effects/effectcore.h"
#include <algorithm>

namespace gf5 {

// keyR..keyB and keyR2..keyB2 bound each channel's key range (either order);
// opacity 255 copies the overlay, lower values mix it with the base.
int32_t Gf5Effect::OverlayWithKey(int32_t base, int32_t overlay, int16_t keyR, int16_t keyG, int16_t keyB,
                                  int16_t keyR2, int16_t keyG2, int16_t keyB2, int16_t opacity, int32_t left,
                                  int32_t top, int32_t option)
{
    CancelRequested = false;
    const QImage under = fx::sourceRgb32(base);
    const QImage over = fx::sourceRgb32(overlay);
    if (under.isNull() || over.isNull())
        return 0;
    QImage result = under.copy();
    if (result.isNull())
        return 0;

    // Placement clipped to the base, computed wide so far-off positions
    // cannot overflow.
    const qint64 x0 = std::max<qint64>(left, 0), y0 = std::max<qint64>(top, 0);
    const qint64 x1 = std::min<qint64>(qint64(left) + over.width(), result.width());
    const qint64 y1 = std::min<qint64>(qint64(top) + over.height(), result.height());
    // Key bounds in B, G, R order, the order of the pixel bytes.
    const int lo[3] = {std::clamp<int>(std::min(keyB, keyB2), 0, 255), std::clamp<int>(std::min(keyG, keyG2), 0, 255),
                       std::clamp<int>(std::min(keyR, keyR2), 0, 255)};
    const int hi[3] = {std::clamp<int>(std::max(keyB, keyB2), 0, 255), std::clamp<int>(std::max(keyG, keyG2), 0, 255),
                       std::clamp<int>(std::max(keyR, keyR2), 0, 255)};
    const int alpha = std::clamp<int>(opacity, 0, 255);

    fx::ProgressSteps steps(*this);
    if (x1 > x0 && y1 > y0) {
        const cv::Mat o = fx::constViewOf(over);
        cv::Mat d = fx::viewOf(result);
        const int ox = int(x0 - left), oy = int(y0 - top);
        const int width = int(x1 - x0), height = int(y1 - y0);
        for (int y = 0; y < height; ++y) {
            const uchar* s = o.ptr<uchar>(oy + y) + 4 * ox;
            uchar* p = d.ptr<uchar>(int(y0) + y) + 4 * x0;
            for (int x = 0; x < width; ++x, s += 4, p += 4) {
                if (s[0] >= lo[0] && s[0] <= hi[0] && s[1] >= lo[1] && s[1] <= hi[1] && s[2] >= lo[2] && s[2] <= hi[2])
                    continue;
                if (alpha == 255) {
                    p[0] = s[0];
                    p[1] = s[1];
                    p[2] = s[2];
                } else {
                    for (int c = 0; c < 3; ++c)
                        p[c] = uchar((s[c] * alpha + p[c] * (255 - alpha) + 127) / 255);
                }
            }
            if ((y & 255) == 255 && !steps.step(y, height))
                return 0;
        }
    }
    if (!steps.at(100))
        return 0;
    return fx::storeResult(*this, std::move(result));
}

} // namespace gf5
