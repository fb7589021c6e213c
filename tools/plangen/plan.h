#pragma once
// Synthetic floor plans with exact ground truth, for the ink analysis'
// tests and bench. A plan is laid out in real millimetres on a 910 mm grid
// (rooms split from a rectangle, sometimes a corner cut off at an angle,
// sometimes a wall that ends in a room), then drawn on an A3 page at 1/100
// either as a scanned sheet (clutter, scanner faults, JPEG) or as Zorvat's
// own tracing (pure black walls and doors on white). Everything is a pure
// function of the seed.
#include "ink/wall_map.h"
#include <opencv2/core.hpp>
#include <cstdint>
#include <string>
#include <vector>

namespace plangen {

using ink::Point;

struct PlanWall {
  Point a, b;  // centre line, mm
  double thickness = 120;
  ink::WallKind kind = ink::WallKind::Solid;
};

enum class OpeningKind { Hinged, Sliding, Window };

struct PlanOpening {
  int wall = -1;
  double from = 0, to = 0;  // along the wall from its end a, mm
  OpeningKind kind = OpeningKind::Window;
  bool hingeAtFrom = true;  // hinged: which edge holds the hinge
  bool swingLeft = true;    // hinged: the leaf opens to the left of a->b
};

struct Label {
  Point at;  // mm
  std::string text;
};

struct Rect {
  double x0, y0, x1, y1;  // mm
};

struct Plan {
  double scale = 100;       // 1/scale
  double widthMm = 0, heightMm = 0;
  std::vector<PlanWall> walls;
  std::vector<PlanOpening> openings;
  std::vector<Label> labels;
  std::vector<Rect> furniture;  // drawn in thin lines
  std::vector<Rect> hatched;    // room floors hatched at 45 degrees
  std::vector<double> dimX, dimY;  // wall lines measured along the top and the left
};

struct Layout {
  double obliqueChance = 0.35;  // a corner cut off at an angle
  double stubChance = 0.5;      // a wall that ends inside a room
  // The kind of the walls: 0 all solid, 1 all double, 2 outer solid and
  // inner double; -1 chosen from the seed.
  int style = -1;
};

Plan generatePlan(uint32_t seed, const Layout& layout = {});

struct Scanner {
  double skewDegrees = 0;
  double blurSigma = 0;      // pixels
  cv::Scalar paper = {255, 255, 255};  // BGR
  int inkLevel = 30;
  double unevenLight = 0;    // darkest corner's loss, 0..1
  int darkBandEdge = -1;     // 0 top, 1 right, 2 bottom, 3 left, -1 none
  double dust = 0;           // specks per square centimetre of paper
  double pepper = 0;         // share of pixels turned dark
  int jpegQuality = 0;       // 0: no JPEG round trip
};

// A flatbed scan of middling quality: skew up to 0.5 degrees, blur, grey or
// yellow paper, uneven light, dust, pepper noise, often a dark band along one
// edge, JPEG at quality 85.
Scanner randomScanner(uint32_t seed);

struct Page {
  cv::Mat image;        // CV_8UC3, BGR
  ink::WallMap truth;   // what the analysis should find, pixels
};

// A3 portrait at dpi, the plan centred.
Page renderScan(const Plan& plan, double dpi, const Scanner& scanner, uint32_t seed);
// The plan as Zorvat traces it: walls, door leaves with their arcs and
// sliding panes in pure black on white; windows are left as gaps.
Page renderTraced(const Plan& plan, double dpi);

// The editor's underlay: green through the underlay tone curve, then every
// exact grey pushed off grey by one step of blue.
void makeUnderlay(cv::Mat& bgr);

// The ground truth of a plan drawn on a page of size (width, height) pixels
// by the mm -> pixel map `toPixels` (2x3 affine).
ink::WallMap truthOf(const Plan& plan, const cv::Matx23d& toPixels, int width, int height, double dpi);

}  // namespace plangen
