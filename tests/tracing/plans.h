#pragma once
// Hand-built wall maps for the tracer's tests.
#include "ink/wall_map.h"

namespace plans {

inline ink::Wall wall(double ax, double ay, double bx, double by, double t = 20)
{
    ink::Wall w;
    w.a = {ax, ay};
    w.b = {bx, by};
    w.thickness = t;
    return w;
}

// A 400 x 300 room with 20-pixel walls, corners at (100, 100) and
// (500, 400); an interior wall at x = 300 meets the top and bottom walls in
// T junctions; the right wall has a door opening from y = 200 to 280; the
// bottom wall is broken by a gap from x = 440 to 360 that belongs to no
// wall; a 12-pixel stub runs from the left wall at y = 250 to a free end at
// x = 180.
inline ink::WallMap room()
{
    ink::WallMap m;
    m.width = 600;
    m.height = 500;
    m.dpi = 400;
    m.walls = {wall(100, 100, 500, 100), wall(500, 100, 500, 400), wall(500, 400, 440, 400),
               wall(360, 400, 100, 400), wall(100, 400, 100, 100), wall(300, 100, 300, 400),
               wall(100, 250, 180, 250, 12)};
    using J = ink::JunctionType;
    m.junctions = {{{100, 100}, J::L, {0, 4}}, {{500, 100}, J::L, {0, 1}}, {{500, 400}, J::L, {1, 2}},
                   {{440, 400}, J::End, {2}},  {{360, 400}, J::End, {3}},  {{100, 400}, J::L, {3, 4}},
                   {{300, 100}, J::T, {0, 5}}, {{300, 400}, J::T, {3, 5}}, {{100, 250}, J::T, {4, 6}}};
    m.openings = {{{500, 200}, {500, 280}, 1}, {{440, 400}, {360, 400}, -1}};
    return m;
}

// Four arms meeting at (200, 200).
inline ink::WallMap cross()
{
    ink::WallMap m;
    m.width = m.height = 400;
    m.walls = {wall(100, 200, 200, 200), wall(200, 200, 300, 200), wall(200, 200, 200, 100),
               wall(200, 200, 200, 300)};
    m.junctions = {{{200, 200}, ink::JunctionType::X, {0, 1, 2, 3}}};
    return m;
}

} // namespace plans
