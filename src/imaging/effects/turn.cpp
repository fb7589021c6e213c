#include "imaging/effects/turn.h"
#include "imaging/effects/effectcore.h"
#include <opencv2/imgproc.hpp>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace gf5 {

namespace {
int cvInterpolation(Resampling how)
{
    switch (how) {
    case Resampling::Linear: return cv::INTER_LINEAR;
    case Resampling::Cubic: return cv::INTER_CUBIC;
    case Resampling::Lanczos: return cv::INTER_LANCZOS4;
    }
    return cv::INTER_CUBIC;
}
} // namespace

QImage turnKeepingSize(const QImage& src, double degrees, QRgb fill, Resampling how, const TurnProgress& progress)
{
    const QImage in = fx::toRgb32(src);
    if (in.isNull())
        return {};
    QImage out = fx::allocate(in.width(), in.height(), QImage::Format_RGB32);
    if (out.isNull())
        return {};
    fx::keepMetadata(in, out);
    // Inverse map (output pixel -> source position) of a counter-clockwise
    // turn on screen (y grows downwards) about the centre.
    const double theta = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(theta), s = std::sin(theta);
    const double cx = (in.width() - 1) / 2.0, cy = (in.height() - 1) / 2.0;
    const cv::Matx23d inverse(c, -s, cx - c * cx + s * cy, s, c, cy - s * cx - c * cy);
    const cv::Scalar fillColour(qBlue(fill), qGreen(fill), qRed(fill), 255);
    const cv::Mat srcMat = fx::constViewOf(in);
    cv::Mat dst = fx::viewOf(out);
    const int rows = fx::bandRows(out.height());
    for (int y = 0; y < out.height(); y += rows) {
        const int bandH = std::min(rows, out.height() - y);
        cv::Matx23d band = inverse;
        band(0, 2) += band(0, 1) * y;
        band(1, 2) += band(1, 1) * y;
        cv::Mat part = dst(cv::Rect(0, y, out.width(), bandH));
        cv::warpAffine(srcMat, part, band, part.size(), cvInterpolation(how) | cv::WARP_INVERSE_MAP,
                       cv::BORDER_CONSTANT, fillColour);
        if (progress && !progress(y + bandH, out.height()))
            return {};
    }
    return out;
}

} // namespace gf5
