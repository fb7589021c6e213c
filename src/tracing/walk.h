#pragma once
// Walking the selection along the wall map: from a point on a wall, in a
// direction, to the wall's far end, the next junction or an opening's edge.
#include "geometry.h"
#include <optional>
#include <vector>

namespace tracing {

// A straight run the tracer can walk: a wall's centre line, or an opening
// that lies between two walls (a gap the map gives with no wall of its own).
struct Track {
    Point a, b;
    double thickness = 0;
    int wall = -1; // the wall, or -1 for a gap between walls
};

std::vector<Track> tracksOf(const ink::WallMap& map);

struct Stretch {
    Point from, to;             // along the track's centre line
    int wall = -1;              // the wall walked, -1 for a gap between walls
    int thickness = 0;          // whole pixels
    bool throughOpening = false; // the stretch spans an opening (a door's place)
    Point direction() const { return unit(to - from); }
};

// The stretch from `from` along the track it lies on, in the direction
// closest to `heading` (within 60 degrees), up to the first stop: a junction,
// another wall's end on the track, an opening's edge or the track's end.
// Pressed at a stop, the walk goes on to the next one. Without a heading, or
// when no track goes that way, the walk takes the only way there is (a free
// end of a wall); nothing when there is none or more than one.
std::optional<Stretch> walkFrom(const ink::WallMap& map, Point from, std::optional<Point> heading);

// Every stretch that leaves `from` (one per track and direction), for the
// offers after a confirmed wall.
std::vector<Stretch> stretchesFrom(const ink::WallMap& map, Point from);

} // namespace tracing
