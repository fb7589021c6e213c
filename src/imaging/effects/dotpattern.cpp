#include "imaging/effects/dotpattern.h"
#include <opencv2/imgproc.hpp>
#include <algorithm>
#include <cmath>

namespace gf5 {

namespace {
constexpr double kMaxPitchMm = 2.0;     // dots of a dotted line lie at most this far apart
constexpr double kPitchTolerance = 0.2; // each spacing within a fifth of the first
constexpr int kRowLength = 4;           // dots in a row before it counts as a line
constexpr double kDotMm = 1.0;          // larger components are not dots
constexpr double kDashReachMm = 3.0;    // a dash-dot line's dot lies this close to its dashes
constexpr double kLongestDashMm = 50.0;
constexpr double kThickestDashMm = 1.2;
constexpr double kShortestDashMm = 0.8;
const double kSameDirection = std::cos(5.0 * CV_PI / 180.0);
const double kOffDirection = std::sin(5.0 * CV_PI / 180.0);

double cross(const cv::Point2d& a, const cv::Point2d& b) { return a.x * b.y - a.y * b.x; }
} // namespace

DotPatterns::DotPatterns(const cv::Mat& labels, const cv::Mat& stats, const cv::Mat& centroids, double pxPerMm)
    : labels_(labels), stats_(stats), centroids_(centroids), pxPerMm_(pxPerMm)
{
    maxPitch_ = std::max(3.0, kMaxPitchMm * pxPerMm);
    smallSide_ = std::max(3, int(std::lround(kDotMm * pxPerMm)));
    cell_ = std::max(4, int(std::ceil(maxPitch_)));
    gridW_ = labels.cols / cell_ + 1;
    gridH_ = labels.rows / cell_ + 1;
    grid_.resize(size_t(gridW_) * size_t(gridH_));
    for (int l = 1; l < stats.rows; ++l) {
        const int* st = stats.ptr<int>(l);
        if (st[cv::CC_STAT_WIDTH] > smallSide_ || st[cv::CC_STAT_HEIGHT] > smallSide_)
            continue;
        const cv::Point2d c = centreOf(l);
        const int gx = std::clamp(int(c.x) / cell_, 0, gridW_ - 1), gy = std::clamp(int(c.y) / cell_, 0, gridH_ - 1);
        grid_[size_t(gy) * size_t(gridW_) + size_t(gx)].push_back(l);
    }
    const double reach = std::max(4.0, kDashReachMm * pxPerMm);
    const double shortest = 0.7 * std::max(4.0, kShortestDashMm * pxPerMm);
    const double longest = kLongestDashMm * pxPerMm;
    dashCell_ = std::max(8, int(std::ceil(reach)));
    dashGridW_ = labels.cols / dashCell_ + 1;
    dashGridH_ = labels.rows / dashCell_ + 1;
    dashGrid_.resize(size_t(dashGridW_) * size_t(dashGridH_));
    for (int l = 1; l < stats.rows; ++l) {
        const int* st = stats.ptr<int>(l);
        const int w = st[cv::CC_STAT_WIDTH], h = st[cv::CC_STAT_HEIGHT];
        if (std::max(w, h) < shortest || w > longest || h > longest)
            continue;
        const int x0 = std::max(0, int((st[cv::CC_STAT_LEFT] - reach) / dashCell_));
        const int y0 = std::max(0, int((st[cv::CC_STAT_TOP] - reach) / dashCell_));
        const int x1 = std::min(dashGridW_ - 1, int((st[cv::CC_STAT_LEFT] + w + reach) / dashCell_));
        const int y1 = std::min(dashGridH_ - 1, int((st[cv::CC_STAT_TOP] + h + reach) / dashCell_));
        for (int gy = y0; gy <= y1; ++gy)
            for (int gx = x0; gx <= x1; ++gx)
                dashGrid_[size_t(gy) * size_t(dashGridW_) + size_t(gx)].push_back(l);
    }
}

cv::Point2d DotPatterns::centreOf(int label) const
{
    const double* c = centroids_.ptr<double>(label);
    return {c[0], c[1]};
}

// Like size: neither side nor pixel count more than about twice the other's.
bool DotPatterns::similar(int a, int b) const
{
    const int* sa = stats_.ptr<int>(a);
    const int* sb = stats_.ptr<int>(b);
    const int ma = std::max(sa[cv::CC_STAT_WIDTH], sa[cv::CC_STAT_HEIGHT]);
    const int mb = std::max(sb[cv::CC_STAT_WIDTH], sb[cv::CC_STAT_HEIGHT]);
    const int aa = sa[cv::CC_STAT_AREA], ab = sb[cv::CC_STAT_AREA];
    return std::max(ma, mb) <= 2 * std::min(ma, mb) + 1 && std::max(aa, ab) <= 3 * std::min(aa, ab) + 2;
}

int DotPatterns::nearestSimilar(int label, const cv::Point2d& p, double radius) const
{
    const int x0 = std::max(0, int((p.x - radius) / cell_)), x1 = std::min(gridW_ - 1, int((p.x + radius) / cell_));
    const int y0 = std::max(0, int((p.y - radius) / cell_)), y1 = std::min(gridH_ - 1, int((p.y + radius) / cell_));
    int best = -1;
    double bestDistance = radius;
    for (int gy = y0; gy <= y1; ++gy)
        for (int gx = x0; gx <= x1; ++gx)
            for (const int other : grid_[size_t(gy) * size_t(gridW_) + size_t(gx)]) {
                const double d = cv::norm(centreOf(other) - p);
                if (other != label && d <= bestDistance && similar(label, other)) {
                    best = other;
                    bestDistance = d;
                }
            }
    return best;
}

bool DotPatterns::inDottedRow(int label) const
{
    const cv::Point2d pc = centreOf(label);
    const int gx = std::clamp(int(pc.x) / cell_, 0, gridW_ - 1), gy = std::clamp(int(pc.y) / cell_, 0, gridH_ - 1);
    for (int ny = std::max(0, gy - 1); ny <= std::min(gridH_ - 1, gy + 1); ++ny)
        for (int nx = std::max(0, gx - 1); nx <= std::min(gridW_ - 1, gx + 1); ++nx)
            for (const int next : grid_[size_t(ny) * size_t(gridW_) + size_t(nx)]) {
                const cv::Point2d step = centreOf(next) - pc;
                const double pitch = cv::norm(step);
                if (next == label || pitch < 1.0 || pitch > maxPitch_ || !similar(label, next))
                    continue;
                // Walk on from the neighbour and back from this dot by the same
                // step, taking the like dot nearest each expected place.
                int count = 2;
                for (const double dir : {1.0, -1.0}) {
                    cv::Point2d at = dir > 0 ? centreOf(next) : pc;
                    while (count < kRowLength) {
                        const int found = nearestSimilar(label, at + dir * step, kPitchTolerance * pitch);
                        if (found < 0 || found == next)
                            break;
                        at = centreOf(found);
                        ++count;
                    }
                }
                if (count >= kRowLength)
                    return true;
            }
    return false;
}

const DotPatterns::Dash& DotPatterns::dashOf(int label)
{
    const auto known = dashes_.find(label);
    if (known != dashes_.end())
        return known->second;
    Dash& dash = dashes_[label];
    const int* st = stats_.ptr<int>(label);
    const int left = st[cv::CC_STAT_LEFT], top = st[cv::CC_STAT_TOP];
    const int w = st[cv::CC_STAT_WIDTH], h = st[cv::CC_STAT_HEIGHT];
    const double longest = kLongestDashMm * pxPerMm_;
    if (w > longest || h > longest || st[cv::CC_STAT_AREA] < 3)
        return dash;
    // Second moments of the component's pixels give its direction, length
    // and thickness (as a solid bar's would).
    double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int y = top; y < top + h; ++y) {
        const int* l = labels_.ptr<int>(y);
        for (int x = left; x < left + w; ++x)
            if (l[x] == label) {
                n += 1;
                sx += x;
                sy += y;
                sxx += double(x) * x;
                syy += double(y) * y;
                sxy += double(x) * y;
            }
    }
    const double mx = sx / n, my = sy / n;
    const double cxx = sxx / n - mx * mx + 1.0 / 12, cyy = syy / n - my * my + 1.0 / 12, cxy = sxy / n - mx * my;
    const double mean = (cxx + cyy) / 2, spread = std::sqrt((cxx - cyy) * (cxx - cyy) / 4 + cxy * cxy);
    const double length = std::sqrt(12 * (mean + spread)), thickness = std::sqrt(12 * std::max(0.0, mean - spread));
    const double angle = 0.5 * std::atan2(2 * cxy, cxx - cyy);
    dash.centre = {mx, my};
    dash.axis = {std::cos(angle), std::sin(angle)};
    dash.halfLength = length / 2;
    dash.thickness = thickness;
    dash.valid = length >= std::max(4.0, kShortestDashMm * pxPerMm_) && length >= 3 * std::max(1.0, thickness) &&
                 thickness <= std::max(2.0, kThickestDashMm * pxPerMm_);
    return dash;
}

bool DotPatterns::betweenDashes(int label)
{
    const cv::Point2d pc = centreOf(label);
    const double reach = std::max(4.0, kDashReachMm * pxPerMm_);
    // Components long enough to be a dash whose box lies within reach.
    const int gx = std::clamp(int(pc.x) / dashCell_, 0, dashGridW_ - 1);
    const int gy = std::clamp(int(pc.y) / dashCell_, 0, dashGridH_ - 1);
    std::vector<const Dash*> dashes;
    for (const int l : dashGrid_[size_t(gy) * size_t(dashGridW_) + size_t(gx)]) {
        const int* st = stats_.ptr<int>(l);
        const double dx = std::max({0.0, st[cv::CC_STAT_LEFT] - pc.x, pc.x - (st[cv::CC_STAT_LEFT] + st[cv::CC_STAT_WIDTH] - 1)});
        const double dy = std::max({0.0, st[cv::CC_STAT_TOP] - pc.y, pc.y - (st[cv::CC_STAT_TOP] + st[cv::CC_STAT_HEIGHT] - 1)});
        if (l == label || dx > reach || dy > reach)
            continue;
        if (const Dash& d = dashOf(l); d.valid)
            dashes.push_back(&d);
    }
    for (size_t i = 0; i < dashes.size(); ++i)
        for (size_t j = i + 1; j < dashes.size(); ++j) {
            const Dash& a = *dashes[i];
            const Dash& b = *dashes[j];
            if (std::abs(a.axis.dot(b.axis)) < kSameDirection)
                continue;
            cv::Point2d along = b.centre - a.centre;
            const double apart = cv::norm(along);
            if (apart < 1.0)
                continue;
            along /= apart;
            if (std::abs(cross(a.axis, along)) > kOffDirection || std::abs(cross(b.axis, along)) > kOffDirection)
                continue;
            const cv::Point2d rel = pc - a.centre;
            const double t = rel.dot(along), off = std::abs(cross(along, rel));
            if (off > std::max(1.5, std::max(a.thickness, b.thickness) / 2 + 1))
                continue;
            const double gapStart = a.halfLength, gapEnd = apart - b.halfLength;
            if (t > gapStart - 0.5 && t < gapEnd + 0.5 && t - gapStart <= reach && gapEnd - t <= reach)
                return true;
        }
    return false;
}

} // namespace gf5
