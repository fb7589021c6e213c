// Doors in the openings: a hinged door is a leaf standing square to the
// wall from one edge of the opening, as long as the opening is wide, with a
// quarter arc from its end back to the other edge; a sliding door is panes
// lying in the gap, each along part of it (a window's lines run the whole
// gap).
#include "ink/steps.h"
#include <algorithm>
#include <cmath>

namespace ink::steps {

namespace {

using P = cv::Point2d;

// Ink at p or near it; thin lines fade in the reduced copy, so a fifth
// of the ink's darkness counts here.
struct Faint {
  const cv::Mat& dark;
  int level;
  bool at(int x, int y) const { return dark.at<uchar>(y, x) >= level; }
  int cols() const { return dark.cols; }
  int rows() const { return dark.rows; }
};

bool inkNear(const Faint& ink, P p)
{
  const int x = int(std::floor(p.x)), y = int(std::floor(p.y));
  // Two pixels either way: the opening's ends are read to about that.
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const int xx = x + dx, yy = y + dy;
      if (xx >= 0 && yy >= 0 && xx < ink.cols() && yy < ink.rows() && ink.at(xx, yy))
        return true;
    }
  return false;
}

// The share of samples along a -> b that have ink near them.
double inkAlong(const Faint& ink, P a, P b)
{
  const double len = std::hypot(b.x - a.x, b.y - a.y);
  const int n = std::max(2, int(len));
  int hits = 0;
  for (int i = 0; i <= n; ++i)
    hits += inkNear(ink, a + (b - a) * (double(i) / n));
  return double(hits) / (n + 1);
}

}  // namespace

void findDoors(const Inked& inked, const Scale& s, WallMap& map)
{
  const Faint ink{inked.dark, std::max(8, int(inked.inkDarkness / 5))};
  const double f = s.factor;
  for (size_t k = 0; k < map.openings.size(); ++k) {
    const Opening& o = map.openings[k];
    if (o.wall < 0)
      continue;
    const double t = map.walls[size_t(o.wall)].thickness / f;
    const P a(o.a.x / f, o.a.y / f), b(o.b.x / f, o.b.y / f);
    const double width = std::hypot(b.x - a.x, b.y - a.y);
    if (width < 2 * t)
      continue;
    const P u = (b - a) * (1 / width), n(u.y, -u.x);

    // The share of pixels with ink along a line at `off` across the centre
    // line, from `from` to `to` of the way through the gap.
    auto along = [&](double off, double from, double to) {
      const int steps = std::max(4, int((to - from) * width));
      int hits = 0;
      for (int i = 0; i <= steps; ++i) {
        const P p = a + u * (width * (from + (to - from) * i / steps)) + n * off;
        const int x = int(std::floor(p.x)), y = int(std::floor(p.y));
        hits += x >= 0 && y >= 0 && x < ink.cols() && y < ink.rows() && ink.at(x, y);
      }
      return double(hits) / (steps + 1);
    };
    // A window: lines along the whole gap on both faces (a door's gap has
    // none; a leaf and arc read there would be hatching or text beside the
    // window; sliding panes overlap only near the centre line).
    bool left = false, right = false;
    for (double off = std::max(1.0, 0.3 * t); off <= t / 2 + 0.5; off += 0.5) {
      left = left || along(off, 0.1, 0.9) >= 0.8;
      right = right || along(-off, 0.1, 0.9) >= 0.8;
    }
    if (left && right)
      continue;

    // Hinged: each edge as the hinge, each side as the swing.
    double best = 0;
    Door hinged;
    for (int edge = 0; edge < 2; ++edge)
      for (const double side : {1.0, -1.0}) {
        const P hinge = edge == 0 ? a : b, closed = edge == 0 ? b : a;
        const P leafEnd = hinge + n * (side * width);
        const double leaf = inkAlong(ink, hinge + n * (side * (t / 2 + 2)), leafEnd);
        // The arc, leaving out the last stretch where it meets the wall.
        const double a0 = std::atan2(leafEnd.y - hinge.y, leafEnd.x - hinge.x);
        double a1 = std::atan2(closed.y - hinge.y, closed.x - hinge.x);
        if (a1 - a0 > CV_PI)
          a1 -= 2 * CV_PI;
        if (a1 - a0 < -CV_PI)
          a1 += 2 * CV_PI;
        const int steps = std::max(8, int(width * CV_PI / 2));
        int hits = 0, count = 0;
        for (int i = 0; i <= steps; ++i) {
          const double ang = a0 + (a1 - a0) * 0.85 * i / steps;
          hits += inkNear(ink, hinge + P(std::cos(ang), std::sin(ang)) * width);
          ++count;
        }
        const double score = std::min(leaf, double(hits) / count);
        if (score > best) {
          best = score;
          hinged.kind = DoorKind::Hinged;
          hinged.hinge = {hinge.x * f, hinge.y * f};
          hinged.leafEnd = {leafEnd.x * f, leafEnd.y * f};
          hinged.closedEnd = {closed.x * f, closed.y * f};
        }
      }
    if (best >= 0.8) {
      hinged.opening = int(k);
      map.doors.push_back(hinged);
      continue;
    }

    // Sliding: panes lying in the gap, one along the first part of it on
    // one side of the centre line, the other along the last part on the
    // other side. A window's lines run the whole gap on both sides; their
    // ends and the overlap in the middle are left out of the reading.
    // A line counts as absent from a part only when no line a pixel either
    // side runs there: the centre line may lean a little from the ink.
    auto absent = [&](double off, double from, double to) {
      for (double d = -1; d <= 1; d += 0.5)
        if (along(off + d, from, to) > 0.2)
          return false;
      return true;
    };
    bool firstLeft = false, lastLeft = false, firstRight = false, lastRight = false;
    for (double off = 0.5; off <= t / 2 + 0.5; off += 0.5)
      for (const double side : {1.0, -1.0}) {
        const double o = side * off;
        const bool onlyFirst = along(o, 0.1, 0.4) >= 0.8 && absent(o, 0.6, 0.9);
        const bool onlyLast = along(o, 0.6, 0.9) >= 0.8 && absent(o, 0.1, 0.4);
        (side > 0 ? firstLeft : firstRight) |= onlyFirst;
        (side > 0 ? lastLeft : lastRight) |= onlyLast;
      }
    if ((firstLeft && lastRight) || (firstRight && lastLeft)) {
      const double firstSide = firstLeft && lastRight ? 1 : -1;
      Door d;
      d.kind = DoorKind::Sliding;
      d.opening = int(k);
      // Two panes, each half the opening and a little more, either side of
      // the centre line.
      const double pane = width / 2 + t / 4, depth = t / 4;
      for (int p = 0; p < 2; ++p) {
        const P from = p == 0 ? a : b - u * pane, to = from + u * pane;
        const P off = n * (firstSide * (p == 0 ? depth / 2 : -depth / 2));
        std::vector<Point> corners;
        for (const P q : {from + off + n * (depth / 2), to + off + n * (depth / 2), to + off - n * (depth / 2),
                          from + off - n * (depth / 2)})
          corners.push_back({q.x * f, q.y * f});
        d.panes.push_back(corners);
      }
      map.doors.push_back(d);
    }
  }
}

}  // namespace ink::steps
