// Lays out a plan: rooms split from a rectangle of grid cells, walls as
// maximal straight lines, openings between junctions, and the clutter a
// drawn plan carries (room names, furniture, hatching, dimensions).
#include "plan.h"
#include <algorithm>
#include <cmath>
#include <map>
#include <random>

namespace plangen {

namespace {

constexpr double kGrid = 910;

struct Cells {
  int x0, y0, x1, y1;
};

// Axis-parallel line pieces in cells, before they are merged into walls.
struct Piece {
  bool horizontal;
  int at, from, to;
  bool outer;
};

void split(const Cells& r, std::mt19937& rng, std::vector<Piece>& pieces, std::vector<Cells>& rooms)
{
  const int w = r.x1 - r.x0, h = r.y1 - r.y0;
  const bool small = w <= 5 && h <= 5;
  std::uniform_real_distribution<double> u(0, 1);
  if (small || (w <= 7 && h <= 7 && u(rng) < 0.35) || (w < 6 && h < 6)) {
    rooms.push_back(r);
    return;
  }
  const bool vertical = w > h || (w == h && u(rng) < 0.5);  // a vertical line splits the width
  const int len = vertical ? w : h;
  std::uniform_int_distribution<int> at(3, len - 3);
  const int cut = at(rng);
  if (vertical) {
    pieces.push_back({false, r.x0 + cut, r.y0, r.y1, false});
    split({r.x0, r.y0, r.x0 + cut, r.y1}, rng, pieces, rooms);
    split({r.x0 + cut, r.y0, r.x1, r.y1}, rng, pieces, rooms);
  } else {
    pieces.push_back({true, r.y0 + cut, r.x0, r.x1, false});
    split({r.x0, r.y0, r.x1, r.y0 + cut}, rng, pieces, rooms);
    split({r.x0, r.y0 + cut, r.x1, r.y1}, rng, pieces, rooms);
  }
}

double len(const PlanWall& w) { return std::hypot(w.b.x - w.a.x, w.b.y - w.a.y); }

// Distances along wall w (from a) where other walls meet or cross it,
// with its two ends.
std::vector<double> stations(const Plan& p, int wi)
{
  const PlanWall& w = p.walls[wi];
  const double l = len(w);
  const double ux = (w.b.x - w.a.x) / l, uy = (w.b.y - w.a.y) / l;
  std::vector<double> s{0, l};
  for (int j = 0; j < int(p.walls.size()); ++j) {
    if (j == wi)
      continue;
    const PlanWall& o = p.walls[j];
    const double lo = len(o);
    const double vx = (o.b.x - o.a.x) / lo, vy = (o.b.y - o.a.y) / lo;
    const double cross = ux * vy - uy * vx;
    if (std::abs(cross) < 1e-6)
      continue;
    const double dx = o.a.x - w.a.x, dy = o.a.y - w.a.y;
    const double t = (dx * vy - dy * vx) / cross;
    const double t2 = (dx * uy - dy * ux) / cross;
    if (t > -1 && t < l + 1 && t2 > -1 && t2 < lo + 1)
      s.push_back(std::clamp(t, 0.0, l));
  }
  std::sort(s.begin(), s.end());
  return s;
}

}  // namespace

Plan generatePlan(uint32_t seed, const Layout& layout)
{
  std::mt19937 rng(seed * 2654435761u + 17);
  std::uniform_real_distribution<double> u(0, 1);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

  Plan plan;
  const int W = pick(11, 18), H = pick(9, 15);
  plan.widthMm = W * kGrid;
  plan.heightMm = H * kGrid;

  std::vector<Piece> pieces{{true, 0, 0, W, true}, {true, H, 0, W, true}, {false, 0, 0, H, true}, {false, W, 0, H, true}};
  std::vector<Cells> rooms;
  split({0, 0, W, H}, rng, pieces, rooms);

  // Merge touching collinear pieces into maximal lines.
  std::map<std::tuple<bool, int>, std::vector<std::pair<int, int>>> lines;
  std::map<std::tuple<bool, int>, bool> outerLine;
  for (const Piece& pc : pieces) {
    lines[{pc.horizontal, pc.at}].push_back({pc.from, pc.to});
    outerLine[{pc.horizontal, pc.at}] = pc.outer;
  }
  const int style = layout.style >= 0 ? layout.style : pick(0, 2);
  const double outerT = 150 + 10 * pick(0, 5), innerT = 100 + 10 * pick(0, 5);
  for (auto& [key, spans] : lines) {
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<int, int>> merged;
    for (auto s : spans) {
      if (!merged.empty() && s.first <= merged.back().second)
        merged.back().second = std::max(merged.back().second, s.second);
      else
        merged.push_back(s);
    }
    const auto [horizontal, at] = key;
    const bool outer = outerLine[key];
    for (auto [a, b] : merged) {
      PlanWall w;
      w.thickness = outer ? outerT : innerT;
      w.kind = style == 1 || (style == 2 && !outer) ? ink::WallKind::Double : ink::WallKind::Solid;
      if (horizontal) {
        w.a = {a * kGrid, at * kGrid};
        w.b = {b * kGrid, at * kGrid};
      } else {
        w.a = {at * kGrid, a * kGrid};
        w.b = {at * kGrid, b * kGrid};
      }
      plan.walls.push_back(w);
    }
  }

  // A corner cut off at an angle, inside the corner room so that no inner
  // wall reaches the cut.
  if (u(rng) < layout.obliqueChance) {
    const int corner = pick(0, 3);
    const bool right = corner == 1 || corner == 2, bottom = corner >= 2;
    for (const Cells& r : rooms) {
      const bool here = (right ? r.x1 == W : r.x0 == 0) && (bottom ? r.y1 == H : r.y0 == 0);
      if (!here || r.x1 - r.x0 < 3 || r.y1 - r.y0 < 3)
        continue;
      const double a = pick(2, r.x1 - r.x0 - 1) * kGrid, b = pick(2, r.y1 - r.y0 - 1) * kGrid;
      const Point c{right ? W * kGrid : 0, bottom ? H * kGrid : 0};
      const Point onH{c.x + (right ? -a : a), c.y}, onV{c.x, c.y + (bottom ? -b : b)};
      for (PlanWall& w : plan.walls) {
        // Shorten the two outer walls that met at the corner.
        for (Point* end : {&w.a, &w.b}) {
          if (std::abs(end->x - c.x) < 1 && std::abs(end->y - c.y) < 1) {
            const bool horizontalWall = std::abs(w.a.y - w.b.y) < 1;
            *end = horizontalWall ? onH : onV;
          }
        }
      }
      PlanWall cut;
      cut.a = onH;
      cut.b = onV;
      cut.thickness = outerT;
      cut.kind = style == 1 ? ink::WallKind::Double : ink::WallKind::Solid;
      plan.walls.push_back(cut);
      break;
    }
  }

  // A wall that ends inside a room, far enough from every other wall that
  // its free end is no opening.
  if (u(rng) < layout.stubChance) {
    for (const Cells& r : rooms) {
      const int w = r.x1 - r.x0, h = r.y1 - r.y0;
      if (h >= 5 && w >= 5) {
        const double x = (r.x0 + pick(2, w - 2)) * kGrid;
        const double length = (h - 3) * kGrid;
        PlanWall s;
        s.thickness = innerT;
        s.kind = style == 0 ? ink::WallKind::Solid : ink::WallKind::Double;
        s.a = {x, r.y0 * kGrid};
        s.b = {x, r.y0 * kGrid + length};
        // Only where no cut corner took the wall it hangs from.
        bool onWall = false;
        for (const PlanWall& o : plan.walls)
          onWall = onWall || (std::abs(o.a.y - s.a.y) < 1 && std::abs(o.b.y - s.a.y) < 1 &&
                              std::min(o.a.x, o.b.x) < x - kGrid && std::max(o.a.x, o.b.x) > x + kGrid);
        if (onWall)
          plan.walls.push_back(s);
        break;
      }
    }
  }

  // Openings between junctions, clear of the walls that meet there.
  const int wallCount = int(plan.walls.size());
  for (int wi = 0; wi < wallCount; ++wi) {
    const PlanWall& w = plan.walls[wi];
    const bool outer = w.thickness == outerT && (w.kind == ink::WallKind::Solid || style == 1);
    const std::vector<double> st = stations(plan, wi);
    for (size_t k = 0; k + 1 < st.size(); ++k) {
      const double clear = 300 + std::max(outerT, innerT) / 2;
      const double from = st[k] + clear, to = st[k + 1] - clear;
      PlanOpening o;
      o.wall = wi;
      const double roll = u(rng);
      double width;
      if (outer) {
        if (roll < 0.5) {
          o.kind = OpeningKind::Window;
          width = 900 + 100 * pick(0, 4);
        } else if (roll < 0.65) {
          o.kind = OpeningKind::Hinged;
          width = 800 + 10 * pick(0, 10);
        } else {
          continue;
        }
      } else {
        if (roll < 0.4) {
          o.kind = OpeningKind::Hinged;
          width = 780 + 10 * pick(0, 12);
        } else if (roll < 0.6) {
          o.kind = OpeningKind::Sliding;
          width = 1150 + 10 * pick(0, 15);
        } else {
          continue;
        }
      }
      if (to - from < width)
        continue;
      o.from = from + u(rng) * (to - from - width);
      o.to = o.from + width;
      o.hingeAtFrom = u(rng) < 0.5;
      o.swingLeft = u(rng) < 0.5;
      plan.openings.push_back(o);
    }
  }

  // Clutter: room names, furniture, hatched wet rooms, dimensions.
  static const char* names[] = {"LDK", "BR", "WC", "UB", "CL", "ENT", "DEN", "WIC", "KIT", "ROOM"};
  std::sort(rooms.begin(), rooms.end(), [](const Cells& a, const Cells& b) {
    return (a.x1 - a.x0) * (a.y1 - a.y0) < (b.x1 - b.x0) * (b.y1 - b.y0);
  });
  for (size_t i = 0; i < rooms.size(); ++i) {
    const Cells& r = rooms[i];
    const Rect mm{r.x0 * kGrid, r.y0 * kGrid, r.x1 * kGrid, r.y1 * kGrid};
    plan.labels.push_back({{(mm.x0 + mm.x1) / 2 - 400, (mm.y0 + mm.y1) / 2}, names[pick(0, 9)]});
    if (i == 0) {
      plan.hatched.push_back({mm.x0 + 150, mm.y0 + 150, mm.x1 - 150, mm.y1 - 150});
      continue;
    }
    if (u(rng) < 0.6) {
      // A bed, a table or a counter, away from the walls.
      const double fw = u(rng) < 0.5 ? 1000 : 1400, fh = u(rng) < 0.5 ? 2000 : 800;
      const double x = mm.x0 + 500, y = mm.y1 - 500 - fh;
      if (x + fw < mm.x1 - 500 && y > mm.y0 + 900)
        plan.furniture.push_back({x, y, x + fw, y + fh});
    }
  }
  for (const PlanWall& w : plan.walls) {
    if (std::abs(w.a.y - w.b.y) < 1)
      plan.dimY.push_back(w.a.y);
    if (std::abs(w.a.x - w.b.x) < 1)
      plan.dimX.push_back(w.a.x);
  }
  for (auto* v : {&plan.dimX, &plan.dimY}) {
    std::sort(v->begin(), v->end());
    v->erase(std::unique(v->begin(), v->end()), v->end());
  }
  return plan;
}

}  // namespace plangen
