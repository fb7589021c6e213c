#include "canvas/barrier_fill.h"
#include "canvas/floodfill.h"
#include <opencv2/imgproc.hpp>

namespace canvas {

namespace {

struct SavedPixel {
    int x, y;
    QRgb value;
};

// The image pixels a polygon covers, found on a mask of its bounding box only.
void pixelsUnder(const QPolygonF& poly, const QRect& bounds, std::vector<QPoint>& out)
{
    const QRect box = poly.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1) & bounds;
    if (box.isEmpty())
        return;
    cv::Mat mask = cv::Mat::zeros(box.height(), box.width(), CV_8UC1);
    std::vector<cv::Point> pts;
    pts.reserve(size_t(poly.size()));
    // Pixel centres lie at +0.5: shift so that a pixel is inside when its
    // centre is, and keep a fraction for a thin band's exact edges.
    constexpr int kShift = 4;
    for (const QPointF& p : poly)
        pts.emplace_back(int(std::lround((p.x() - 0.5 - box.left()) * (1 << kShift))),
                         int(std::lround((p.y() - 0.5 - box.top()) * (1 << kShift))));
    cv::fillConvexPoly(mask, pts, cv::Scalar(255), cv::LINE_8, kShift);
    for (int y = 0; y < mask.rows; ++y) {
        const uchar* row = mask.ptr<uchar>(y);
        for (int x = 0; x < mask.cols; ++x)
            if (row[x])
                out.emplace_back(box.left() + x, box.top() + y);
    }
}

} // namespace

QRect floodFillToBlackWithin(QImage& img, QPoint seed, QRgb fill, const std::vector<QPolygonF>& barriers)
{
    if (img.isNull() || !img.rect().contains(seed) || img.bits() == nullptr ||
        (img.format() != QImage::Format_RGB32 && img.format() != QImage::Format_ARGB32))
        return floodFillToBlack(img, seed, fill);

    std::vector<SavedPixel> saved;
    std::vector<QPoint> under;
    for (const QPolygonF& band : barriers) {
        under.clear();
        pixelsUnder(band, img.rect(), under);
        if (std::find(under.begin(), under.end(), seed) != under.end())
            continue;
        for (const QPoint& p : under) {
            QRgb* px = reinterpret_cast<QRgb*>(img.scanLine(p.y())) + p.x();
            if ((*px & 0xFFFFFFu) == 0)
                continue; // already ink
            saved.push_back({p.x(), p.y(), *px});
            *px &= 0xFF000000u;
        }
    }
    const QRect changed = floodFillToBlack(img, seed, fill);
    // Undo the bands; they were black during the fill, so nothing under
    // them was filled and they go back exactly as they were.
    for (const SavedPixel& s : saved)
        reinterpret_cast<QRgb*>(img.scanLine(s.y))[s.x] = s.value;
    return changed;
}

} // namespace canvas
