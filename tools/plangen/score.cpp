#include "score.h"
#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace plangen {

namespace {

double dist(ink::Point a, ink::Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Closest pairs first, each junction used once.
Matches match(const ink::WallMap& truth, const ink::WallMap& found, bool strict)
{
  Matches m;
  m.truth = int(truth.junctions.size());
  m.found = int(found.junctions.size());
  const double loose = 0.02 * std::max(truth.width, truth.height);
  struct Pair {
    double d;
    int t, f;
  };
  std::vector<Pair> pairs;
  for (int t = 0; t < m.truth; ++t) {
    const ink::Junction& jt = truth.junctions[size_t(t)];
    double reach = loose;
    if (strict) {
      reach = 0;
      for (int w : jt.walls)
        reach = std::max(reach, truth.walls[size_t(w)].thickness);
    }
    for (int f = 0; f < m.found; ++f) {
      const ink::Junction& jf = found.junctions[size_t(f)];
      const double d = dist(jt.at, jf.at);
      if (jf.type == jt.type && d <= reach)
        pairs.push_back({d, t, f});
    }
  }
  std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.d < b.d; });
  std::vector<char> usedT(size_t(m.truth), 0), usedF(size_t(m.found), 0);
  for (const Pair& p : pairs) {
    if (usedT[size_t(p.t)] || usedF[size_t(p.f)])
      continue;
    usedT[size_t(p.t)] = usedF[size_t(p.f)] = 1;
    ++m.matched;
  }
  return m;
}

ink::Point middle(const ink::WallMap& m, const ink::Door& d)
{
  if (d.opening < 0 || d.opening >= int(m.openings.size()))
    return d.hinge;
  const ink::Opening& o = m.openings[size_t(d.opening)];
  return {(o.a.x + o.b.x) / 2, (o.a.y + o.b.y) / 2};
}

Matches matchDoors(const ink::WallMap& truth, const ink::WallMap& found)
{
  Matches m;
  m.truth = int(truth.doors.size());
  m.found = int(found.doors.size());
  std::vector<char> used(found.doors.size(), 0);
  for (const ink::Door& t : truth.doors) {
    if (t.opening < 0 || t.opening >= int(truth.openings.size()))
      continue;
    const ink::Opening& o = truth.openings[size_t(t.opening)];
    const double width = dist(o.a, o.b);
    for (size_t i = 0; i < found.doors.size(); ++i) {
      const ink::Door& f = found.doors[i];
      if (used[i] || f.kind != t.kind || dist(middle(truth, t), middle(found, f)) > width / 2)
        continue;
      if (t.kind == ink::DoorKind::Hinged &&
          (dist(t.hinge, f.hinge) > width / 4 || dist(t.leafEnd, f.leafEnd) > width / 4))
        continue;
      used[i] = 1;
      ++m.matched;
      break;
    }
  }
  return m;
}

// Closest pairs first, each opening used once.
void matchOpenings(const ink::WallMap& truth, const ink::WallMap& found, Score& s)
{
  s.openings.truth = int(truth.openings.size());
  s.openings.found = int(found.openings.size());
  std::vector<int> holds(truth.openings.size(), HoldsWindow);
  for (const ink::Door& d : truth.doors)
    if (d.opening >= 0 && d.opening < int(holds.size()))
      holds[size_t(d.opening)] = d.kind == ink::DoorKind::Sliding ? HoldsSliding : HoldsHinged;
  for (int h : holds)
    ++s.openingsOf[h].truth;
  struct Pair {
    double d;
    size_t t, f;
  };
  std::vector<Pair> pairs;
  for (size_t t = 0; t < truth.openings.size(); ++t) {
    const ink::Opening& ot = truth.openings[t];
    const double reach = ot.wall >= 0 && ot.wall < int(truth.walls.size()) ? truth.walls[size_t(ot.wall)].thickness : 0;
    for (size_t f = 0; f < found.openings.size(); ++f) {
      const ink::Opening& of = found.openings[f];
      const double same = std::max(dist(ot.a, of.a), dist(ot.b, of.b));
      const double swapped = std::max(dist(ot.a, of.b), dist(ot.b, of.a));
      const double d = std::min(same, swapped);
      if (d <= reach)
        pairs.push_back({d, t, f});
    }
  }
  std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.d < b.d; });
  std::vector<char> usedT(truth.openings.size(), 0), usedF(found.openings.size(), 0);
  for (const Pair& p : pairs) {
    if (usedT[p.t] || usedF[p.f])
      continue;
    usedT[p.t] = usedF[p.f] = 1;
    ++s.openings.matched;
    ++s.openingsOf[holds[p.t]].matched;
  }
}

}  // namespace

cv::Mat wallPixels(const ink::WallMap& map, int step)
{
  cv::Mat out((map.height + step - 1) / step, (map.width + step - 1) / step, CV_8U, cv::Scalar(0));
  std::vector<char> freeEnd(2 * map.walls.size(), 0);
  for (const ink::Junction& j : map.junctions)
    if (j.type == ink::JunctionType::End && j.walls.size() == 1) {
      const ink::Wall& w = map.walls[size_t(j.walls[0])];
      freeEnd[2 * size_t(j.walls[0]) + (dist(j.at, w.a) <= dist(j.at, w.b) ? 0 : 1)] = 1;
    }
  auto band = [&](ink::Point a, ink::Point b, double half, double extendA, double extendB, int value) {
    const double len = dist(a, b);
    if (len <= 0)
      return;
    const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len, nx = uy * half, ny = -ux * half;
    const ink::Point a2{a.x - ux * extendA, a.y - uy * extendA}, b2{b.x + ux * extendB, b.y + uy * extendB};
    std::vector<cv::Point> poly;
    for (ink::Point p : {ink::Point{a2.x + nx, a2.y + ny}, ink::Point{b2.x + nx, b2.y + ny},
                         ink::Point{b2.x - nx, b2.y - ny}, ink::Point{a2.x - nx, a2.y - ny}})
      poly.push_back(cv::Point(int(std::lround((p.x / step - 0.5) * 16)), int(std::lround((p.y / step - 0.5) * 16))));
    cv::fillConvexPoly(out, poly, cv::Scalar(value), cv::LINE_8, 4);
  };
  for (size_t i = 0; i < map.walls.size(); ++i) {
    const ink::Wall& w = map.walls[i];
    const double h = w.thickness / 2;
    band(w.a, w.b, h, freeEnd[2 * i] ? 0 : h, freeEnd[2 * i + 1] ? 0 : h, 255);
  }
  for (const ink::Opening& o : map.openings) {
    const double h = o.wall >= 0 ? map.walls[size_t(o.wall)].thickness / 2 + 1 : 0;
    band(o.a, o.b, h, 0, 0, 0);
  }
  return out;
}

Score score(const ink::WallMap& truth, const ink::WallMap& found)
{
  Score s;
  s.loose = match(truth, found, false);
  s.strict = match(truth, found, true);
  s.doors = matchDoors(truth, found);
  matchOpenings(truth, found, s);
  const cv::Mat t = wallPixels(truth, 1), f = wallPixels(found, 1);
  const double both = cv::countNonZero(t & f), either = cv::countNonZero(t | f);
  s.iou = either > 0 ? both / either : 1.0;
  return s;
}

}  // namespace plangen
