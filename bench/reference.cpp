#include "reference.h"
#include "imaging/effects/effectcore.h"
#include <algorithm>
#include <cstring>
#include <opencv2/core.hpp>

namespace bench::ref {

Outcome copyBytes(const QImage& src, QImage& dst)
{
    if (src.size() != dst.size() || src.format() != dst.format() || src.sizeInBytes() != dst.sizeInBytes())
        return {};
    std::memcpy(dst.bits(), src.constBits(), size_t(src.sizeInBytes()));
    return Outcome{true, 0};
}

cv::Mat curveTable(const int32_t* in, const int32_t* out, int count)
{
    cv::Mat table(1, 256, CV_8UC1);
    for (int v = 0; v < 256; ++v) {
        int i = 0;
        while (i + 2 < count && v > in[i + 1])
            ++i;
        const int x0 = in[i], x1 = in[std::min(i + 1, count - 1)];
        const int y0 = out[i], y1 = out[std::min(i + 1, count - 1)];
        const int y = x1 == x0 ? y0 : y0 + (y1 - y0) * (v - x0) / (x1 - x0);
        table.at<uchar>(v) = uchar(std::clamp(y, 0, 255));
    }
    return table;
}

Outcome lutInPlace(QImage& img, const cv::Mat& table)
{
    cv::Mat bytes = gf5::fx::viewOf(img).reshape(1);
    cv::LUT(bytes, table, bytes);
    return Outcome{true, 0};
}

Outcome qtSmooth(const QImage& src, QSize size)
{
    const QImage out = src.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return Outcome{out.size() == size, 0};
}

} // namespace bench::ref
