#pragma once
// The walls offered after a confirmed wall: the map's continuations from its
// end that are not traced yet, the most likely first.
#include "walk.h"
#include <vector>

namespace tracing {

// The walls traced so far, as centre-line stretches.
class TraceLog {
public:
    void add(Point from, Point to, int thickness);
    void clear() { traced_.clear(); }
    // Forgets every stretch traced after the first n.
    void truncate(int n)
    {
        if (n >= 0 && n < int(traced_.size()))
            traced_.resize(size_t(n));
    }
    void dropLast()
    {
        if (!traced_.empty())
            traced_.pop_back();
    }
    bool empty() const { return traced_.empty(); }
    int size() const { return int(traced_.size()); }
    // True when most of the stretch lies on a traced one.
    bool covers(const Stretch& s) const;

private:
    struct Entry {
        Point from, to;
        int thickness;
    };
    std::vector<Entry> traced_;
};

// The stretches leaving `end` that are not traced yet, ordered straight on
// first, then by how little they turn from `arrival` (the direction the last
// wall was walked in); right turns before left turns at equal angles. A
// stretch that spans an opening is not offered itself: the wall beyond the
// opening is offered in its place (the door is placed with its own keys).
std::vector<Stretch> continuations(const ink::WallMap& map, Point end, Point arrival, const TraceLog& log);

} // namespace tracing
