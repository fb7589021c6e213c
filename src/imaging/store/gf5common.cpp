#include "gf5common.h"
#include "imagestore.h"
#include <algorithm>
#include <cmath>
#include <limits>

namespace gf5 {

namespace {
constexpr double kInchesPerMetre = 1.0 / 0.0254;
int dpiFromDpm(int dpm) { return int(std::lround(dpm * 0.0254)); }
// Dots per metre as the image keeps them (a 32-bit number, which is also
// what a BMP file holds): a resolution beyond it is kept at the largest.
int dpmFromDpi(int32_t dpi)
{
    return int(std::min<double>(std::lround(dpi * kInchesPerMetre), std::numeric_limits<int>::max()));
}
}

void Gf5Common::FreeImage() { ImageStore::release(ImageHandle); }

int32_t Gf5Common::IsValid() const
{
    const QImage* img = ImageStore::image(ImageHandle);
    return img && !img->isNull() && img->width() > 0 && img->height() > 0 ? 1 : 0;
}

int32_t Gf5Common::ImageWidth() const
{
    const QImage* img = ImageStore::image(ImageHandle);
    return img ? img->width() : 0;
}

int32_t Gf5Common::ImageHeight() const
{
    const QImage* img = ImageStore::image(ImageHandle);
    return img ? img->height() : 0;
}

int16_t Gf5Common::BitDepth() const
{
    const StoredImage* s = ImageStore::get(ImageHandle);
    return s ? int16_t(s->bitDepth) : 0;
}

void Gf5Common::setResolutionX(int32_t dpi)
{
    if (QImage* img = ImageStore::image(ImageHandle); img && dpi > 0)
        img->setDotsPerMeterX(dpmFromDpi(dpi));
}

void Gf5Common::setResolutionY(int32_t dpi)
{
    if (QImage* img = ImageStore::image(ImageHandle); img && dpi > 0)
        img->setDotsPerMeterY(dpmFromDpi(dpi));
}

int32_t Gf5Common::ResolutionX() const
{
    const QImage* img = ImageStore::image(ImageHandle);
    return img ? dpiFromDpm(img->dotsPerMeterX()) : 0;
}

int32_t Gf5Common::ResolutionY() const
{
    const QImage* img = ImageStore::image(ImageHandle);
    return img ? dpiFromDpm(img->dotsPerMeterY()) : 0;
}

int32_t Gf5Common::UpdateImageInfo() const { return IsValid(); }

} // namespace gf5
