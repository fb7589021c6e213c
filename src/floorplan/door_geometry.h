#pragma once
// Geometry of hinged and sliding doors placed in a traced wall stretch,
// free of any window. Side 1 is above (horizontal wall) or left (vertical
// wall), side 2 below or right.
#include "wall_geometry.h"
#include <cstdint>

namespace floorplan {

// The door's square: as wide as the wall box is long, against the chosen
// face with a one-pixel gap.
Rect doorSquare(const Rect& box, int side);

struct DoorSwing {
    int16_t leafTool = 0; // edge line of the door square: 1 top, 2 bottom, 3 left, 4 right
    int16_t arcTool = 0;  // quarter ellipse centred on: 7 bottom-right, 8 top-right, 9 bottom-left, 10 top-left
    Point hinge;          // the corner of the door square the leaf turns about
};

// The hinge sits at the end where the trace started: horizontal walls
// compare the left edges of start and end square, vertical walls their
// bottom edges.
DoorSwing doorSwing(const Rect& start, const Rect& end, int side);

struct SlidingDoorFigures {
    Rect white;  // cleared first: the wall box, widened by d across it with dust clearing
    Rect black;  // the fixed panel: the half of the wall away from the chosen side
    Line dotted; // along the wall face on the chosen side
    int32_t k = 0; // half the start square's height, truncated
};

SlidingDoorFigures slidingDoorFigures(const Rect& start, const Rect& end, int side, bool clearDust,
                                      double d);

} // namespace floorplan
