#pragma once
// Queries on one stored image, and its release.
#include <cstdint>

namespace gf5 {

class Gf5Common {
public:
    int32_t ImageHandle = 0;

    void FreeImage();
    int32_t IsValid() const;
    int32_t ImageWidth() const;
    int32_t ImageHeight() const;
    int16_t BitDepth() const;
    // Dots per inch recorded in the image (written into the image itself).
    void setResolutionX(int32_t dpi);
    void setResolutionY(int32_t dpi);
    int32_t ResolutionX() const;
    int32_t ResolutionY() const;
    int32_t UpdateImageInfo() const;
};

} // namespace gf5
