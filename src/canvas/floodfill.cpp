#include "canvas/floodfill.h"
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

namespace canvas {

namespace {

bool usable(QImage& img, QPoint seed)
{
    if (img.isNull() || !img.rect().contains(seed))
        return false;
    if (img.format() != QImage::Format_RGB32 && img.format() != QImage::Format_ARGB32)
        return false;
    return img.bits() != nullptr; // a huge shared image may fail to detach
}

QRect toQRect(const cv::Rect& r) { return QRect(r.x, r.y, r.width, r.height); }

} // namespace

QRect floodFillToBlack(QImage& img, QPoint seed, QRgb fill)
{
    if (!usable(img, seed))
        return {};
    cv::Mat pixels(img.height(), img.width(), CV_8UC4, img.bits(), size_t(img.bytesPerLine()));
    // Map of the image: 255 on pure black (the barrier), 0 elsewhere. The
    // fourth byte is ignored, whatever the image keeps there.
    cv::Mat map;
    cv::inRange(pixels, cv::Scalar(0, 0, 0, 0), cv::Scalar(0, 0, 0, 255), map);
    if (map.at<uchar>(seed.y(), seed.x()) != 0)
        return {};
    cv::Rect box;
    cv::floodFill(map, cv::Point(seed.x(), seed.y()), cv::Scalar(128), &box, cv::Scalar(0), cv::Scalar(0), 4);
    // Only the filled box needs looking at.
    cv::Mat filled = map(box) == 128;
    pixels(box).setTo(cv::Scalar(qBlue(fill), qGreen(fill), qRed(fill), 255), filled);
    return toQRect(box);
}

QRect floodFillSameColour(QImage& img, QPoint seed, QRgb fill)
{
    if (!usable(img, seed))
        return {};
    // One int per pixel: an exact colour match needs no per-channel ranges.
    cv::Mat pixels(img.height(), img.width(), CV_32SC1, img.bits(), size_t(img.bytesPerLine()));
    const qint32 seedValue = pixels.at<qint32>(seed.y(), seed.x());
    const qint32 fillValue = qint32(fill | 0xFF000000u);
    if (seedValue == fillValue)
        return {}; // already that colour: nothing changes
    cv::Rect box;
    cv::floodFill(pixels, cv::Point(seed.x(), seed.y()), cv::Scalar(double(fillValue)), &box, cv::Scalar(0),
                  cv::Scalar(0), 4);
    return toQRect(box);
}

} // namespace canvas
