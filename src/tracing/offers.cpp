#include "offers.h"
#include <algorithm>
#include <cmath>

namespace tracing {

void TraceLog::add(Point from, Point to, int thickness) { traced_.push_back({from, to, thickness}); }

bool TraceLog::covers(const Stretch& s) const
{
    // Sample the stretch: covered when three quarters of the samples lie on
    // a traced stretch (within half its thickness and a pixel).
    constexpr int kSamples = 8;
    int onTraced = 0;
    for (int i = 0; i < kSamples; ++i) {
        const Point p = s.from + (s.to - s.from) * ((i + 0.5) / kSamples);
        for (const Entry& e : traced_) {
            if (distanceToSegment(e.from, e.to, p) <= std::max(e.thickness, s.thickness) / 2.0 + 1.5) {
                ++onTraced;
                break;
            }
        }
    }
    return onTraced * 4 >= kSamples * 3;
}

std::vector<Stretch> continuations(const ink::WallMap& map, Point end, Point arrival, const TraceLog& log)
{
    const Point in = unit(arrival);
    std::vector<Stretch> offers;
    for (Stretch s : stretchesFrom(map, end)) {
        if (s.throughOpening) {
            // Past the opening, the wall goes on in the same direction.
            const std::optional<Stretch> beyond = walkFrom(map, s.to, s.direction());
            if (!beyond || beyond->throughOpening || dot(beyond->direction(), s.direction()) < 0.99)
                continue;
            s = *beyond;
        }
        if (log.covers(s))
            continue;
        offers.push_back(s);
    }
    // Most likely first: the smallest turn, then right before left (in image
    // coordinates y grows downwards, so a right turn has a positive cross).
    auto key = [&](const Stretch& s) {
        const Point d = s.direction();
        return std::make_pair(std::lround(-dot(d, in) * 1000), cross(in, d) > 0 ? 0 : 1);
    };
    std::stable_sort(offers.begin(), offers.end(),
                     [&](const Stretch& a, const Stretch& b) { return key(a) < key(b); });
    return offers;
}

} // namespace tracing
