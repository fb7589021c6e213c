// Openings read from the ink along each wall: the wall is walked station by
// station on its centre line, and each station asks whether the ink across
// it is still this wall's (a solid band full across; a double wall's two
// faces with paper between them). Where it is not, for the width of a door
// or a window, the wall has an opening: a gap in the band, a window's three
// lines, a door's jambs, or a sliding door's panes lying in the band.
#include "ink/steps.h"
#include "ink/wall_map_json.h"
#include <algorithm>
#include <cmath>

namespace ink::steps {

namespace {

using P = cv::Point2d;

struct Frame {
  P a, u, n;  // start, unit direction, unit normal (reduced pixels)
  double length = 0, thickness = 0;
};

Frame frameOf(const Wall& w, double f)
{
  Frame fr;
  fr.a = {w.a.x / f, w.a.y / f};
  const P b(w.b.x / f, w.b.y / f);
  fr.length = std::hypot(b.x - fr.a.x, b.y - fr.a.y);
  fr.u = fr.length > 0 ? (b - fr.a) * (1 / fr.length) : P(1, 0);
  fr.n = {fr.u.y, -fr.u.x};
  fr.thickness = w.thickness / f;
  return fr;
}

double darkAt(const cv::Mat& dark, P q)
{
  // Bilinear, pixel centres at +0.5.
  const double x = q.x - 0.5, y = q.y - 0.5;
  const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  auto at = [&](int xx, int yy) {
    return xx >= 0 && yy >= 0 && xx < dark.cols && yy < dark.rows ? double(dark.at<uchar>(yy, xx)) : 0.0;
  };
  return (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
         (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
}

// The darkness across a wall at each station: a row per station, a column
// per pixel of offset from the ink's own middle, from -reach to +reach.
// The usual ink of the wall is taken from stations `from` to `to`.
// The centre line is a straight fit over the whole wall; the ink may bow
// or lean from it by a pixel or two over its length, so each station is
// read about the middle of the ink near it.
cv::Mat profiles(const cv::Mat& dark, const Frame& fr, int stations, int reach, int from, int to)
{
  const int wide = reach + 2;
  std::vector<double> mass(static_cast<size_t>(stations)), middle(static_cast<size_t>(stations));
  for (int i = 0; i < stations; ++i) {
    const P c = fr.a + fr.u * (i + 0.5);
    double m = 0, mk = 0;
    for (int k = -wide; k <= wide; ++k) {
      const double v = darkAt(dark, c + fr.n * double(k));
      m += v;
      mk += v * k;
    }
    mass[size_t(i)] = m;
    middle[size_t(i)] = m > 0 ? mk / m : 0;
  }
  // Stations that carry the wall's usual amount of ink tell where its
  // middle is; the rest (openings, crossings) take it from them.
  std::vector<double> sorted(mass.begin() + from, mass.begin() + to);
  std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2), sorted.end());
  const double usual = sorted[sorted.size() / 2];
  std::vector<int> good;
  for (int i = 0; i < stations; ++i)
    if (usual > 0 && std::abs(mass[size_t(i)] - usual) < 0.25 * usual)
      good.push_back(i);
  std::vector<double> shift(static_cast<size_t>(stations), 0.0);
  if (!good.empty()) {
    const int span = 15;
    size_t lo = 0;
    std::vector<double> near;
    for (int i = 0; i < stations; ++i) {
      while (lo < good.size() && good[lo] < i - span)
        ++lo;
      near.clear();
      for (size_t g = lo; g < good.size() && good[g] <= i + span; ++g)
        near.push_back(middle[size_t(good[g])]);
      if (near.empty()) {
        // The nearest good station either way.
        const auto it = std::lower_bound(good.begin(), good.end(), i);
        const int j = it == good.end() ? good.back()
                      : it == good.begin() ? *it
                      : (i - *(it - 1) <= *it - i ? *(it - 1) : *it);
        shift[size_t(i)] = middle[size_t(j)];
        continue;
      }
      std::nth_element(near.begin(), near.begin() + long(near.size() / 2), near.end());
      shift[size_t(i)] = std::clamp(near[near.size() / 2], -2.0, 2.0);
    }
  }
  cv::Mat out(stations, 2 * reach + 1, CV_8U);
  for (int i = 0; i < stations; ++i) {
    const P c = fr.a + fr.u * (i + 0.5) + fr.n * shift[size_t(i)];
    uchar* row = out.ptr(i);
    for (int k = -reach; k <= reach; ++k)
      row[k + reach] = cv::saturate_cast<uchar>(darkAt(dark, c + fr.n * double(k)));
  }
  return out;
}

// The wall's own darkness across it: at each offset, the median over the
// stations from `from` to `to`, where it was read as a band (openings are
// the smaller part of that).
std::vector<int> typical(const cv::Mat& prof, int from, int to)
{
  std::vector<int> ref(size_t(prof.cols));
  std::vector<uchar> column(size_t(to - from));
  for (int k = 0; k < prof.cols; ++k) {
    for (int i = from; i < to; ++i)
      column[size_t(i - from)] = prof.at<uchar>(i, k);
    std::nth_element(column.begin(), column.begin() + long(column.size() / 2), column.end());
    ref[size_t(k)] = column[column.size() / 2];
  }
  return ref;
}

// Whether a station's darkness across matches the wall's own, the centre
// line allowed a pixel off: no ink lost where the wall has it (a gap, a
// missing face), none gained where it has paper (a window's centre line, a
// sliding door's panes).
bool matches(const uchar* p, const std::vector<int>& ref, int tolerance)
{
  const int n = int(ref.size());
  for (int shift = -1; shift <= 1; ++shift) {
    bool ok = true;
    for (int k = 1; k + 1 < n && ok; ++k) {
      const int v = p[k + shift];
      ok = v >= ref[size_t(k)] - tolerance && v <= ref[size_t(k)] + tolerance;
    }
    if (ok)
      return true;
  }
  return false;
}

// A wall read across at every station of its centre line: its darkness
// there, what it typically is, and which stations match it.
struct Reading {
  Frame fr;
  int stations = 0, reach = 0, tolerance = 0;
  cv::Mat prof;
  std::vector<int> ref;
  std::vector<char> alike;
};

// band: where along the wall (reduced pixels from its end a) it was read as
// a band; empty for all of it.
Reading readWall(const Inked& inked, const Wall& w, double f, Span band = {})
{
  Reading r;
  r.fr = frameOf(w, f);
  r.stations = int(std::floor(r.fr.length));
  if (r.stations < 2)
    return r;
  int from = std::clamp(int(std::ceil(band.from)), 0, r.stations - 1);
  int to = band.to > band.from ? std::clamp(int(std::floor(band.to)), from + 1, r.stations) : r.stations;
  if (to - from < 2) {
    from = 0;
    to = r.stations;
  }
  r.reach = int(std::ceil(r.fr.thickness / 2)) + 2;
  r.prof = profiles(inked.dark, r.fr, r.stations, r.reach, from, to);
  r.ref = typical(r.prof, from, to);
  r.tolerance = int(0.45 * inked.inkDarkness);
  r.alike.resize(size_t(r.stations));
  for (int i = 0; i < r.stations; ++i)
    r.alike[size_t(i)] = matches(r.prof.ptr(i), r.ref, r.tolerance);
  return r;
}

// Where the centre line of `from`, leaving its end `end` (0: a, 1: b),
// first meets another wall that is not parallel to it: the distance from
// the end to that wall's near face, and the crossing on its centre line.
// False when none lies within `limit`.
bool wallAhead(const WallMap& map, size_t wi, int end, double f, double limit, double& toFace, P& crossing)
{
  const Frame fr = frameOf(map.walls[wi], f);
  const P e = end == 0 ? fr.a : fr.a + fr.u * fr.length;
  const P out = end == 0 ? -fr.u : fr.u;
  bool found = false;
  for (size_t wj = 0; wj < map.walls.size(); ++wj) {
    if (wj == wi)
      continue;
    const Frame other = frameOf(map.walls[wj], f);
    const double c = out.x * other.u.y - out.y * other.u.x;
    if (std::abs(c) < std::sin(30 * CV_PI / 180))
      continue;
    const P d = other.a - e;
    const double along = (d.x * other.u.y - d.y * other.u.x) / c;
    const double onOther = (d.x * out.y - d.y * out.x) / c;
    const double slack = fr.thickness / 2 + 2;
    if (onOther < -slack || onOther > other.length + slack)
      continue;
    const double face = along - other.thickness / 2 / std::abs(c);
    if (face <= 0 || face > limit || (found && face >= toFace))
      continue;
    found = true;
    toFace = face;
    crossing = e + out * along;
  }
  return found;
}

}  // namespace

std::vector<Span> reachAcrossOpenings(const Inked& inked, const Scale& s, WallMap& map)
{
  const double f = s.factor;
  std::vector<Span> bands(map.walls.size());
  for (size_t i = 0; i < map.walls.size(); ++i)
    bands[i] = {0, frameOf(map.walls[i], f).length};
  // The piece of wall between an opening and the wall it joins may be too
  // short to be read as a band: the wall then seems to end at the opening.
  const double limit = s.maxOpening + s.detectLength;
  std::vector<char> freeEnd(2 * map.walls.size(), 0);
  for (const Junction& j : map.junctions)
    if (j.type == JunctionType::End && j.walls.size() == 1) {
      const Wall& w = map.walls[size_t(j.walls[0])];
      const bool atA = std::hypot(j.at.x - w.a.x, j.at.y - w.a.y) <= std::hypot(j.at.x - w.b.x, j.at.y - w.b.y);
      freeEnd[2 * size_t(j.walls[0]) + (atA ? 0 : 1)] = 1;
    }
  for (size_t wi = 0; wi < map.walls.size(); ++wi) {
    if (!freeEnd[2 * wi] && !freeEnd[2 * wi + 1])
      continue;
    const Reading r = readWall(inked, map.walls[wi], f);
    if (r.stations < 2)
      continue;
    for (int end = 0; end < 2; ++end) {
      double toFace = 0;
      P crossing;
      if (!freeEnd[2 * wi + size_t(end)] || !wallAhead(map, wi, end, f, limit, toFace, crossing))
        continue;
      // Read on past the end: the wall's own ink must come back just short
      // of the other wall (the piece between), after a stretch without it
      // as wide as an opening.
      const P e = end == 0 ? r.fr.a : r.fr.a + r.fr.u * r.fr.length;
      const P out = end == 0 ? -r.fr.u : r.fr.u;
      const int n = int(std::floor(toFace));
      if (n < s.minOpening)
        continue;
      Frame ahead = r.fr;
      ahead.a = e;
      ahead.u = out;  // the normal stays the wall's own, as its profile reads
      std::vector<char> alike(static_cast<size_t>(n));
      std::vector<uchar> one(r.ref.size());
      for (int i = 0; i < n; ++i) {
        const P c = ahead.a + ahead.u * (i + 0.5);
        for (int k = -r.reach; k <= r.reach; ++k)
          one[size_t(k + r.reach)] = cv::saturate_cast<uchar>(darkAt(inked.dark, c + ahead.n * double(k)));
        alike[size_t(i)] = matches(one.data(), r.ref, r.tolerance);
      }
      // The other wall's face may reach a pixel or two nearer than its
      // centre line and thickness say.
      int last = n;
      for (int k = 0; k < std::max(2, int(0.25 * r.fr.thickness)) && last > 0 && !alike[size_t(last - 1)]; ++k)
        --last;
      int piece = 0;
      while (piece < last && alike[size_t(last - 1 - piece)])
        ++piece;
      int gap = 0;
      for (int i = 0; i < last - piece; ++i)
        gap += !alike[size_t(i)];
      // A solid piece must be told from the other wall's own band, whose
      // face it touches; a double wall's paper between its faces is its own.
      const double shortest = map.walls[wi].kind == WallKind::Solid ? std::max(3.0, 0.5 * r.fr.thickness)
                                                                     : std::max(2.0, 0.25 * r.fr.thickness);
      if (piece < shortest || gap < s.minOpening ||
          last - piece > s.maxOpening + r.fr.thickness)
        continue;
      Wall& w = map.walls[wi];
      (end == 0 ? w.a : w.b) = {crossing.x * f, crossing.y * f};
      placeFaces(w);
      const double added = std::hypot(crossing.x - e.x, crossing.y - e.y);
      if (end == 0) {
        bands[wi].from += added;
        bands[wi].to += added;
      }
    }
  }
  return bands;
}

void findOpenings(const Inked& inked, const Scale& s, WallMap& map, const std::vector<Span>& bands)
{
  const double f = s.factor;
  std::vector<Opening> found;
  for (size_t wi = 0; wi < map.walls.size(); ++wi) {
    const Reading rd = readWall(inked, map.walls[wi], f, wi < bands.size() ? bands[wi] : Span{});
    const Frame& fr = rd.fr;
    const int n = rd.stations;
    if (n < 2)
      continue;
    const std::vector<char>& alike = rd.alike;
    std::vector<char> wall(static_cast<size_t>(n), 1);
    // A station decides with its neighbours: a speck or a missing pixel
    // does not.
    for (int i = 0; i < n; ++i)
      wall[size_t(i)] = alike[size_t(std::max(0, i - 1))] + alike[size_t(i)] + alike[size_t(std::min(n - 1, i + 1))] >= 2;
    // Stations where another wall crosses this one count as wall: the
    // crossing's own ink is no opening.
    for (size_t wj = 0; wj < map.walls.size(); ++wj) {
      if (wj == wi)
        continue;
      const Frame other = frameOf(map.walls[wj], f);
      const double c = fr.u.x * other.u.y - fr.u.y * other.u.x;
      if (std::abs(c) < std::sin(10 * CV_PI / 180))
        continue;
      const P d = other.a - fr.a;
      const double along = (d.x * other.u.y - d.y * other.u.x) / c;  // on this wall
      const double onOther = (d.x * fr.u.y - d.y * fr.u.x) / c;     // on the other
      const double reach = fr.thickness / 2 + 2;
      if (onOther < -reach || onOther > other.length + reach)
        continue;
      const double half = other.thickness / 2 / std::abs(c) + 1;
      for (int i = std::max(0, int(std::floor(along - half))); i < std::min(n, int(std::ceil(along + half))); ++i)
        wall[size_t(i)] = 1;
    }
    // Runs of stations that are no wall.
    struct Run {
      int from, to;
    };
    std::vector<Run> runs;
    for (int i = 0; i < n;) {
      if (wall[size_t(i)]) {
        ++i;
        continue;
      }
      int j = i;
      while (j < n && !wall[size_t(j)])
        ++j;
      runs.push_back({i, j});
      i = j;
    }
    // Two runs that are each a good part of an opening join across a short
    // stretch that looks like wall (where sliding panes overlap); short
    // runs (a hatching line crossing the wall) join nothing.
    const double part = s.minOpening / 2, bridge = std::max(fr.thickness, 160 * s.perMm);
    std::vector<Run> joined;
    for (const Run& r : runs) {
      if (!joined.empty()) {
        Run& last = joined.back();
        if (last.to - last.from >= part && r.to - r.from >= part && r.from - last.to <= bridge &&
            r.to - last.from <= s.maxOpening + fr.thickness) {
          last.to = r.to;
          continue;
        }
      }
      joined.push_back(r);
    }
    // The openings the assembly found between pieces of band on this wall,
    // as stretches along it: their edges are where the band's ink ends,
    // finer than a station.
    struct Known {
      const Opening* o;
      double from, to;
      bool used = false;
    };
    std::vector<Known> known;
    for (const Opening& o : map.openings) {
      if (o.wall != int(wi))
        continue;
      const P a(o.a.x / f, o.a.y / f), b(o.b.x / f, o.b.y / f);
      double t0 = (a - fr.a).dot(fr.u), t1 = (b - fr.a).dot(fr.u);
      if (t0 > t1)
        std::swap(t0, t1);
      known.push_back({&o, t0, t1});
    }
    auto add = [&](P a, P b) {
      Opening o;
      o.a = {a.x * f, a.y * f};
      o.b = {b.x * f, b.y * f};
      o.wall = int(wi);
      found.push_back(o);
    };
    for (const Run& r : joined) {
      const double width = r.to - r.from;
      // Not at the wall's own ends: what lies beyond them is not read.
      if (width < s.minOpening || width > s.maxOpening + fr.thickness || r.from == 0 || r.to == n)
        continue;
      // One known opening over most of the run gives the edges.
      Known* same = nullptr;
      int overlapping = 0;
      for (Known& k : known) {
        const double common = std::min(k.to, double(r.to)) - std::max(k.from, double(r.from));
        if (common > 0.5 * std::min(k.to - k.from, width)) {
          same = &k;
          ++overlapping;
        }
      }
      double from = r.from, to = r.to;
      if (overlapping == 1) {
        // Each edge from it where the two agree; where they do not (the
        // piece of wall between an opening and a junction too short for a
        // band), the ink across the wall says where the wall is.
        same->used = true;
        const double agree = fr.thickness / 2 + 1;
        if (std::abs(same->from - from) <= agree)
          from = same->from;
        if (std::abs(same->to - to) <= agree)
          to = same->to;
      }
      add(fr.a + fr.u * from, fr.a + fr.u * to);
    }
    // A known opening no run covers stays when the ink across most of it
    // is not the wall's either (a run broken by a speck, a narrow window).
    for (const Known& k : known) {
      if (k.used)
        continue;
      const int lo = std::clamp(int(std::floor(k.from)), 0, n), hi = std::clamp(int(std::ceil(k.to)), 0, n);
      int open = 0;
      for (int i = lo; i < hi; ++i)
        open += !wall[size_t(i)];
      if (hi > lo && open >= 0.5 * (hi - lo))
        found.push_back(*k.o);
    }
  }
  map.openings = std::move(found);
}

}  // namespace ink::steps
