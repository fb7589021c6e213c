#include "fill_barriers.h"
#include <limits>

namespace tracing {

namespace {

double thicknessNear(const ink::WallMap& map, const ink::Opening& o)
{
    if (o.wall >= 0 && o.wall < int(map.walls.size()))
        return map.walls[size_t(o.wall)].thickness;
    double best = 0, bestDist = std::numeric_limits<double>::max();
    for (const ink::Wall& w : map.walls) {
        const double d = std::min(distanceToSegment(w.a, w.b, o.a), distanceToSegment(w.a, w.b, o.b));
        if (d < bestDist) {
            bestDist = d;
            best = w.thickness;
        }
    }
    return best;
}

Point nearestOnSegment(Point a, Point b, Point p)
{
    const double len = distance(a, b);
    if (len <= 0)
        return a;
    return a + unit(b - a) * std::clamp(along(a, b, p), 0.0, len);
}

// An end is free when no other wall comes within its wall's half thickness.
bool freeEnd(const ink::WallMap& map, int self, Point end)
{
    const double reach = map.walls[size_t(self)].thickness / 2 + 1.5;
    for (int w = 0; w < int(map.walls.size()); ++w) {
        if (w == self)
            continue;
        const ink::Wall& o = map.walls[size_t(w)];
        if (distanceToSegment(o.a, o.b, end) <= reach + o.thickness / 2)
            return false;
    }
    return true;
}

} // namespace

std::vector<Barrier> fillBarriers(const ink::WallMap& map)
{
    std::vector<Barrier> out;
    for (const ink::Opening& o : map.openings) {
        const double t = std::max(thicknessNear(map, o), 3.0);
        const Point dir = unit(o.b - o.a);
        out.push_back({o.a - dir * (t / 2), o.b + dir * (t / 2), t});
    }
    for (int w = 0; w < int(map.walls.size()); ++w) {
        const ink::Wall& wall = map.walls[size_t(w)];
        for (const Point end : {wall.a, wall.b}) {
            if (!freeEnd(map, w, end))
                continue;
            // An end inside an opening's barrier is closed already.
            bool atOpening = false;
            for (const ink::Opening& o : map.openings)
                atOpening = atOpening || distance(o.a, end) <= wall.thickness || distance(o.b, end) <= wall.thickness;
            if (atOpening)
                continue;
            double bestGap = std::numeric_limits<double>::max();
            Point bestPoint{};
            for (int v = 0; v < int(map.walls.size()); ++v) {
                if (v == w)
                    continue;
                const ink::Wall& o = map.walls[size_t(v)];
                const Point q = nearestOnSegment(o.a, o.b, end);
                const double gap = distance(q, end) - o.thickness / 2 - wall.thickness / 2;
                if (gap < bestGap) {
                    bestGap = gap;
                    bestPoint = q;
                }
            }
            if (bestGap < 2 * wall.thickness)
                out.push_back({end, bestPoint, std::max(wall.thickness, 3.0)});
        }
    }
    return out;
}

} // namespace tracing
