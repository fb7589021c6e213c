#pragma once
// Small plane geometry shared by the tracer's rules: vectors, distances to
// a segment, and the whole-pixel squares the keypad tracer works with.
#include "ink/wall_map.h"
#include <algorithm>
#include <cmath>

namespace tracing {

using ink::Point;

inline Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
inline Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
inline Point operator*(Point a, double k) { return {a.x * k, a.y * k}; }
inline double dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
inline double cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }
inline double length(Point a) { return std::hypot(a.x, a.y); }
inline double distance(Point a, Point b) { return length(a - b); }

inline Point unit(Point a)
{
    const double l = length(a);
    return l > 0 ? Point{a.x / l, a.y / l} : Point{};
}

// Position of p along a->b: 0 at a, the segment's length at b (not clamped).
inline double along(Point a, Point b, Point p) { return dot(p - a, unit(b - a)); }

inline double distanceToSegment(Point a, Point b, Point p)
{
    const double len = distance(a, b);
    if (len <= 0)
        return distance(a, p);
    const double t = std::clamp(along(a, b, p), 0.0, len);
    return distance(a + unit(b - a) * t, p);
}

// A square of whole pixels as the canvas selection holds it: right and
// bottom are the far edges, so the square covers right - left pixels.
struct Square {
    int left = 0, top = 0, right = 0, bottom = 0;
    int size() const { return right - left; }
    bool operator==(const Square&) const = default;
};

// A wall's face-to-face thickness as a whole number of pixels, at least 1.
inline int wholeThickness(double thickness)
{
    return std::max(1, int(std::lround(thickness)));
}

// The square of the given size whose centre lies nearest to centre (pixel
// centres at +0.5, so a square's centre is left + size / 2).
inline Square squareAround(Point centre, int size)
{
    const int left = int(std::floor(centre.x - size / 2.0 + 0.5));
    const int top = int(std::floor(centre.y - size / 2.0 + 0.5));
    return {left, top, left + size, top + size};
}

inline Point centreOf(const Square& s) { return {(s.left + s.right) / 2.0, (s.top + s.bottom) / 2.0}; }

} // namespace tracing
