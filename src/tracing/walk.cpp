#include "walk.h"
#include <limits>

namespace tracing {

namespace {

// How far a point may lie from a track's centre line and still be on it:
// half the thickness, plus a pixel for squares rounded to whole pixels.
double onTrackReach(const Track& t) { return t.thickness / 2 + 1.5; }

// Positions closer than this along a track count as the same stop.
constexpr double kSameStop = 2.0;

// The cosine of the widest angle between a heading and the way walked.
constexpr double kMinAlignment = 0.5;

double nearWallThickness(const ink::WallMap& map, Point p)
{
    double best = 0, bestDist = std::numeric_limits<double>::max();
    for (const ink::Wall& w : map.walls) {
        const double d = distanceToSegment(w.a, w.b, p);
        if (d < bestDist) {
            bestDist = d;
            best = w.thickness;
        }
    }
    return best;
}

// Where a walk along t may stop, as positions along a->b, sorted.
std::vector<double> stopsOn(const ink::WallMap& map, const Track& t)
{
    const double len = distance(t.a, t.b);
    const double reach = onTrackReach(t);
    std::vector<double> stops{0.0, len};
    auto addIfOn = [&](Point p) {
        const double s = along(t.a, t.b, p);
        if (s > 0 && s < len && distanceToSegment(t.a, t.b, p) <= reach)
            stops.push_back(s);
    };
    for (const ink::Junction& j : map.junctions)
        addIfOn(j.at);
    for (int w = 0; w < int(map.walls.size()); ++w) {
        if (w == t.wall)
            continue;
        addIfOn(map.walls[size_t(w)].a);
        addIfOn(map.walls[size_t(w)].b);
    }
    for (const ink::Opening& o : map.openings) {
        if (t.wall >= 0 && o.wall != t.wall && o.wall >= 0)
            continue;
        addIfOn(o.a);
        addIfOn(o.b);
    }
    std::sort(stops.begin(), stops.end());
    return stops;
}

bool insideOpening(const ink::WallMap& map, const Track& t, Point p)
{
    if (t.wall < 0)
        return true; // a gap track is an opening all along
    for (const ink::Opening& o : map.openings) {
        if (o.wall != t.wall && o.wall >= 0)
            continue;
        const double len = distance(o.a, o.b);
        if (len > 0 && distanceToSegment(o.a, o.b, p) <= onTrackReach(t)) {
            const double s = along(o.a, o.b, p);
            if (s > 0 && s < len)
                return true;
        }
    }
    return false;
}

// The stretch from position s along t in direction sign (+1 towards b),
// to the first stop beyond s; nothing when the track ends there.
std::optional<Stretch> stretchAlong(const ink::WallMap& map, const Track& t, double s, int sign)
{
    const std::vector<double> stops = stopsOn(map, t);
    std::optional<double> next;
    if (sign > 0) {
        for (const double stop : stops)
            if (stop > s + kSameStop) {
                next = stop;
                break;
            }
    } else {
        for (auto it = stops.rbegin(); it != stops.rend(); ++it)
            if (*it < s - kSameStop) {
                next = *it;
                break;
            }
    }
    if (!next)
        return std::nullopt;
    const Point dir = unit(t.b - t.a);
    Stretch st;
    st.from = t.a + dir * std::clamp(s, 0.0, distance(t.a, t.b));
    st.to = t.a + dir * *next;
    st.wall = t.wall;
    st.thickness = wholeThickness(t.thickness);
    st.throughOpening = insideOpening(map, t, (st.from + st.to) * 0.5);
    return st;
}

struct Way {
    Stretch stretch;
    double alignment = 0;
};

std::vector<Way> waysFrom(const ink::WallMap& map, Point from, std::optional<Point> heading)
{
    std::vector<Way> ways;
    const Point h = heading ? unit(*heading) : Point{};
    for (const Track& t : tracksOf(map)) {
        if (distance(t.a, t.b) <= 0 || distanceToSegment(t.a, t.b, from) > onTrackReach(t))
            continue;
        const double s = along(t.a, t.b, from);
        for (const int sign : {1, -1}) {
            if (auto st = stretchAlong(map, t, s, sign))
                ways.push_back({*st, dot(st->direction(), h)});
        }
    }
    return ways;
}

} // namespace

std::vector<Track> tracksOf(const ink::WallMap& map)
{
    std::vector<Track> tracks;
    tracks.reserve(map.walls.size() + map.openings.size());
    for (int w = 0; w < int(map.walls.size()); ++w) {
        const ink::Wall& wall = map.walls[size_t(w)];
        tracks.push_back({wall.a, wall.b, wall.thickness, w});
    }
    for (const ink::Opening& o : map.openings) {
        if (o.wall >= 0 && o.wall < int(map.walls.size()))
            continue; // walked as part of its wall
        const double t = std::max(nearWallThickness(map, o.a), nearWallThickness(map, o.b));
        tracks.push_back({o.a, o.b, t, -1});
    }
    return tracks;
}

std::optional<Stretch> walkFrom(const ink::WallMap& map, Point from, std::optional<Point> heading)
{
    const std::vector<Way> ways = waysFrom(map, from, heading);
    if (heading && length(*heading) > 0) {
        const Way* best = nullptr;
        for (const Way& w : ways)
            if (w.alignment >= kMinAlignment && (!best || w.alignment > best->alignment))
                best = &w;
        if (best)
            return best->stretch;
    }
    if (ways.size() == 1)
        return ways.front().stretch;
    return std::nullopt;
}

std::vector<Stretch> stretchesFrom(const ink::WallMap& map, Point from)
{
    std::vector<Stretch> out;
    for (const Way& w : waysFrom(map, from, std::nullopt))
        out.push_back(w.stretch);
    return out;
}

} // namespace tracing
