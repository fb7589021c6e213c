// Skew by projection profiles of the ink's outline. Only the pixels on the
// edge of the ink count (ink with paper beside it): a line is its own
// outline, a solid wall gives its two faces and a filled area its border, so
// heavy walls, floors and fills weigh by their length like any line instead
// of by their area, which would pull the peak off the true angle.
//
// For a candidate angle every outline pixel is projected across the rows
// and the columns the picture would have when turned straight by that
// angle; straight lines then fall into few bins, so the sum of the squared
// steps between neighbouring bins peaks at the true angle. A coarse search
// on a small copy of the outline finds the peak's neighbourhood, a finer one
// on a larger copy pins it down, and a parabola through the best three
// samples places it between them.
#include "imaging/effects/skew.h"
#include "imaging/effects/effectcore.h"
#include <opencv2/imgproc.hpp>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace gf5 {

namespace {

constexpr int kInkLevel = 160;      // grey level below which a pixel is ink
constexpr int kFineSide = 2400;     // longer side of the fine search's ink, at most
constexpr int kCoarseFactor = 3;    // the coarse search's ink is smaller by this
constexpr double kCoarseStep = 0.25;
constexpr double kFineStep = 0.02;
constexpr double kFineReach = 0.3;  // the fine search looks this far either side
constexpr int kFineBinsPerPixel = 4;
constexpr size_t kMaxPoints = 600000; // more ink than this is thinned evenly
constexpr int kBridgedGap = 4;        // pixels of a broken line still joined
constexpr double kEdgeShare = 0.03;   // share of each side left out along the edges

// Ink positions of the picture shrunk by `scale` (a shrunk pixel is ink when
// any pixel it covers is), relative to the shrunk picture's centre.
struct Ink {
    std::vector<cv::Point2f> points;
    int scale = 1;
    int span = 0; // pixels a projection can reach either side of the centre
    // Projection bins per pixel. Several let the score fall as soon as a
    // line starts to spread, so that thin lines give a sharp peak instead of
    // a plateau a few hundredths of a degree wide.
    int binsPerPixel = 1;
};

// The ink of an RGB32 picture shrunk by scale, as a CV_8UC1 mask, in one
// pass over the pixels (rows shared out between the cores).
cv::Mat shrunkInk(const cv::Mat& bgra, int scale)
{
    cv::Mat out = cv::Mat::zeros((bgra.rows + scale - 1) / scale, (bgra.cols + scale - 1) / scale, CV_8UC1);
    cv::parallel_for_(cv::Range(0, out.rows), [&](const cv::Range& range) {
        std::vector<uchar> row(size_t(bgra.cols));
        for (int oy = range.start; oy < range.end; ++oy) {
            std::fill(row.begin(), row.end(), uchar(0));
            for (int y = oy * scale; y < std::min(bgra.rows, (oy + 1) * scale); ++y) {
                const uchar* p = bgra.ptr<uchar>(y);
                for (int x = 0; x < bgra.cols; ++x)
                    row[size_t(x)] |= ((29 * p[4 * x] + 150 * p[4 * x + 1] + 77 * p[4 * x + 2] + 128) >> 8) < kInkLevel;
            }
            uchar* q = out.ptr<uchar>(oy);
            for (int x = 0; x < bgra.cols; ++x)
                q[x / scale] |= row[size_t(x)];
        }
    });
    return out;
}

// A mask shrunk further by a whole factor, keeping every ink pixel.
cv::Mat shrinkMask(const cv::Mat& mask, int factor)
{
    cv::Mat out = cv::Mat::zeros((mask.rows + factor - 1) / factor, (mask.cols + factor - 1) / factor, CV_8UC1);
    for (int y = 0; y < mask.rows; ++y) {
        const uchar* p = mask.ptr<uchar>(y);
        uchar* q = out.ptr<uchar>(y / factor);
        for (int x = 0; x < mask.cols; ++x)
            q[x / factor] |= p[x];
    }
    return out;
}

Ink inkOf(const cv::Mat& small, int scale)
{
    Ink out;
    out.scale = scale;
    std::vector<cv::Point> found;
    cv::findNonZero(small, found);
    const size_t stride = std::max<size_t>(1, (found.size() + kMaxPoints - 1) / kMaxPoints);
    const float cx = (small.cols - 1) / 2.0f, cy = (small.rows - 1) / 2.0f;
    out.points.reserve(found.size() / stride + 1);
    for (size_t i = 0; i < found.size(); i += stride)
        out.points.emplace_back(found[i].x - cx, found[i].y - cy);
    out.span = int(std::ceil(std::hypot(small.cols, small.rows) / 2.0)) + 2;
    return out;
}

// How sharply the projections across the rows and the columns of the
// picture turned straight by `degrees` (the lines' own counter-clockwise
// angle) rise and fall.
double profileAt(const Ink& ink, double degrees, std::vector<int>& rows, std::vector<int>& cols)
{
    const double t = degrees * std::numbers::pi / 180.0;
    const float c = float(std::cos(t)), s = float(std::sin(t));
    const float k = float(ink.binsPerPixel);
    const int size = 2 * ink.span * ink.binsPerPixel + 1;
    rows.assign(size_t(size), 0);
    cols.assign(size_t(size), 0);
    const float offset = float(ink.span * ink.binsPerPixel) + 0.5f;
    for (const cv::Point2f& p : ink.points) {
        ++rows[size_t((p.y * c + p.x * s) * k + offset)];
        ++cols[size_t((p.x * c - p.y * s) * k + offset)];
    }
    // Squared steps of the profile: a line is a spike with two steep sides,
    // while an evenly textured area (hatching, a patterned floor) is a
    // plateau that counts only at its two ends, so it cannot pull the peak to
    // its own orientation. Each pixel is counted as a pixel wide (a window of
    // binsPerPixel bins), so the profile's step between bin i and i + 1 is
    // bin[i + k] - bin[i]; counting pixels as points instead would make every
    // row a spike at exactly 0 degrees, where all of them fall on whole bins.
    const size_t k0 = size_t(ink.binsPerPixel);
    double score = 0;
    for (size_t i = 0; i + k0 < size_t(size); ++i) {
        const double dr = rows[i + k0] - rows[i], dc = cols[i + k0] - cols[i];
        score += dr * dr + dc * dc;
    }
    return score;
}

// The longest straight run of ink, in shrunk pixels, along the rows and
// columns of the picture turned straight by `degrees`. Only the fullest
// bins are walked; gaps up to maxGap are bridged (a scan breaks thin lines).
int longestRun(const Ink& ink, double degrees, int maxGap)
{
    const double t = degrees * std::numbers::pi / 180.0;
    const float c = float(std::cos(t)), s = float(std::sin(t));
    const float offset = float(ink.span) + 0.5f;
    int best = 0;
    for (const bool across : {true, false}) {
        // key: which line a pixel lies on; along: where on it.
        auto key = [&](const cv::Point2f& p) {
            return int(across ? p.y * c + p.x * s + offset : p.x * c - p.y * s + offset);
        };
        auto along = [&](const cv::Point2f& p) { return across ? p.x * c - p.y * s : p.y * c + p.x * s; };
        // Points grouped by line (a counting sort), so each line is walked
        // without looking at the others.
        const size_t bins = size_t(2 * ink.span + 1);
        std::vector<int> keys(ink.points.size());
        std::vector<size_t> first(bins + 1, 0);
        for (size_t i = 0; i < ink.points.size(); ++i) {
            keys[i] = key(ink.points[i]);
            ++first[size_t(keys[i]) + 1];
        }
        for (size_t b = 0; b < bins; ++b)
            first[b + 1] += first[b];
        std::vector<float> sorted(ink.points.size());
        {
            std::vector<size_t> fill(first.begin(), first.end() - 1);
            for (size_t i = 0; i < ink.points.size(); ++i)
                sorted[fill[size_t(keys[i])]++] = along(ink.points[i]);
        }
        std::vector<int> order(bins);
        for (size_t i = 0; i < bins; ++i)
            order[i] = int(i);
        const size_t top = std::min<size_t>(24, bins);
        auto count = [&](int b) { return first[size_t(b) + 1] - first[size_t(b)]; };
        std::partial_sort(order.begin(), order.begin() + long(top), order.end(),
                          [&](int a, int b) { return count(a) > count(b); });
        for (size_t k = 0; k < top; ++k) {
            if (int(count(order[k])) <= best)
                break;
            // A line may straddle two bins: take its neighbours too.
            const size_t lo = first[size_t(std::max(0, order[k] - 1))];
            const size_t hi = first[size_t(std::min(int(bins), order[k] + 2))];
            std::vector<float> at(sorted.begin() + long(lo), sorted.begin() + long(hi));
            std::sort(at.begin(), at.end());
            float start = at.empty() ? 0 : at.front();
            for (size_t i = 1; i <= at.size(); ++i)
                if (i == at.size() || at[i] - at[i - 1] > float(maxGap + 1)) {
                    best = std::max(best, int(at[i - 1] - start) + 1);
                    if (i < at.size())
                        start = at[i];
                }
        }
    }
    return best;
}

// The best angle between from and to in steps of step, refined by a
// parabola through it and its neighbours.
double search(const Ink& ink, double from, double to, double step)
{
    std::vector<double> angles, scores;
    for (double a = from; a <= to + 1e-9; a += step)
        angles.push_back(a);
    scores.resize(angles.size());
    cv::parallel_for_(cv::Range(0, int(angles.size())), [&](const cv::Range& range) {
        std::vector<int> rows, cols;
        for (int k = range.start; k < range.end; ++k)
            scores[size_t(k)] = profileAt(ink, angles[size_t(k)], rows, cols);
    });
    const size_t i = size_t(std::max_element(scores.begin(), scores.end()) - scores.begin());
    double angle = angles[i];
    if (i > 0 && i + 1 < scores.size()) {
        const double l = scores[i - 1], m = scores[i], r = scores[i + 1];
        const double bend = l - 2 * m + r;
        if (bend < 0)
            angle += step * std::clamp(0.5 * (l - r) / bend, -0.5, 0.5);
    }
    return angle;
}

} // namespace

std::optional<double> measureSkew(const QImage& picture)
{
    const QImage rgb = fx::toRgb32(picture);
    if (rgb.isNull() || rgb.width() < 8 || rgb.height() < 8)
        return std::nullopt;
    const int longSide = std::max(rgb.width(), rgb.height());
    const int fineScale = std::max(1, (longSide + kFineSide - 1) / kFineSide);
    cv::Mat fineMask = shrunkInk(fx::constViewOf(rgb), fineScale);
    // The outline: ink with paper among its eight neighbours.
    cv::Mat inside;
    cv::erode(fineMask, inside, cv::Mat::ones(3, 3, CV_8UC1));
    fineMask -= inside;
    // A scanner's lid leaves dark bands along the frame, straight however
    // the sheet lies: ink near the edges is not the drawing's.
    const int mx = int(std::ceil(fineMask.cols * kEdgeShare)), my = int(std::ceil(fineMask.rows * kEdgeShare));
    fineMask.colRange(0, std::min(mx, fineMask.cols)).setTo(0);
    fineMask.colRange(std::max(0, fineMask.cols - mx), fineMask.cols).setTo(0);
    fineMask.rowRange(0, std::min(my, fineMask.rows)).setTo(0);
    fineMask.rowRange(std::max(0, fineMask.rows - my), fineMask.rows).setTo(0);
    const Ink coarse = inkOf(shrinkMask(fineMask, kCoarseFactor), fineScale * kCoarseFactor);
    if (coarse.points.empty())
        return std::nullopt;
    const double rough = search(coarse, -kMaxSkewDegrees, kMaxSkewDegrees, kCoarseStep);
    Ink fine = inkOf(fineMask, fineScale);
    fine.binsPerPixel = kFineBinsPerPixel;
    const double angle = search(fine, std::max(-kMaxSkewDegrees, rough - kFineReach),
                                std::min(kMaxSkewDegrees, rough + kFineReach), kFineStep);
    // Without a long straight line the peak is chance (text, curves, dust).
    const int shortSide = std::min(rgb.width(), rgb.height());
    const int run = longestRun(fine, angle, std::max(1, kBridgedGap / fine.scale));
    if (qint64(run) * fine.scale < shortSide / 8)
        return std::nullopt;
    return angle;
}

std::optional<int32_t> straighteningTurn(const QImage& picture)
{
    const std::optional<double> skew = measureSkew(picture);
    if (!skew || std::abs(*skew) < kSmallestSkewDegrees)
        return std::nullopt;
    return -int32_t(std::lround(*skew * 100));
}

} // namespace gf5
