// Skew by projection profiles: for a candidate angle every ink pixel is
// projected across the rows and the columns the picture would have when
// turned straight by that angle; straight lines then fall into few bins, so
// the sum of squared bin counts peaks at the true angle. A coarse search on
// a small copy of the ink finds the peak's neighbourhood, a finer one on a
// larger copy pins it down, and a parabola through the best three samples
// places it between them.
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
constexpr int kCoarseSide = 800;    // longer side of the coarse search's ink, at most
constexpr int kFineSide = 2400;     // and of the fine search's
constexpr double kCoarseStep = 0.25;
constexpr double kFineStep = 0.02;
constexpr size_t kMaxPoints = 600000; // more ink than this is thinned evenly
constexpr int kBridgedGap = 4;        // pixels of a broken line still joined

// Ink positions of the picture shrunk by `scale` (a shrunk pixel is ink when
// any pixel it covers is), relative to the shrunk picture's centre.
struct Ink {
    std::vector<cv::Point2f> points;
    int scale = 1;
    int span = 0; // bins a projection can reach either side of the centre
};

Ink inkAt(const cv::Mat& ink, int scale)
{
    Ink out;
    out.scale = scale;
    cv::Mat small;
    if (scale > 1)
        cv::resize(ink, small, cv::Size((ink.cols + scale - 1) / scale, (ink.rows + scale - 1) / scale), 0, 0,
                   cv::INTER_AREA);
    else
        small = ink;
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

// Sum of squared bin counts of the projections across the rows and the
// columns of the picture turned straight by `degrees` (the lines' own
// counter-clockwise angle).
double profileAt(const Ink& ink, double degrees, std::vector<int>& rows, std::vector<int>& cols)
{
    const double t = degrees * std::numbers::pi / 180.0;
    const float c = float(std::cos(t)), s = float(std::sin(t));
    const int size = 2 * ink.span + 1;
    rows.assign(size_t(size), 0);
    cols.assign(size_t(size), 0);
    const float offset = float(ink.span) + 0.5f;
    for (const cv::Point2f& p : ink.points) {
        ++rows[size_t(p.y * c + p.x * s + offset)];
        ++cols[size_t(p.x * c - p.y * s + offset)];
    }
    double score = 0;
    for (int i = 0; i < size; ++i)
        score += double(rows[size_t(i)]) * rows[size_t(i)] + double(cols[size_t(i)]) * cols[size_t(i)];
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
        std::vector<int> counts(size_t(2 * ink.span + 1), 0);
        for (const cv::Point2f& p : ink.points)
            ++counts[size_t(key(p))];
        std::vector<int> order(counts.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        const size_t top = std::min<size_t>(24, order.size());
        std::partial_sort(order.begin(), order.begin() + long(top), order.end(),
                          [&](int a, int b) { return counts[size_t(a)] > counts[size_t(b)]; });
        for (size_t k = 0; k < top; ++k) {
            if (counts[size_t(order[k])] <= best)
                break;
            // A line may straddle two bins: take its neighbours too.
            std::vector<float> at;
            for (const cv::Point2f& p : ink.points)
                if (std::abs(key(p) - order[k]) <= 1)
                    at.push_back(along(p));
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
    std::vector<int> rows, cols;
    std::vector<double> angles, scores;
    for (double a = from; a <= to + 1e-9; a += step) {
        angles.push_back(a);
        scores.push_back(profileAt(ink, a, rows, cols));
    }
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
    cv::Mat grey, ink;
    cv::cvtColor(fx::constViewOf(rgb), grey, cv::COLOR_BGRA2GRAY);
    cv::threshold(grey, ink, kInkLevel - 1, 255, cv::THRESH_BINARY_INV);
    grey.release();

    const int longSide = std::max(rgb.width(), rgb.height());
    const Ink coarse = inkAt(ink, std::max(1, (longSide + kCoarseSide - 1) / kCoarseSide));
    if (coarse.points.empty())
        return std::nullopt;
    const double rough = search(coarse, -kMaxSkewDegrees, kMaxSkewDegrees, kCoarseStep);
    const Ink fine = inkAt(ink, std::max(1, (longSide + kFineSide - 1) / kFineSide));
    const double angle = search(fine, std::max(-kMaxSkewDegrees, rough - 2 * kCoarseStep),
                                std::min(kMaxSkewDegrees, rough + 2 * kCoarseStep), kFineStep);
    // Without a long straight line the peak is chance (text, curves, dust).
    const int shortSide = std::min(rgb.width(), rgb.height());
    const int run = longestRun(fine, angle, std::max(1, kBridgedGap / fine.scale));
    if (qint64(run) * fine.scale < shortSide / 8)
        return std::nullopt;
    return angle;
}

} // namespace gf5
