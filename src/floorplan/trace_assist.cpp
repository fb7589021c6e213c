#include "trace_assist.h"
#include "tracing/fill_barriers.h"
#include "tracing/snap.h"
#include <cmath>

namespace floorplan {

using tracing::operator+;
using tracing::operator-;
using tracing::operator*;

namespace {

tracing::Point centreOf(const Rect& r) { return {(r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0}; }

// A rectangle of the given size whose centre lies nearest to c.
Rect rectAround(tracing::Point c, int32_t w, int32_t h)
{
    const int32_t left = int32_t(std::floor(c.x - w / 2.0 + 0.5));
    const int32_t top = int32_t(std::floor(c.y - h / 2.0 + 0.5));
    return {left, top, left + w, top + h};
}

Rect toRect(const tracing::Square& s) { return {s.left, s.top, s.right, s.bottom}; }

tracing::Point headingOf(KeypadDirection dir)
{
    switch (dir) {
    case KeypadDirection::Up: return {0, -1};
    case KeypadDirection::Down: return {0, 1};
    case KeypadDirection::Left: return {-1, 0};
    case KeypadDirection::Right: return {1, 0};
    }
    return {};
}

QPolygonF band(tracing::Point a, tracing::Point b, double width)
{
    const tracing::Point d = tracing::unit(b - a);
    const tracing::Point n{-d.y * width / 2, d.x * width / 2};
    return QPolygonF({{a.x + n.x, a.y + n.y}, {b.x + n.x, b.y + n.y}, {b.x - n.x, b.y - n.y}, {a.x - n.x, a.y - n.y}});
}

} // namespace

void TraceAssist::setMap(std::shared_ptr<const ink::WallMap> map)
{
    if (map == map_)
        return;
    map_ = std::move(map);
    log_.clear();
    offers_.clear();
    heading_.reset();
}

void TraceAssist::setEnabled(bool on)
{
    enabled_ = on;
    if (!on)
        offers_.clear();
}

std::optional<Rect> TraceAssist::snapStart(const Rect& sel) const
{
    if (!active())
        return std::nullopt;
    const std::optional<tracing::Snap> s = tracing::snapStart(*map_, centreOf(sel), &log_);
    if (!s)
        return std::nullopt;
    return toRect(s->square);
}

void TraceAssist::noteMove(KeypadDirection dir) { heading_ = headingOf(dir); }

std::optional<Rect> TraceAssist::walk(const Rect& sel)
{
    if (!active())
        return std::nullopt;
    const std::optional<tracing::Stretch> s = tracing::walkFrom(*map_, centreOf(sel), heading_);
    if (!s)
        return std::nullopt;
    // Walking on keeps the way just walked, so a second press goes on past
    // the junction in the same direction.
    heading_ = s->direction();
    return rectAround(s->to, sel.width(), sel.height());
}

void TraceAssist::confirmed(const Rect& start, const Rect& end, std::optional<WallConfirm> kind)
{
    offers_.clear();
    current_ = 0;
    if (!active())
        return;
    if (kind)
        lastConfirm_ = kind;
    const tracing::Point from = centreOf(start), to = centreOf(end);
    log_.add(from, to, std::max(start.height(), start.width()));
    if (tracing::distance(from, to) > 0)
        heading_ = tracing::unit(to - from);
    for (const tracing::Stretch& s : tracing::continuations(*map_, to, to - from, log_)) {
        const tracing::Square a = tracing::squareAround(s.from, s.thickness);
        const tracing::Square b = tracing::squareAround(s.to, s.thickness);
        offers_.push_back({toRect(a), toRect(b), s});
    }
}

void TraceAssist::undone()
{
    offers_.clear();
    log_.dropLast();
}

void TraceAssist::untraceTo(int count)
{
    if (count >= log_.size())
        return;
    offers_.clear();
    current_ = 0;
    log_.truncate(count);
}

const TraceOffer* TraceAssist::offer() const
{
    return offers_.empty() ? nullptr : &offers_[size_t(current_)];
}

void TraceAssist::nextOffer()
{
    if (!offers_.empty())
        current_ = (current_ + 1) % int(offers_.size());
}

void TraceAssist::dropOffers()
{
    offers_.clear();
    current_ = 0;
}

QPolygonF TraceAssist::offerOutline() const
{
    const TraceOffer* o = offer();
    if (!o)
        return {};
    // The band the wall covers: its centre line, a half thickness longer at
    // both ends, as wide as the wall.
    const tracing::Point d = o->stretch.direction() * (o->stretch.thickness / 2.0);
    return band(o->stretch.from - d, o->stretch.to + d, o->stretch.thickness);
}

std::vector<QPolygonF> TraceAssist::fillBarriers() const
{
    std::vector<QPolygonF> out;
    if (!active())
        return out;
    for (const tracing::Barrier& b : tracing::fillBarriers(*map_))
        out.push_back(band(b.a, b.b, b.width));
    return out;
}

} // namespace floorplan
