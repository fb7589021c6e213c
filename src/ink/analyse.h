#pragma once
// Reads the walls of a floor plan from its pixels: a pure function of the
// image, its resolution and the plan's scale. Safe to call from a worker
// thread; it touches nothing but its arguments.
#include "ink/wall_map.h"
#include <atomic>
#include <opencv2/core.hpp>
#include <string>

namespace ink {

struct Options {
  double scale = 100;            // the plan is drawn at 1/scale
  double minThicknessMm = 60;    // real millimetres, face to face
  double maxThicknessMm = 400;
  double minLengthMm = 600;      // shorter ink is no wall
  double maxOpeningMm = 1300;    // wider gaps in a wall line are no opening
  // Exact greys darker than mid-grey are what the user has already traced
  // over an underlay (whose own pixels are never exact grey): treat them as
  // paper, so the map shows what is still to trace.
  bool ignoreTraced = false;
  // Set from another thread to stop; the analysis then returns Cancelled
  // soon after.
  const std::atomic<bool>* cancel = nullptr;
};

enum class Status {
  Done,       // map holds what was found (possibly nothing)
  Refused,    // the image cannot be a plan or cannot be worked on; see reason
  Cancelled,
};

struct Analysis {
  Status status = Status::Done;
  std::string reason;  // why it was refused, in English
  WallMap map;
};

// bgrOrGrey: 8-bit, one channel (grey), three (BGR) or four (BGRA, as a
// QImage's RGB32 rows are laid out). dpi: the image's resolution.
Analysis analyseWalls(const cv::Mat& bgrOrGrey, double dpi, const Options& options = {});

}  // namespace ink
