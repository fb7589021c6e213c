#include "snap.h"
#include <limits>

namespace tracing {

namespace {

bool validWall(const ink::WallMap& map, int w) { return w >= 0 && w < int(map.walls.size()); }

// Whether some way along wall w away from the junction at `at` is not
// traced yet.
bool untracedFrom(const ink::WallMap& map, int w, Point at, const TraceLog& traced)
{
    for (const Stretch& s : stretchesFrom(map, at))
        if (s.wall == w && !traced.covers(s))
            return true;
    return false;
}

// The junction's wall (or, when it lists none, any wall ending there) that
// passes nearest to p, an untraced one first; -1 when there is none.
int nearestWallOf(const ink::WallMap& map, const ink::Junction& j, Point p, const TraceLog* traced)
{
    int best = -1;
    bool bestUntraced = false;
    double bestDist = std::numeric_limits<double>::max();
    auto consider = [&](int w) {
        const ink::Wall& wall = map.walls[size_t(w)];
        const double d = distanceToSegment(wall.a, wall.b, p);
        const bool untraced = traced && !traced->empty() && untracedFrom(map, w, j.at, *traced);
        if (untraced > bestUntraced || (untraced == bestUntraced && d < bestDist)) {
            bestDist = d;
            bestUntraced = untraced;
            best = w;
        }
    };
    for (const int w : j.walls)
        if (validWall(map, w))
            consider(w);
    if (best >= 0)
        return best;
    for (int w = 0; w < int(map.walls.size()); ++w) {
        const ink::Wall& wall = map.walls[size_t(w)];
        const double reach = std::max(1.0, wall.thickness / 2);
        if (distance(wall.a, j.at) <= reach || distance(wall.b, j.at) <= reach)
            consider(w);
    }
    return best;
}

int nearestWallTo(const ink::WallMap& map, Point p)
{
    int best = -1;
    double bestDist = std::numeric_limits<double>::max();
    for (int w = 0; w < int(map.walls.size()); ++w) {
        const ink::Wall& wall = map.walls[size_t(w)];
        const double d = distanceToSegment(wall.a, wall.b, p);
        if (d < bestDist) {
            bestDist = d;
            best = w;
        }
    }
    return best;
}

} // namespace

std::optional<Snap> snapStart(const ink::WallMap& map, Point near, const TraceLog* traced)
{
    std::optional<Snap> best;
    double bestDist = std::numeric_limits<double>::max();
    auto offer = [&](Point at, int wall, int junction) {
        const ink::Wall& w = map.walls[size_t(wall)];
        const double d = distance(at, near);
        // Reach is measured in the thickness of the wall the square takes;
        // a junction is preferred over a wall end at the same place.
        if (d > 2 * w.thickness || d > bestDist || (d == bestDist && junction < 0))
            return;
        bestDist = d;
        Snap s;
        s.at = at;
        s.wall = wall;
        s.junction = junction;
        s.thickness = wholeThickness(w.thickness);
        s.square = squareAround(at, s.thickness);
        best = s;
    };
    for (int j = 0; j < int(map.junctions.size()); ++j) {
        const ink::Junction& junction = map.junctions[size_t(j)];
        const int w = nearestWallOf(map, junction, near, traced);
        if (w >= 0)
            offer(junction.at, w, j);
    }
    for (int w = 0; w < int(map.walls.size()); ++w) {
        offer(map.walls[size_t(w)].a, w, -1);
        offer(map.walls[size_t(w)].b, w, -1);
    }
    // An opening's edges end the wall pieces on either side of it.
    for (const ink::Opening& o : map.openings) {
        for (const Point edge : {o.a, o.b}) {
            const int w = validWall(map, o.wall) ? o.wall : nearestWallTo(map, edge);
            if (w >= 0)
                offer(edge, w, -1);
        }
    }
    return best;
}

} // namespace tracing
