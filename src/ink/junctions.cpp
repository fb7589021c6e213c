#include "ink/junctions.h"
#include <algorithm>
#include <cmath>

namespace ink {

namespace {

struct Crossing {
  Point at;
  int wall[2];
  int arms[2];    // 1: the wall ends here, 2: it passes through
  int endOf[2];   // which end (0: a, 1: b) when it ends here
  double reach;   // how far apart crossings may be and still be one junction
};

double length(const Wall& w) { return std::hypot(w.b.x - w.a.x, w.b.y - w.a.y); }

}  // namespace

void findJunctions(WallMap& map, double slack)
{
  map.junctions.clear();
  const int n = int(map.walls.size());
  std::vector<Crossing> crossings;
  for (int i = 0; i < n; ++i) {
    const Wall& wi = map.walls[i];
    const double li = length(wi);
    if (li <= 0)
      continue;
    const double ux = (wi.b.x - wi.a.x) / li, uy = (wi.b.y - wi.a.y) / li;
    for (int j = i + 1; j < n; ++j) {
      const Wall& wj = map.walls[j];
      const double lj = length(wj);
      if (lj <= 0)
        continue;
      const double vx = (wj.b.x - wj.a.x) / lj, vy = (wj.b.y - wj.a.y) / lj;
      const double cross = ux * vy - uy * vx;
      if (std::abs(cross) < std::sin(10.0 * M_PI / 180))
        continue;  // parallel walls do not meet
      // a_i + s u = a_j + t v
      const double dx = wj.a.x - wi.a.x, dy = wj.a.y - wi.a.y;
      const double s = (dx * vy - dy * vx) / cross;
      const double t = (dx * uy - dy * ux) / cross;
      const double reachI = wj.thickness / 2 + slack, reachJ = wi.thickness / 2 + slack;
      if (s < -reachI || s > li + reachI || t < -reachJ || t > lj + reachJ)
        continue;
      Crossing c;
      c.at = {wi.a.x + s * ux, wi.a.y + s * uy};
      c.wall[0] = i;
      c.wall[1] = j;
      const double endI = std::min(std::abs(s), std::abs(li - s));
      const double endJ = std::min(std::abs(t), std::abs(lj - t));
      c.arms[0] = endI <= reachI ? 1 : 2;
      c.arms[1] = endJ <= reachJ ? 1 : 2;
      c.endOf[0] = std::abs(s) <= std::abs(li - s) ? 0 : 1;
      c.endOf[1] = std::abs(t) <= std::abs(lj - t) ? 0 : 1;
      c.reach = std::max(wi.thickness, wj.thickness) + slack;
      crossings.push_back(c);
    }
  }

  // Group crossings into junctions: each joins the first group with a
  // member near enough.
  std::vector<int> group(crossings.size(), -1);
  int groups = 0;
  for (size_t k = 0; k < crossings.size(); ++k) {
    for (size_t m = 0; m < k && group[k] < 0; ++m) {
      const double reach = std::max(crossings[k].reach, crossings[m].reach);
      if (std::hypot(crossings[k].at.x - crossings[m].at.x, crossings[k].at.y - crossings[m].at.y) <= reach)
        group[k] = group[m];
    }
    if (group[k] < 0)
      group[k] = groups++;
  }

  std::vector<char> endUsed(2 * size_t(n), 0);
  for (int g = 0; g < groups; ++g) {
    std::vector<int> armsOf(n, 0);
    Point sum;
    int count = 0;
    for (size_t k = 0; k < crossings.size(); ++k) {
      if (group[k] != g)
        continue;
      const Crossing& c = crossings[k];
      for (int side = 0; side < 2; ++side)
        armsOf[c.wall[side]] = std::max(armsOf[c.wall[side]], c.arms[side]);
      sum.x += c.at.x;
      sum.y += c.at.y;
      ++count;
    }
    Junction j;
    j.at = {sum.x / count, sum.y / count};
    int arms = 0;
    for (int w = 0; w < n; ++w)
      if (armsOf[w] > 0) {
        arms += armsOf[w];
        j.walls.push_back(w);
      }
    if (arms < 2)
      continue;
    j.type = arms == 2 ? JunctionType::L : arms == 3 ? JunctionType::T : JunctionType::X;
    for (size_t k = 0; k < crossings.size(); ++k) {
      if (group[k] != g)
        continue;
      const Crossing& c = crossings[k];
      for (int side = 0; side < 2; ++side)
        if (armsOf[c.wall[side]] == 1)
          endUsed[2 * size_t(c.wall[side]) + size_t(c.endOf[side])] = 1;
    }
    map.junctions.push_back(j);
  }

  for (int w = 0; w < n; ++w) {
    if (length(map.walls[w]) <= 0)
      continue;
    for (int e = 0; e < 2; ++e) {
      if (endUsed[2 * size_t(w) + size_t(e)])
        continue;
      Junction j;
      j.at = e == 0 ? map.walls[w].a : map.walls[w].b;
      j.type = JunctionType::End;
      j.walls = {w};
      map.junctions.push_back(j);
    }
  }
}

}  // namespace ink
