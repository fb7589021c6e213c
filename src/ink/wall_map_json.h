#pragma once
// The wall map as JSON, the form zorvat-batch writes and the plan generator
// uses for its ground truth:
//   {"width": W, "height": H, "dpi": D,
//    "walls": [{"x1","y1","x2","y2","thickness","kind": "solid"|"double"}],
//    "junctions": [{"x","y","type": "L"|"T"|"X"|"end"}],
//    "openings": [{"x1","y1","x2","y2","wall"}],
//    "doors": [{"kind": "hinged"|"sliding","opening", ...}]}
// Coordinates are image pixels. Faces of walls are not stored: reading
// places them half the thickness either side of the centre line.
#include "ink/wall_map.h"
#include <string>

namespace ink {

std::string toJson(const WallMap& map);

// Parses text written by toJson (unknown keys are ignored). On failure
// returns false and, when error is given, says why; map is left unchanged.
bool fromJson(const std::string& text, WallMap& map, std::string* error = nullptr);

// Sets a wall's faces parallel to its centre line, half the thickness to
// either side.
void placeFaces(Wall& wall);

}  // namespace ink
