#pragma once
// Snapping a wall start onto the wall map: the nearest wall end or junction.
#include "offers.h"
#include <optional>

namespace tracing {

struct Snap {
    Point at;          // the wall end or junction, image pixels
    int wall = -1;     // the wall whose thickness the square takes
    int junction = -1; // the junction snapped to, or -1 for a bare wall end
    int thickness = 0; // that wall's thickness in whole pixels
    Square square;     // a square of that thickness centred on the point
};

// The wall end, junction or opening edge (where a wall piece ends at a door
// or window) nearest to near, when it lies within two wall thicknesses of
// it; nothing otherwise. A junction takes the thickness of
// its wall that passes nearest to near, so a start placed on the thin wall
// of a T gets the thin wall's square. Walls already traced from the
// junction (in traced, when given) give way to one that is not: the start
// marked where an outer wall meets a partition, with the outer wall done,
// is the partition's.
std::optional<Snap> snapStart(const ink::WallMap& map, Point near, const TraceLog* traced = nullptr);

} // namespace tracing
