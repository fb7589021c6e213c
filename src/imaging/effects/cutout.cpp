// Cut-out: the polygon's bounding rectangle as a new image.
#include "imaging/effects/effectcore.h"

namespace gf5 {

int32_t Gf5Effect::CutOutRegion(const int32_t* xs, const int32_t* ys, int n, int16_t r, int16_t g, int16_t b)
{
    CancelRequested = false;
    AuxImage = 0;
    const QImage src = fx::sourceRgb32(SourceImage);
    if (src.isNull())
        return 0;
    const fx::Region reg = fx::makeRegion(*this, xs, ys, n, src.width(), src.height());
    if (reg.bounds.isEmpty())
        return 0;
    QImage result = src.copy(reg.bounds);
    if (result.isNull())
        return 0;
    if (!reg.mask.empty()) {
        // Pixels of the bounding rectangle outside the polygon take the colour.
        cv::Mat d = fx::viewOf(result);
        cv::Mat outside;
        cv::bitwise_not(reg.mask, outside);
        d.setTo(cv::Scalar(fx::clampByte(b), fx::clampByte(g), fx::clampByte(r), 255), outside);
    }
    fx::keepMetadata(src, result);
    if (!progress(100))
        return 0;
    return fx::storeResult(*this, std::move(result));
}

} // namespace gf5
