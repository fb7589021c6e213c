// Automatic straightening of a skewed scan on the canvas.
#include "imaging/effects/skew.h"
#include "imaging/store/imagestore.h"
#include "shell/form1.h"
#include <cmath>

namespace {
// Below this a turn would only soften the lines.
constexpr double kSmallestSkewDegrees = 0.05;
}

void Form1::mnuEditDeskew_Click()
{
    const QImage* image = gf5::ImageStore::image(Gf5Disp1->ImageHandle());
    if (!image)
        return;
    const std::optional<double> skew = gf5::measureSkew(*image);
    if (!skew || std::abs(*skew) < kSmallestSkewDegrees)
        return;
    turnCanvasKeepingSize(-int32_t(std::lround(*skew * 100)));
}
