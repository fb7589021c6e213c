#pragma once
// Telling the dots of a drawn line from scan dust. Both are small, isolated
// ink components; a dot belongs to a line when it repeats along a straight
// row at an even pitch (a dotted line), or when it sits in the gap between
// two dashes of one straight line (a dash-dot centre line).
#include <opencv2/core.hpp>
#include <unordered_map>
#include <vector>

namespace gf5 {

class DotPatterns {
public:
    // labels, stats and centroids as cv::connectedComponentsWithStats gives
    // them; pxPerMm the image's resolution in pixels per millimetre.
    DotPatterns(const cv::Mat& labels, const cv::Mat& stats, const cv::Mat& centroids, double pxPerMm);

    // True when component `label` is one of at least four components of like
    // size in a straight row, each next one at the same spacing (within a
    // fifth) and no more than 2 mm away.
    bool inDottedRow(int label) const;
    // True when component `label` lies on the line through two thin dashes
    // of like direction, in the gap between their ends.
    bool betweenDashes(int label);

private:
    struct Dash {
        bool valid = false;
        cv::Point2d centre, axis; // axis: unit vector along the dash
        double halfLength = 0, thickness = 0;
    };
    const Dash& dashOf(int label);
    bool similar(int a, int b) const;
    cv::Point2d centreOf(int label) const;
    // Components of like size to `label` whose centres lie within radius of p.
    int nearestSimilar(int label, const cv::Point2d& p, double radius) const;

    const cv::Mat& labels_;
    const cv::Mat& stats_;
    const cv::Mat& centroids_;
    double pxPerMm_;
    double maxPitch_;
    int smallSide_; // components up to this wide and high are indexed as dots
    int cell_;
    int gridW_ = 0, gridH_ = 0;
    std::vector<std::vector<int>> grid_; // dot-sized components by cell
    // Components long enough to be a dash, listed in every cell (of side
    // dashCell_) that lies within reach of their box.
    int dashCell_ = 1;
    int dashGridW_ = 0, dashGridH_ = 0;
    std::vector<std::vector<int>> dashGrid_;
    std::unordered_map<int, Dash> dashes_;
};

} // namespace gf5
