// Speck removal for scanned line drawings.
//
// Ink is every pixel darker than kInkLevel. A speck is a group of touching
// ink pixels (8-connected) whose bounding box is at most `extent` pixels wide
// and high and that has no other ink within kGap pixels around that box. Each
// speck pixel moves towards the average colour of the paper around the speck
// by `strength` percent. Lines survive because any line longer than the
// extent is too big to be a speck, and the dots of a dotted line (two pixel
// gaps) are not isolated; a median filter, by contrast, eats one-pixel lines.
#include "imaging/effects/effectcore.h"
#include <opencv2/imgproc.hpp>
#include <algorithm>

namespace gf5 {

namespace {
constexpr int kInkLevel = 160; // luminance below this counts as ink
constexpr int kGap = 3;        // clear paper needed around a speck
constexpr int kDefaultExtent = 3;
} // namespace

// a: largest speck width and height in pixels (0 = 3). b: strength in
// percent (0 or beyond 100 = 100, full removal).
int32_t Gf5Effect::Denoise(const int32_t* xs, const int32_t* ys, int n, int16_t a, int16_t b)
{
    CancelRequested = false;
    const QImage src = fx::sourceRgb32(SourceImage);
    if (src.isNull())
        return 0;
    const int extent = a > 0 ? std::min<int>(a, 64) : kDefaultExtent;
    const int strength = b > 0 && b <= 100 ? b : 100;
    const fx::Region reg = fx::makeRegion(*this, xs, ys, n, src.width(), src.height());
    QImage result = src.copy();
    if (result.isNull())
        return 0;
    fx::ProgressSteps steps(*this);
    if (reg.bounds.isEmpty())
        return steps.at(100) ? fx::storeResult(*this, std::move(result)) : 0;

    // Work on the bounds plus a margin wide enough to see whole specks and
    // their surroundings; only pixels inside the region are written.
    const int margin = extent + kGap + 1;
    const QRect work = reg.bounds.adjusted(-margin, -margin, margin, margin) & src.rect();
    const cv::Rect workRect(work.x(), work.y(), work.width(), work.height());
    const cv::Mat s = fx::constViewOf(src)(workRect);
    cv::Mat ink(work.height(), work.width(), CV_8UC1);
    const int rows = fx::bandRows(work.height());
    for (int y = 0; y < work.height(); y += rows) {
        const int h = std::min(rows, work.height() - y);
        for (int yy = y; yy < y + h; ++yy) {
            const uchar* p = s.ptr<uchar>(yy);
            uchar* q = ink.ptr<uchar>(yy);
            for (int x = 0; x < work.width(); ++x, p += 4)
                q[x] = ((29 * p[0] + 150 * p[1] + 77 * p[2] + 128) >> 8) < kInkLevel ? 255 : 0;
        }
        if (!steps.step(y + h, qint64(work.height()) * 5 / 2))
            return 0;
    }

    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(ink, labels, stats, centroids, 8, CV_32S);
    ink.release();
    centroids.release();
    if (!steps.at(50))
        return 0;

    cv::Mat d = fx::viewOf(result)(workRect);
    const QRect boundsInWork = reg.bounds.translated(-work.topLeft());
    const QRect workLocal(0, 0, work.width(), work.height());
    fx::ProgressSteps late(*this, 50, 99);
    for (int label = 1; label < count; ++label) {
        if (label % 4096 == 0 && !late.step(label, count))
            return 0;
        const int* st = stats.ptr<int>(label);
        const QRect box(st[cv::CC_STAT_LEFT], st[cv::CC_STAT_TOP], st[cv::CC_STAT_WIDTH], st[cv::CC_STAT_HEIGHT]);
        if (box.width() > extent || box.height() > extent || !box.intersects(boundsInWork))
            continue;
        // Isolated: no other label near the box.
        const QRect around = box.adjusted(-kGap, -kGap, kGap, kGap) & workLocal;
        bool isolated = true;
        for (int y = around.top(); y <= around.bottom() && isolated; ++y) {
            const int* l = labels.ptr<int>(y);
            for (int x = around.left(); x <= around.right(); ++x)
                if (l[x] != 0 && l[x] != label) {
                    isolated = false;
                    break;
                }
        }
        if (!isolated)
            continue;
        // Paper colour: the average of the non-ink pixels next to the speck.
        const QRect ring = box.adjusted(-1, -1, 1, 1) & workLocal;
        int sum[3] = {0, 0, 0}, paper = 0;
        for (int y = ring.top(); y <= ring.bottom(); ++y) {
            const int* l = labels.ptr<int>(y);
            const uchar* p = s.ptr<uchar>(y);
            for (int x = ring.left(); x <= ring.right(); ++x)
                if (l[x] == 0) {
                    sum[0] += p[4 * x];
                    sum[1] += p[4 * x + 1];
                    sum[2] += p[4 * x + 2];
                    ++paper;
                }
        }
        if (paper == 0)
            continue;
        int fill[3];
        for (int c = 0; c < 3; ++c)
            fill[c] = (sum[c] + paper / 2) / paper;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            const int* l = labels.ptr<int>(y);
            const uchar* p = s.ptr<uchar>(y);
            uchar* q = d.ptr<uchar>(y);
            const int imageY = y + work.top();
            for (int x = box.left(); x <= box.right(); ++x) {
                if (l[x] != label || !boundsInWork.contains(x, y))
                    continue;
                if (!reg.mask.empty() &&
                    !reg.mask.at<uchar>(imageY - reg.bounds.top(), x + work.left() - reg.bounds.left()))
                    continue;
                for (int c = 0; c < 3; ++c)
                    q[4 * x + c] = uchar(p[4 * x + c] + (fill[c] - p[4 * x + c]) * strength / 100);
            }
        }
    }
    if (!steps.at(100))
        return 0;
    return fx::storeResult(*this, std::move(result));
}

} // namespace gf5
