#pragma once
// Where a room fill must stop although the ink leaves a way out: the map's
// openings (door and window gaps) and the open corners where a wall ends
// just short of another.
#include "geometry.h"
#include <vector>

namespace tracing {

// A band to block while filling: the segment a-b drawn with the given width.
struct Barrier {
    Point a, b;
    double width = 0;
};

// One barrier across each opening, on the wall's centre line, as thick as
// the wall and reaching half a thickness into the wall on both sides (so a
// hollow double wall cannot lead round it); and one from each free wall end
// to the nearest other wall when the gap between their faces is less than
// two wall thicknesses.
std::vector<Barrier> fillBarriers(const ink::WallMap& map);

} // namespace tracing
