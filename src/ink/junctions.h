#pragma once
// Where walls meet and where they end, from their centre lines alone.
#include "ink/wall_map.h"

namespace ink {

// Replaces map.junctions. Two walls that are not parallel meet where their
// centre lines cross, when the crossing lies on each of them or beyond an
// end by at most half the other's thickness plus slack. Crossings closer
// together than the thicker wall's thickness plus slack are one junction.
// A wall ending at a junction adds one arm to it, a wall passing through
// adds two: two arms make an L, three a T, four or more an X. A wall end
// that meets nothing is a free end.
void findJunctions(WallMap& map, double slack);

}  // namespace ink
