// Dust removal for scanned line drawings.
//
// Ink is every pixel darker than kInkLevel. Dust is a group of touching ink
// pixels (8-connected) whose bounding box is at most `extent` pixels wide and
// high and that has no other ink within `gap` pixels around that box; it
// takes the colour of the paper around it. Light holes of the same size
// whose surroundings are ink for `extent` pixels on every side take the
// colour of that ink. The extent follows the scan's resolution (about a
// quarter of a millimetre), so dust is judged by its real size.
//
// Lines survive because any line longer than the extent is too big to be
// dust, and the dots of a dotted line (or the dot of an "i", a dakuten next
// to its character) have other ink close by. Dots further apart stay when
// they form a row at an even pitch or sit between the dashes of a dash-dot
// line. A median filter, by contrast, eats one-pixel lines.
//
// A speck goes wholly: it and the grey fringe a scanner blurs around it take
// the paper's colour, so no faint ghost of it is left.
#include "imaging/effects/dotpattern.h"
#include "imaging/effects/effectcore.h"
#include <opencv2/imgproc.hpp>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace gf5 {

namespace {
constexpr int kInkLevel = 160;          // luminance below this counts as ink
constexpr double kDustMillimetres = 0.25; // largest dust, across
constexpr int kAssumedDpi = 300;        // for pictures that carry no scan resolution
constexpr int kMaxExtent = 64;
constexpr double kLineContextMm = 10.0; // what a dot's line is judged by lies this close
constexpr int kFringeStep = 12; // a fringe pixel is this much darker than the paper, at least

// The scan's resolution. Resolutions under 100 dpi are not a scanner's
// (96 dpi is what a picture without any gets): such pictures are taken as
// 300-dpi scans.
double scanDpi(const QImage& img)
{
    const double dpi = (img.dotsPerMeterX() + img.dotsPerMeterY()) / 2.0 * 0.0254;
    return dpi < 100 ? kAssumedDpi : dpi;
}

// Pixels across the largest dust at the image's resolution.
int dustExtent(const QImage& img)
{
    return std::clamp(int(std::lround(kDustMillimetres * scanDpi(img) / 25.4)), 1, kMaxExtent);
}

int luminance(const uchar* p) { return (29 * p[0] + 150 * p[1] + 77 * p[2] + 128) >> 8; }

struct Box {
    int left, top, right, bottom; // inclusive
    Box grown(int by, int w, int h) const
    {
        return {std::max(0, left - by), std::max(0, top - by), std::min(w - 1, right + by),
                std::min(h - 1, bottom + by)};
    }
};

Box boxOf(const cv::Mat& stats, int label)
{
    const int* st = stats.ptr<int>(label);
    return {st[cv::CC_STAT_LEFT], st[cv::CC_STAT_TOP], st[cv::CC_STAT_LEFT] + st[cv::CC_STAT_WIDTH] - 1,
            st[cv::CC_STAT_TOP] + st[cv::CC_STAT_HEIGHT] - 1};
}

// True when area holds only the component `label` and background (label 0).
bool alone(const cv::Mat& labels, const Box& area, int label)
{
    for (int y = area.top; y <= area.bottom; ++y) {
        const int* l = labels.ptr<int>(y);
        for (int x = area.left; x <= area.right; ++x)
            if (l[x] != label && l[x] != 0)
                return false;
    }
    return true;
}

// A new colour for one pixel of the work area, kept until the labels are
// done with (they occupy the result's memory meanwhile).
struct Paint {
    int x, y;
    uchar bgr[3];
};

// The work area of one run: source pixels, the new colours found so far,
// the component labels, and which pixels the region lets change.
struct Work {
    const cv::Mat& src;
    std::vector<Paint>& paints;
    const cv::Mat& labels;
    const cv::Mat& ink; // non-zero on ink, or on paper when inkIsZero
    bool inkIsZero;
    QRect bounds;      // region bounds in work coordinates
    const cv::Mat& mask; // region mask over bounds (empty: all of bounds)
    int strength;

    bool writable(int x, int y) const
    {
        return bounds.contains(x, y) && (mask.empty() || mask.at<uchar>(y - bounds.top(), x - bounds.left()));
    }

    // Moves the component's pixels towards the average colour of the pixels
    // next to it whose ink flag is `aroundInk`.
    void fill(int label, const Box& box, bool aroundInk) const
    {
        const Box ring = box.grown(1, src.cols, src.rows);
        int sum[3] = {0, 0, 0}, count = 0;
        for (int y = ring.top; y <= ring.bottom; ++y) {
            const int* l = labels.ptr<int>(y);
            const uchar* k = ink.ptr<uchar>(y);
            const uchar* p = src.ptr<uchar>(y);
            for (int x = ring.left; x <= ring.right; ++x)
                if (l[x] != label && ((k[x] != 0) != inkIsZero) == aroundInk) {
                    for (int c = 0; c < 3; ++c)
                        sum[c] += p[4 * x + c];
                    ++count;
                }
        }
        if (count == 0)
            return;
        int colour[3];
        for (int c = 0; c < 3; ++c)
            colour[c] = (sum[c] + count / 2) / count;
        for (int y = box.top; y <= box.bottom; ++y) {
            const int* l = labels.ptr<int>(y);
            for (int x = box.left; x <= box.right; ++x)
                if (l[x] == label)
                    paint(x, y, colour);
        }
    }

    // Gives a speck of ink and its lighter fringe (within `fringe` pixels of
    // its box, darker than the paper) the paper's colour: the middle value of
    // each channel over the paper just outside that.
    void erase(int label, const Box& box, int fringe) const
    {
        const Box inner = box.grown(fringe, src.cols, src.rows);
        const Box ring = box.grown(fringe + 1, src.cols, src.rows);
        // Reused between specks: most of a noisy scan's time goes to them.
        thread_local std::vector<uchar> channel[3];
        for (auto& c : channel)
            c.clear();
        for (int y = ring.top; y <= ring.bottom; ++y) {
            const uchar* k = ink.ptr<uchar>(y);
            const uchar* p = src.ptr<uchar>(y);
            const bool edgeRow = y < inner.top || y > inner.bottom;
            for (int x = ring.left; x <= ring.right; ++x)
                if ((edgeRow || x < inner.left || x > inner.right) && (k[x] != 0) == inkIsZero)
                    for (int c = 0; c < 3; ++c)
                        channel[c].push_back(p[4 * x + c]);
        }
        if (channel[0].empty())
            return fill(label, box, false);
        int colour[3];
        for (int c = 0; c < 3; ++c) {
            auto middle = channel[c].begin() + long(channel[c].size() / 2);
            std::nth_element(channel[c].begin(), middle, channel[c].end());
            colour[c] = *middle;
        }
        const uchar paper[3] = {uchar(colour[0]), uchar(colour[1]), uchar(colour[2])};
        const int fringeLevel = luminance(paper) - kFringeStep;
        for (int y = inner.top; y <= inner.bottom; ++y) {
            const int* l = labels.ptr<int>(y);
            const uchar* p = src.ptr<uchar>(y);
            for (int x = inner.left; x <= inner.right; ++x)
                if (l[x] == label || (l[x] == 0 && luminance(p + 4 * x) < fringeLevel))
                    paint(x, y, colour);
        }
    }

    void paint(int x, int y, const int* colour) const
    {
        if (!writable(x, y))
            return;
        const uchar* p = src.ptr<uchar>(y) + 4 * x;
        Paint& q = paints.emplace_back(Paint{x, y, {}});
        for (int c = 0; c < 3; ++c)
            q.bgr[c] = uchar(p[c] + (colour[c] - p[c]) * strength / 100);
    }
};

bool touches(const Box& box, const QRect& r)
{
    return box.left <= r.right() && box.right >= r.left() && box.top <= r.bottom() && box.bottom >= r.top();
}

} // namespace

// a: largest dust width and height in pixels (0 = a quarter millimetre at
// the image's resolution). b: strength in percent (0 or beyond 100 = 100,
// full removal).
int32_t Gf5Effect::Denoise(const int32_t* xs, const int32_t* ys, int n, int16_t a, int16_t b)
{
    CancelRequested = false;
    const QImage src = fx::sourceRgb32(SourceImage);
    if (src.isNull())
        return 0;
    const int extent = a > 0 ? std::min<int>(a, kMaxExtent) : dustExtent(src);
    const int gap = 2 * extent; // dots of a dotted line lie closer than this
    const int strength = b > 0 && b <= 100 ? b : 100;
    const fx::Region reg = fx::makeRegion(*this, xs, ys, n, src.width(), src.height());
    // The result's memory holds the component labels (one int per pixel,
    // the size of an RGB32 image) until the new colours are all known; the
    // source's pixels go in after that.
    QImage result = fx::allocate(src.width(), src.height(), QImage::Format_RGB32);
    if (result.isNull() || !result.bits())
        return 0;
    auto finish = [&](const std::vector<Paint>& paints, const QRect& work) {
        const qsizetype row = qsizetype(src.width()) * 4;
        for (int y = 0; y < src.height(); ++y)
            std::memcpy(result.scanLine(y), src.constScanLine(y), size_t(row));
        fx::keepMetadata(src, result);
        for (const Paint& p : paints) {
            uchar* q = result.scanLine(work.top() + p.y) + 4 * (work.left() + p.x);
            q[0] = p.bgr[0];
            q[1] = p.bgr[1];
            q[2] = p.bgr[2];
        }
        return fx::storeResult(*this, std::move(result));
    };
    fx::ProgressSteps steps(*this);
    if (reg.bounds.isEmpty())
        return steps.at(100) ? finish({}, QRect()) : 0;

    // Work on the bounds plus a margin wide enough to see whole specks and
    // their surroundings; only pixels inside the region are written.
    // The margin also takes in the neighbours that show a dot to be part
    // of a dotted or dash-dot line.
    const int margin = extent + gap + 1 + int(std::ceil(kLineContextMm * scanDpi(src) / 25.4));
    const QRect work = reg.bounds.adjusted(-margin, -margin, margin, margin) & src.rect();
    const cv::Rect workRect(work.x(), work.y(), work.width(), work.height());
    const cv::Mat s = fx::constViewOf(src)(workRect);
    cv::Mat ink(work.height(), work.width(), CV_8UC1);
    const int rows = fx::bandRows(work.height());
    fx::ProgressSteps maskSteps(*this, 0, 30);
    for (int y = 0; y < work.height(); y += rows) {
        const int h = std::min(rows, work.height() - y);
        cv::parallel_for_(cv::Range(y, y + h), [&](const cv::Range& band) {
            for (int yy = band.start; yy < band.end; ++yy) {
                const uchar* p = s.ptr<uchar>(yy);
                uchar* q = ink.ptr<uchar>(yy);
                for (int x = 0; x < work.width(); ++x, p += 4)
                    q[x] = luminance(p) < kInkLevel ? 255 : 0;
            }
        });
        if (!maskSteps.step(y + h, work.height()))
            return 0;
    }

    // The labels of each pass, in the result's memory.
    cv::Mat labelStore(work.height(), work.width(), CV_32S, result.bits(), size_t(result.bytesPerLine()));
    std::vector<Paint> paints;
    const QRect boundsInWork = reg.bounds.translated(-work.topLeft());
    const int w = work.width(), h = work.height();

    const double pxPerMm = scanDpi(src) / 25.4;
    const int fringe = std::max(2, extent / 2); // how far a scanner blurs a speck

    // Clears the small components of mask (ink, or paper) that have only
    // background within `reach` of their box. enclosed: the grown box must
    // also lie wholly in the work area (a hole that reaches its edge is not
    // known to be enclosed). Ink specks that are dots of a drawn line stay.
    // Progress from..to; false when cancelled.
    auto clearSmall = [&](const cv::Mat& mask, bool ofInk, int reach, bool enclosed, int from, int to) {
        cv::Mat labels = labelStore, stats, centroids;
        const int count = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8, CV_32S);
        if (!steps.at(from))
            return false;
        const Work job{s, paints, labels, mask, !ofInk, boundsInWork, reg.mask, strength};
        std::optional<DotPatterns> lines;
        if (ofInk)
            lines.emplace(labels, stats, centroids, pxPerMm);
        fx::ProgressSteps late(*this, from, to);
        for (int label = 1; label < count; ++label) {
            if (label % 4096 == 0 && !late.step(label, count))
                return false;
            const Box box = boxOf(stats, label);
            if (box.right - box.left >= extent || box.bottom - box.top >= extent || !touches(box, boundsInWork))
                continue;
            const Box around = box.grown(reach, w, h);
            if (enclosed && (around.left != box.left - reach || around.top != box.top - reach ||
                             around.right != box.right + reach || around.bottom != box.bottom + reach))
                continue;
            if (!alone(labels, around, label))
                continue;
            if (!ofInk)
                job.fill(label, box, true);
            else if (!lines->inDottedRow(label) && !lines->betweenDashes(label))
                job.erase(label, box, std::min(fringe, reach));
        }
        return true;
    };
    // Dark dust: small ink components with nothing but paper around them.
    if (!clearSmall(ink, true, gap, false, 40, 65))
        return 0;
    // Light holes: small paper components enclosed by ink for a whole
    // extent on every side. The ink marks turn into paper marks in place.
    cv::bitwise_not(ink, ink);
    if (!clearSmall(ink, false, extent, true, 75, 99))
        return 0;
    if (!steps.at(100))
        return 0;
    return finish(paints, work);
}

} // namespace gf5
