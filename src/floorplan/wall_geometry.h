#pragma once
// Geometry of traced walls, free of any window: the wall box and its
// straight or slanted outline, the boxes used for dust clearing and face
// lines, the cross mark and the white openings of a corner. Rectangles are
// (left, top, right, bottom) in image pixels, right and bottom the far edges.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace floorplan {

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

struct Point {
    int32_t x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct Line {
    Point from, to;
    bool operator==(const Line&) const = default;
};

// A box is horizontal when it is less high than wide; a square is vertical.
bool isHorizontal(const Rect& box);

// The union of the start and end squares.
Rect wallBox(const Rect& start, const Rect& end);

struct WallShape {
    Rect box;              // the wall box (X0, Y0, X1, Y1)
    int vertexCount = 0;   // 0 straight, 6 slanted
    std::array<int32_t, 6> xs{}, ys{}; // the hexagon when slanted
};

// Straight when the box is no more than one and a half band widths (start
// square height minus 2) across in either direction; otherwise a six-cornered
// band from one square to the other. With inset the hexagon lies 2 pixels
// inside the outer one (the inside of a double-line wall).
WallShape computeWallShape(const Rect& start, const Rect& end, bool inset);

// Widen: grows the box by d across the wall on both faces and shortens it by
// its own thickness at both ends (the dust-clearing area beside a wall);
// nothing when that leaves it empty or inverted. Narrow: 2 pixels in from
// each long face (the inside of a double-line wall). Values derived from d
// are rounded half to even.
std::optional<Rect> adjustAcrossWall(const Rect& box, bool widen, double d);

// A line across the wall at the middle of its length, reaching d beyond the
// given box on both faces.
Line crossMark(const Rect& box, double d);

// The end square of a solid wall of this size is a dot: the wall is drawn as
// a line between the two squares' centres.
bool isDotSquare(const Rect& end);
Line dotLine(const Rect& start, const Rect& end);

// The two rectangles cleared to white inside a black corner square, by the
// keypad position of the room corner it covers (1, 3, 7 or 9); empty for any
// other code.
std::vector<Rect> cornerOpenings(int code, const Rect& square);

// A corner square must be square and at least 6 pixels wide.
bool isCornerSquare(const Rect& sel);

} // namespace floorplan
