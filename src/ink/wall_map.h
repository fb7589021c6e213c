#pragma once
// What the ink analysis reads from a plan: walls as centre lines with their
// thickness, the junctions where they meet or end, the openings (door and
// window gaps) in them, and the doors drawn in those openings. All
// coordinates are image pixels (x right, y down, pixel centres at +0.5).
// Plain data: no Qt, no OpenCV, so every layer above can hold one.

#include <vector>

namespace ink {

struct Point {
  double x = 0;
  double y = 0;
};

enum class WallKind {
  Solid,   // one filled band of ink
  Double,  // two thin parallel lines (the faces) around a wall-thick gap
};

struct Wall {
  Point a, b;              // centre line end points
  double thickness = 0;    // face to face, pixels
  WallKind kind = WallKind::Solid;
  // The two faces of a double wall, each parallel to a-b (for a solid wall
  // the band's two edges). faceLeft lies to the left of a->b in image
  // coordinates.
  Point faceLeftA, faceLeftB, faceRightA, faceRightB;
};

enum class JunctionType { L, T, X, End };

struct Junction {
  Point at;
  JunctionType type = JunctionType::End;
  std::vector<int> walls;  // indices into WallMap::walls
};

// A gap in a wall line (door or window), its two edges on the centre line.
// The wall itself runs on through its openings: its centre line spans them,
// and a gap between two collinear pieces of ink is an opening, not two
// walls with free ends.
struct Opening {
  Point a, b;
  int wall = -1;  // the wall the gap interrupts, or -1 when between two walls
};

enum class DoorKind { Hinged, Sliding };

// A door found in an opening. Hinged: the leaf runs from hinge to leafEnd
// and swings through the arc centred on the hinge from leafEnd to closedEnd.
// Sliding: panes are rectangles given as their four corners, in order.
struct Door {
  DoorKind kind = DoorKind::Hinged;
  int opening = -1;
  Point hinge, leafEnd, closedEnd;
  std::vector<std::vector<Point>> panes;
};

struct WallMap {
  int width = 0;    // the analysed image's size in pixels
  int height = 0;
  double dpi = 0;   // the resolution the analysis assumed
  std::vector<Wall> walls;
  std::vector<Junction> junctions;
  std::vector<Opening> openings;
  std::vector<Door> doors;

  bool empty() const { return walls.empty(); }
};

}  // namespace ink
