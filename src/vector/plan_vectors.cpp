#include "vector/plan_vectors.h"
#include <algorithm>
#include <cmath>
#include <numbers>

namespace vectors {

bool PlanUnits::valid() const
{
    return std::isfinite(dpi) && dpi > 0 && std::isfinite(scaleDenominator) && scaleDenominator > 0;
}

QString layerName(Layer layer)
{
    switch (layer) {
    case Layer::Walls:
        return QStringLiteral("壁");
    case Layer::Doors:
        return QStringLiteral("建具");
    case Layer::Openings:
        return QStringLiteral("開口");
    }
    return {};
}

namespace {

struct ToMm {
    double k;
    double heightPx;
    MmPoint operator()(const ink::Point& p) const { return {p.x * k, (heightPx - p.y) * k}; }
};

bool same(const ink::Point& a, const ink::Point& b)
{
    return a.x == b.x && a.y == b.y;
}

double length(double dx, double dy)
{
    return std::hypot(dx, dy);
}

// The unit normal to the left of a->b in image coordinates (y down).
bool leftNormal(const ink::Point& a, const ink::Point& b, double& nx, double& ny)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len = length(dx, dy);
    if (len <= 0)
        return false;
    nx = dy / len;
    ny = -dx / len;
    return true;
}

// The wall's two faces; a map that gives only the centre line and thickness
// (all face points alike) gets faces at half the thickness either side.
void wallFaces(const ink::Wall& w, ink::Point face[4])
{
    face[0] = w.faceLeftA;
    face[1] = w.faceLeftB;
    face[2] = w.faceRightA;
    face[3] = w.faceRightB;
    const bool given = !(same(face[0], face[1]) && same(face[0], face[2]) && same(face[0], face[3]));
    double nx, ny;
    if (given || !leftNormal(w.a, w.b, nx, ny))
        return;
    const double h = w.thickness / 2;
    face[0] = {w.a.x + nx * h, w.a.y + ny * h};
    face[1] = {w.b.x + nx * h, w.b.y + ny * h};
    face[2] = {w.a.x - nx * h, w.a.y - ny * h};
    face[3] = {w.b.x - nx * h, w.b.y - ny * h};
}

double degrees(MmPoint from, MmPoint to)
{
    double a = std::atan2(to.y - from.y, to.x - from.x) * 180 / std::numbers::pi;
    if (a < 0)
        a += 360;
    return a >= 360 ? a - 360 : a;
}

// The stretches of a wall (as fractions of its centre line, 0 at a and 1 at
// b) left between its openings: the wall's line runs on through them, the
// drawing must not.
std::vector<std::pair<double, double>> solidStretches(const ink::WallMap& map, int index)
{
    const ink::Wall& w = map.walls[size_t(index)];
    const double dx = w.b.x - w.a.x, dy = w.b.y - w.a.y, len2 = dx * dx + dy * dy;
    std::vector<std::pair<double, double>> gaps;
    if (len2 > 0)
        for (const ink::Opening& o : map.openings) {
            if (o.wall != index)
                continue;
            double t0 = ((o.a.x - w.a.x) * dx + (o.a.y - w.a.y) * dy) / len2;
            double t1 = ((o.b.x - w.a.x) * dx + (o.b.y - w.a.y) * dy) / len2;
            if (t0 > t1)
                std::swap(t0, t1);
            t0 = std::clamp(t0, 0.0, 1.0);
            t1 = std::clamp(t1, 0.0, 1.0);
            if (t1 > t0)
                gaps.emplace_back(t0, t1);
        }
    std::sort(gaps.begin(), gaps.end());
    std::vector<std::pair<double, double>> pieces;
    double from = 0;
    for (const auto& [g0, g1] : gaps) {
        if (g0 > from)
            pieces.emplace_back(from, g0);
        from = std::max(from, g1);
    }
    if (from < 1)
        pieces.emplace_back(from, 1.0);
    return pieces;
}

ink::Point along(const ink::Point& a, const ink::Point& b, double t)
{
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

void addOpening(PlanVectors& out, const ink::WallMap& map, const ink::Opening& o, const ToMm& mm)
{
    double thickness = 0;
    if (o.wall >= 0 && o.wall < int(map.walls.size()))
        thickness = map.walls[size_t(o.wall)].thickness;
    double nx, ny;
    if (thickness <= 0 || !leftNormal(o.a, o.b, nx, ny)) {
        out.polylines.push_back({Layer::Openings, {mm(o.a), mm(o.b)}, false});
        return;
    }
    const double h = thickness / 2;
    out.polylines.push_back({Layer::Openings,
                             {mm({o.a.x + nx * h, o.a.y + ny * h}), mm({o.b.x + nx * h, o.b.y + ny * h}),
                              mm({o.b.x - nx * h, o.b.y - ny * h}), mm({o.a.x - nx * h, o.a.y - ny * h})},
                             true});
}

void addDoor(PlanVectors& out, const ink::Door& d, const ToMm& mm)
{
    if (d.kind == ink::DoorKind::Sliding) {
        for (const auto& pane : d.panes) {
            if (pane.size() < 2)
                continue;
            Polyline p{Layer::Doors, {}, pane.size() > 2};
            for (const auto& corner : pane)
                p.points.push_back(mm(corner));
            out.polylines.push_back(std::move(p));
        }
        return;
    }
    const MmPoint hinge = mm(d.hinge), leaf = mm(d.leafEnd), closed = mm(d.closedEnd);
    const double radius = length(leaf.x - hinge.x, leaf.y - hinge.y);
    if (radius <= 0)
        return;
    out.polylines.push_back({Layer::Doors, {hinge, leaf}, false});
    if (length(closed.x - hinge.x, closed.y - hinge.y) <= 0)
        return;
    // The swing is the shorter way round between the open leaf and the
    // closed position; an arc in the file always runs counter-clockwise.
    const double a = degrees(hinge, leaf), b = degrees(hinge, closed);
    double sweep = b - a;
    if (sweep < 0)
        sweep += 360;
    if (sweep <= 180)
        out.arcs.push_back({Layer::Doors, hinge, radius, a, b});
    else
        out.arcs.push_back({Layer::Doors, hinge, radius, b, a});
}

} // namespace

PlanVectors buildPlanVectors(const ink::WallMap& map, const PlanUnits& units)
{
    PlanVectors out;
    out.widthPx = map.width;
    out.heightPx = map.height;
    out.mmPerPixel = units.mmPerPixel();
    out.scaleDenominator = units.scaleDenominator;
    out.widthMm = map.width * out.mmPerPixel;
    out.heightMm = map.height * out.mmPerPixel;
    out.wallCount = int(map.walls.size());
    const ToMm mm{out.mmPerPixel, double(map.height)};

    for (int i = 0; i < int(map.walls.size()); ++i) {
        const ink::Wall& w = map.walls[size_t(i)];
        ink::Point f[4];
        wallFaces(w, f);
        for (const auto& [t0, t1] : solidStretches(map, i)) {
            const ink::Point la = along(f[0], f[1], t0), lb = along(f[0], f[1], t1);
            const ink::Point ra = along(f[2], f[3], t0), rb = along(f[2], f[3], t1);
            if (w.kind == ink::WallKind::Double) {
                out.polylines.push_back({Layer::Walls, {mm(la), mm(lb)}, false});
                out.polylines.push_back({Layer::Walls, {mm(ra), mm(rb)}, false});
            } else {
                out.polylines.push_back({Layer::Walls, {mm(la), mm(lb), mm(rb), mm(ra)}, true});
            }
        }
    }
    for (const ink::Opening& o : map.openings)
        addOpening(out, map, o, mm);
    for (const ink::Door& d : map.doors)
        addDoor(out, d, mm);
    return out;
}

} // namespace vectors
