// From pieces of band to walls: collinear pieces are one wall across the
// openings between them, ends are brought onto the walls they run into
// (across an opening when one lies between), and what stays short is
// dropped.
#include "ink/steps.h"
#include <algorithm>
#include <cmath>

namespace ink::steps {

namespace {

using P = cv::Point2d;

struct Line {
  P a, b;
  double thickness;
  WallKind kind;
  double length() const { return std::hypot(b.x - a.x, b.y - a.y); }
  P dir() const
  {
    const double l = length();
    return l > 0 ? P((b.x - a.x) / l, (b.y - a.y) / l) : P(1, 0);
  }
};

struct Gap {
  P a, b;
};

double dot(P u, P v) { return u.x * v.x + u.y * v.y; }
double cross(P u, P v) { return u.x * v.y - u.y * v.x; }

// The angle between two directions, ignoring which way they point.
double angleBetween(P u, P v) { return std::acos(std::min(1.0, std::abs(dot(u, v)))); }

// Pieces a and b as one wall when they lie on one line within half a
// thickness and their gap is no wider than an opening.
bool mergeable(const Line& a, const Line& b, const Scale& s, double& gap, double extra = 0)
{
  gap = 1e300;
  if (a.kind != b.kind)
    return false;
  const P u = a.dir();
  if (angleBetween(u, b.dir()) > 3 * CV_PI / 180)
    return false;
  const double tMax = std::max(a.thickness, b.thickness), tMin = std::min(a.thickness, b.thickness);
  if (tMax > 1.6 * tMin + 1)
    return false;
  const double off1 = std::abs(cross(u, b.a - a.a)), off2 = std::abs(cross(u, b.b - a.a));
  if (std::max(off1, off2) > tMax / 2 + 1)
    return false;
  const double s0 = 0, s1 = a.length();
  double t0 = dot(u, b.a - a.a), t1 = dot(u, b.b - a.a);
  if (t0 > t1)
    std::swap(t0, t1);
  gap = std::max(t0 - s1, s0 - t1);
  // The jamb lines and ragged ends make a gap look up to a wall's
  // thickness wider than the opening it is, and the piece of wall between
  // an opening and a junction may be too short to read.
  return gap <= s.maxOpening + tMax + s.detectLength + extra;
}

Line merge(const Line& a, const Line& b)
{
  // The centre line is the axis of both pieces' ink taken together (each
  // a uniform segment): it passes through their length-weighted middle,
  // along their principal direction, so a slight tilt of the longer piece
  // is not carried along the whole wall.
  const Line& lead = a.length() >= b.length() ? a : b;
  const double la = a.length(), lb = b.length();
  const P mid = ((a.a + a.b) * 0.5 * la + (b.a + b.b) * 0.5 * lb) / (la + lb);
  double sxx = 0, sxy = 0, syy = 0;
  for (const Line* l : {&a, &b}) {
    const double len = l->length();
    const P m = (l->a + l->b) * 0.5 - mid, d = l->dir();
    sxx += len * (m.x * m.x + len * len / 12 * d.x * d.x);
    sxy += len * (m.x * m.y + len * len / 12 * d.x * d.y);
    syy += len * (m.y * m.y + len * len / 12 * d.y * d.y);
  }
  const double angle = 0.5 * std::atan2(2 * sxy, sxx - syy);
  P u(std::cos(angle), std::sin(angle));
  if (dot(u, lead.dir()) < 0)
    u = -u;
  double lo = 1e300, hi = -1e300;
  for (P p : {a.a, a.b, b.a, b.b}) {
    lo = std::min(lo, dot(u, p - mid));
    hi = std::max(hi, dot(u, p - mid));
  }
  Line out = lead;
  out.a = mid + u * lo;
  out.b = mid + u * hi;
  out.thickness = (a.thickness * la + b.thickness * lb) / (la + lb);
  return out;
}

// Where the centre lines of a and b cross; false when they are parallel.
bool crossing(const Line& a, const Line& b, P& at)
{
  const P u = a.dir(), v = b.dir();
  const double c = cross(u, v);
  if (std::abs(c) < std::sin(10 * CV_PI / 180))
    return false;
  const double s = cross(b.a - a.a, v) / c;
  at = a.a + u * s;
  return true;
}

}  // namespace

WallMap assemble(std::vector<Piece> pieces, const Scale& s)
{
  std::vector<Line> lines;
  for (const Piece& p : pieces) {
    Line l{p.a, p.b, p.thickness, p.kind};
    // One way round for every direction, so merged pieces keep it.
    if (l.b.x < l.a.x || (l.b.x == l.a.x && l.b.y < l.a.y))
      std::swap(l.a, l.b);
    if (l.length() > 0)
      lines.push_back(l);
  }
  // Gaps narrower than this are breaks in the ink, not doors or windows.
  const double smallGap = std::max(2.0, s.minOpening);
  std::vector<Gap> gaps;

  // A piece no longer than an opening, in line with a longer wall of
  // another kind or thickness and within an opening's width of it, is a
  // door or window drawn in that wall's opening (sliding panes read as a
  // thin solid band). Longer pieces are judged first, and a piece found to
  // be a door judges no other: the short stretch of wall between a junction
  // and sliding panes is in line with the panes, not drawn in them.
  {
    std::vector<char> drop(lines.size(), 0);
    std::vector<size_t> order(lines.size());
    for (size_t i = 0; i < order.size(); ++i)
      order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return lines[a].length() > lines[b].length(); });
    for (const size_t i : order) {
      const Line& p = lines[i];
      for (size_t j = 0; j < lines.size() && !drop[i]; ++j) {
        const Line& q = lines[j];
        // The jambs may add a line width or two to the panes' length.
        if (j == i || drop[j] || q.length() < 0.5 * p.length() || p.length() > s.maxOpening + 2 * q.thickness)
          continue;
        const bool other = q.kind != p.kind || q.thickness > 1.3 * p.thickness + 1;
        if (!other)
          continue;
        // Panes offset either side of the centre line make the piece's
        // own direction unreliable: only its middle and its reach count.
        const P u = q.dir();
        const P mid = (p.a + p.b) * 0.5;
        if (angleBetween(u, p.dir()) > 8 * CV_PI / 180 || std::abs(cross(u, mid - q.a)) > q.thickness / 2 + 1)
          continue;
        double t0 = dot(u, p.a - q.a), t1 = dot(u, p.b - q.a);
        if (t0 > t1)
          std::swap(t0, t1);
        const double gap = std::max(t0 - q.length(), -t1);
        if (gap <= s.maxOpening + q.thickness)
          drop[i] = 1;
      }
    }
    std::vector<Line> kept;
    for (size_t i = 0; i < lines.size(); ++i)
      if (!drop[i])
        kept.push_back(lines[i]);
    lines.swap(kept);
  }

  // Collinear pieces across gaps, repeated until nothing joins. A wall
  // crossing the gap widens what may be bridged by its own width and by the
  // shortest band looked for (the piece between it and an opening may be
  // too short to read).
  for (bool joined = true; joined;) {
    joined = false;
    for (size_t i = 0; i < lines.size() && !joined; ++i)
      for (size_t j = i + 1; j < lines.size() && !joined; ++j) {
        double gap = 0;
        std::vector<std::pair<double, double>> crossed;  // along line i, from its end
        if (!mergeable(lines[i], lines[j], s, gap)) {
          if (gap > s.maxOpening + 3 * s.maxThickness)
            continue;
          const P u = lines[i].dir();
          const bool jAfter = dot(u, (lines[j].a + lines[j].b) * 0.5 - lines[i].a) > lines[i].length() / 2;
          const P from = jAfter ? lines[i].b : lines[i].a;
          const P out = jAfter ? u : -u;
          double width = 0;
          for (size_t k = 0; k < lines.size(); ++k) {
            P at;
            if (k == i || k == j || !crossing(lines[i], lines[k], at))
              continue;
            const double along = dot(out, at - from), onK = dot(lines[k].dir(), at - lines[k].a);
            const double slack = lines[i].thickness / 2 + 2;
            const double half = lines[k].thickness / 2 / std::max(0.2, std::abs(cross(u, lines[k].dir())));
            const double lo = std::max(0.0, along - half), hi = std::min(gap, along + half);
            if (hi <= lo || onK < -slack || onK > lines[k].length() + slack)
              continue;
            width += hi - lo + s.detectLength;
            crossed.push_back({lo, hi});
          }
          if (width == 0 || !mergeable(lines[i], lines[j], s, gap, width))
            continue;
        }
        if (gap > smallGap) {
          // The gap between the facing ends, on the joined centre line,
          // less any wall crossing it.
          const P u = lines[i].dir();
          const bool jAfter = dot(u, (lines[j].a + lines[j].b) * 0.5 - lines[i].a) > lines[i].length() / 2;
          const P from = jAfter ? lines[i].b : lines[i].a;
          const P out = jAfter ? u : -u;
          std::sort(crossed.begin(), crossed.end());
          double start = 0;
          crossed.push_back({gap, gap});
          for (const auto& [lo, hi] : crossed) {
            if (lo - start > smallGap)
              gaps.push_back({from + out * start, from + out * lo});
            start = std::max(start, hi);
          }
        }
        lines[i] = merge(lines[i], lines[j]);
        lines.erase(lines.begin() + long(j));
        joined = true;
      }
  }

  // Ends onto the walls they run into: an end that stops at or inside
  // another wall moves to its centre line; one that stops short of it by
  // no more than an opening moves there too, and the gap is an opening.
  // Reaching across a gap is for walls held at their other end or long
  // enough to be walls on their own; a loose pair of lines near a wall
  // (furniture) stays loose.
  const std::vector<Line> before = lines;
  auto touchesAt = [&](size_t i, int end) {
    const Line& me = before[i];
    const P e = end == 0 ? me.a : me.b;
    const P out = end == 0 ? -me.dir() : me.dir();
    for (size_t j = 0; j < before.size(); ++j) {
      P at;
      if (j == i || !crossing(me, before[j], at))
        continue;
      const double along = dot(before[j].dir(), at - before[j].a);
      const double slack = me.thickness / 2 + 2;
      const double half = before[j].thickness / 2 / std::max(0.2, std::abs(cross(out, before[j].dir())));
      if (along >= -slack && along <= before[j].length() + slack && std::abs(dot(out, at - e)) <= half + slack)
        return true;
    }
    return false;
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    const bool mayReach = before[i].length() >= 3.5 * s.minLength || touchesAt(i, 0) || touchesAt(i, 1);
    for (int end = 0; end < 2; ++end) {
      const Line& me = before[i];
      const P e = end == 0 ? me.a : me.b;
      const P out = end == 0 ? -me.dir() : me.dir();
      double bestS = 1e300;
      P bestAt;
      double bestHalf = 0;
      for (size_t j = 0; j < before.size(); ++j) {
        if (j == i)
          continue;
        const Line& other = before[j];
        P at;
        if (!crossing(me, other, at))
          continue;
        const double along = dot(other.dir(), at - other.a);
        const double slack = me.thickness / 2 + 2;
        if (along < -slack || along > other.length() + slack)
          continue;
        const double sAlong = dot(out, at - e);
        // How far the end may already reach past the other's centre line
        // (an L or T band runs to its far face) and how far short of it.
        // A band meeting another at an angle runs on through it for its
        // own half width times the cotangent as well.
        const double half = other.thickness / 2;
        const double sine = std::max(0.2, std::abs(cross(out, other.dir())));
        const double back = half / sine + me.thickness / 2 * std::abs(dot(out, other.dir())) / sine + 2;
        if (sAlong < -back || sAlong > (mayReach ? s.maxOpening + half : back))
          continue;
        if (std::abs(sAlong) < std::abs(bestS)) {
          bestS = sAlong;
          bestAt = at;
          bestHalf = half / std::max(0.2, std::abs(cross(out, other.dir())));
        }
      }
      if (bestS > 1e299)
        continue;
      if (bestS - bestHalf > smallGap)
        gaps.push_back({e, bestAt - out * bestHalf});
      (end == 0 ? lines[i].a : lines[i].b) = bestAt;
    }
  }

  // Short walls go, and so do walls that touch no other wall unless they
  // are long: a free-standing line pair a metre or two long is furniture
  // (a bed's head, a counter), not a partition.
  std::vector<Line> kept;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line& l = lines[i];
    if (l.length() < s.minLength || l.thickness < s.minThickness * 0.7)
      continue;
    bool touches = false;
    for (size_t j = 0; j < lines.size() && !touches; ++j) {
      P at;
      if (j == i || !crossing(l, lines[j], at))
        continue;
      const double reach = std::max(l.thickness, lines[j].thickness) / 2 + 2;
      const double along = dot(l.dir(), at - l.a), alongOther = dot(lines[j].dir(), at - lines[j].a);
      touches = along >= -reach && along <= l.length() + reach && alongOther >= -reach &&
                alongOther <= lines[j].length() + reach;
    }
    if (touches || l.length() >= 3.5 * s.minLength)
      kept.push_back(l);
  }
  WallMap map;
  const double f = s.factor;
  for (const Line& l : kept) {
    Wall w;
    w.a = {l.a.x * f, l.a.y * f};
    w.b = {l.b.x * f, l.b.y * f};
    w.thickness = l.thickness * f;
    w.kind = l.kind;
    const double dx = w.b.x - w.a.x, dy = w.b.y - w.a.y, len = std::hypot(dx, dy);
    const double h = w.thickness / 2, nx = dy / len * h, ny = -dx / len * h;
    w.faceLeftA = {w.a.x + nx, w.a.y + ny};
    w.faceLeftB = {w.b.x + nx, w.b.y + ny};
    w.faceRightA = {w.a.x - nx, w.a.y - ny};
    w.faceRightB = {w.b.x - nx, w.b.y - ny};
    map.walls.push_back(w);
  }

  // Each gap belongs to the kept wall it lies on, unless another wall
  // crosses it there: a line pair broken where a wall joins is no opening.
  for (const Gap& g : gaps) {
    const P mid = (g.a + g.b) * 0.5;
    const double width = std::hypot(g.b.x - g.a.x, g.b.y - g.a.y);
    if (width <= smallGap || width > s.maxOpening + 2 * s.maxThickness)
      continue;
    int owner = -1;
    bool crossed = false;
    for (size_t i = 0; i < kept.size(); ++i) {
      const Line& l = kept[i];
      const P u = l.dir();
      const double along = dot(u, mid - l.a), across = std::abs(cross(u, mid - l.a));
      const bool onIt = along >= 0 && along <= l.length() && across <= l.thickness / 2 + 1;
      const bool parallel = angleBetween(u, (g.b - g.a) * (1 / width)) < 10 * CV_PI / 180;
      if (onIt && parallel && owner < 0)
        owner = int(i);
      else if (onIt && !parallel)
        crossed = true;
    }
    if (owner < 0 || crossed)
      continue;
    Opening o;
    o.a = {g.a.x * f, g.a.y * f};
    o.b = {g.b.x * f, g.b.y * f};
    o.wall = owner;
    map.openings.push_back(o);
  }
  return map;
}

}  // namespace ink::steps
