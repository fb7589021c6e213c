#pragma once
// How well a found wall map matches the truth: the junction measure of
// floor-plan recognition work (a true junction is found when a found
// junction of the same type lies near it), loose (within 0.02 of the
// image's longer side) and strict (within the junction's wall thickness),
// and the intersection over union of the wall pixels.
#include "ink/wall_map.h"
#include <opencv2/core.hpp>

namespace plangen {

struct Matches {
  int truth = 0, found = 0;  // junctions in each map
  int matched = 0;           // pairs matched one to one
  double precision() const { return found ? double(matched) / found : truth ? 0.0 : 1.0; }
  double recall() const { return truth ? double(matched) / truth : 1.0; }
};

struct Score {
  Matches loose, strict;
  double iou = 0;
  // Doors: one found counts when it is of the same kind in the same
  // opening and, when hinged, hangs on the same edge and swings the same
  // way (hinge and leaf end within a quarter of the opening's width).
  Matches doors;
  // Openings: one found counts when both its edges lie within the wall's
  // thickness of a true opening's edges. Recall is also kept by what the
  // true opening holds (a hinged door, a sliding door, a window); for those
  // `found` stays 0.
  Matches openings;
  Matches openingsOf[3];
};

// Indices into Score::openingsOf.
enum OpeningHolds { HoldsHinged = 0, HoldsSliding = 1, HoldsWindow = 2 };

Score score(const ink::WallMap& truth, const ink::WallMap& found);

// The wall pixels of a map (bands face to face, openings cut out) on a grid
// `step` image pixels wide: 255 for wall.
cv::Mat wallPixels(const ink::WallMap& map, int step);

}  // namespace plangen
