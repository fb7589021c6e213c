// Bands of wall along one direction: solid runs of ink a wall thick, and
// pairs of thin lines around an empty gap a wall thick; then their centre
// lines, one per connected band.
#include "ink/steps.h"
#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace ink::steps {

namespace {

// The shortest pair of lines looked for, as a share of the shortest band.
constexpr double kShortPair = 0.6;

// Kernels have odd sizes: OpenCV's dilation does not mirror the kernel,
// so an opening with an even one shifts its result by a pixel.
int odd(int n) { return n | 1; }

cv::Mat open(const cv::Mat& in, int w, int h)
{
  w = odd(w);
  h = odd(h);
  cv::Mat out;
  cv::morphologyEx(in, out, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_RECT, {w, h}));
  return out;
}

// A solid band is at least a thin wall thick; a drawn line, even a heavy
// face line, is thinner.
int bandHeight(const Scale& s) { return odd(std::max(2, int(std::lround(s.minThickness)))); }

struct Run {
  int from, to;  // [from, to)
  double mid() const { return (from + to) / 2.0; }
};

// One column of the page (a row of the transposed masks): fills hollow
// between paired lines.
void pairLines(const uchar* thin, const uchar* ink, uchar* hollow, int n, const Scale& s, int maxFace)
{
  std::vector<Run> runs;
  for (int i = 0; i < n;) {
    if (!thin[i]) {
      ++i;
      continue;
    }
    int j = i;
    while (j < n && thin[j])
      ++j;
    if (j - i <= maxFace)
      runs.push_back({i, j});
    i = j;
  }
  for (size_t k = 0; k + 1 < runs.size(); ++k) {
    const Run& a = runs[k];
    const Run& b = runs[k + 1];
    const double d = b.mid() - a.mid();
    if (d < s.minThickness || d > s.maxThickness)
      continue;
    // A third line as close on either side makes this a window or
    // hatching, not a wall.
    if (k > 0 && a.mid() - runs[k - 1].mid() < 1.3 * d)
      continue;
    if (k + 2 < runs.size() && runs[k + 2].mid() - b.mid() < 1.3 * d)
      continue;
    int inGap = 0;
    for (int i = a.to; i < b.from; ++i)
      inGap += ink[i] != 0;
    if (inGap > 1)
      continue;
    std::fill(hollow + a.from, hollow + b.to, uchar(255));
  }
}

}  // namespace

void horizontalBands(const cv::Mat& ink, const Scale& s, cv::Mat& solid, cv::Mat& hollow)
{
  const int length = std::max(3, int(std::lround(s.detectLength)));
  const int th = bandHeight(s);
  solid = open(ink, length, th);
  cv::Mat thin = open(ink, length, 1);
  thin.setTo(0, solid);

  // Pairs are looked for down each column: on the transposed masks a
  // column is a row in memory.
  cv::Mat thinT, inkT;
  cv::transpose(thin, thinT);
  thin.release();
  cv::transpose(ink, inkT);
  cv::Mat hollowT(thinT.size(), CV_8U, cv::Scalar(0));
  cv::parallel_for_(cv::Range(0, thinT.rows), [&](const cv::Range& r) {
    for (int y = r.start; y < r.end; ++y)
      pairLines(thinT.ptr(y), inkT.ptr(y), hollowT.ptr(y), thinT.cols, s, th - 1);
  });
  thinT.release();
  inkT.release();
  cv::transpose(hollowT, hollow);
  hollowT.release();
  // Bridge the columns where dust or a speck in the gap broke the pair.
  cv::morphologyEx(hollow, hollow, cv::MORPH_CLOSE, cv::getStructuringElement(cv::MORPH_RECT, {2 * th + 1, 1}));
  // A pair of lines a wall apart is rarer than a band of ink, and the
  // stretch of a double wall between a junction and a door near it is
  // short (a solid one runs on into the wall it meets): shorter pairs count.
  hollow = open(hollow, std::max(3, int(std::lround(kShortPair * length))), th);
}

namespace {

// The columns of one band component: how many of its pixels each holds,
// their first and last row and the sum of their rows.
struct Columns {
  int x0 = 0;
  std::vector<int> count, top, bottom;
  std::vector<double> sumY;
};

// The rows of a band's two faces (first and last row of its ink across)
// at its end, carried on past the end to look at the ink there.
struct Faces {
  int top, bottom;
};

bool inked(const cv::Mat& dark, int x, int y, double inkEdge)
{
  return x >= 0 && x < dark.cols && y >= 0 && y < dark.rows && dark.at<uchar>(y, x) >= inkEdge;
}

// Where ink leaves the band across a face at image column x: above the
// top face (-1), below the bottom face (+1) or nowhere (0), looking `depth`
// pixels out. A door leaf standing at a jamb, or the end of a door's swing,
// runs on from the wall's end this way, where the wall's own end is clean.
int crossedAt(int x, Faces f, const cv::Mat& dark, double inkEdge, int depth)
{
  auto darkRun = [&](int from, int step) {
    for (int d = 0; d < depth; ++d)
      if (!inked(dark, x, from + step * d, inkEdge))
        return false;
    return true;
  };
  return darkRun(f.top - 1, -1) ? -1 : darkRun(f.bottom + 1, 1) ? 1 : 0;
}

// Whether ink fills image column x from face to face (three quarters of
// the rows at least): the line that closes a double wall's outline at its
// end, or a door leaf across it.
bool closedAcross(int x, Faces f, const cv::Mat& dark, double inkEdge)
{
  int on = 0;
  for (int y = f.top; y <= f.bottom; ++y)
    on += inked(dark, x, y, inkEdge);
  return 4 * on >= 3 * (f.bottom - f.top + 1);
}

// Where the line that leaves the band on `side` near image column x (a
// clean column of the band next to it) meets the band's centre line, in
// continuous x. Each of `depth` rows outside the face gives the line's
// darkness-weighted middle over `reach` columns either side; a door's
// swing curves away from the jamb as it leaves the wall, so the middles
// are fitted as x = e + k * d * d over the distance d from the centre line
// and e is where the line would meet it (a straight leaf gives k = 0). The
// row next to the face is left out: the face's own soft edge would pull
// the middle into the wall.
double crossingLine(int x0, Faces f, int side, const cv::Mat& dark, double inkEdge, int depth, int reach)
{
  const int face = side < 0 ? f.top : f.bottom;
  const double centre = (f.top + f.bottom + 1) / 2.0;
  double n = 0, sq = 0, sx = 0, sqq = 0, sqx = 0, mean = 0, all = 0;
  for (int d = 2; d <= depth + 1; ++d) {
    const int y = face + side * d;
    if (y < 0 || y >= dark.rows)
      continue;
    double sum = 0, weight = 0;
    for (int x = x0 - reach; x <= x0 + reach; ++x) {
      if (x < 0 || x >= dark.cols)
        continue;
      const double v = std::max(0.0, dark.at<uchar>(y, x) - inkEdge / 2);
      sum += v * (x + 0.5);
      weight += v;
    }
    if (weight <= 0)
      continue;
    const double x = sum / weight, q = (y + 0.5 - centre) * (y + 0.5 - centre);
    n += 1;
    sq += q;
    sx += x;
    sqq += q * q;
    sqx += q * x;
    mean += sum;
    all += weight;
  }
  if (all <= 0)
    return x0 + 0.5;
  const double den = n * sqq - sq * sq;
  if (n < 3 || std::abs(den) < 1e-9)
    return mean / all;
  const double slope = (n * sqx - sq * sx) / den;
  return (sx - slope * sq) / n;
}

// How dark image column x is from face to face, as its lower quartile:
// the ink of a solid band, where the thin lines of a window drawn on in
// its opening leave it paper.
double acrossLevel(int x, Faces f, const cv::Mat& dark)
{
  std::vector<uchar> v;
  for (int y = std::max(0, f.top); y <= std::min(dark.rows - 1, f.bottom); ++y)
    if (x >= 0 && x < dark.cols)
      v.push_back(dark.at<uchar>(y, x));
  if (v.empty())
    return 0;
  std::nth_element(v.begin(), v.begin() + long(v.size() / 4), v.end());
  return v[v.size() / 4];
}

// The clean end of a solid band whose last column of ink is `end`, to a
// fraction of a pixel: the ink beyond the last whole column, summed as
// darkness over the band's own and divided by it, is how far the band
// reaches into the columns at its end (a blurred or reduced edge keeps
// its ink, and a threshold would move it by up to a column).
double solidEnd(int end, int step, Faces f, const cv::Mat& dark)
{
  double full = 0;
  for (int j = 2; j <= 4; ++j)
    full += acrossLevel(end - step * j, f, dark) / 3;
  if (full <= 0)
    return step > 0 ? end + 1 : end;
  double reach = 0;
  for (int j = -1; j <= 1; ++j)
    reach += std::clamp(acrossLevel(end + step * j, f, dark) / full, 0.0, 1.0);
  // Columns end - step and on are counted from the boundary before them.
  const double from = step > 0 ? end - 1 : end + 2;
  return from + step * reach;
}

// The end of a band at image column `end` (its last column of ink, the
// band running on in the direction -step), in continuous x: a double
// wall's end first goes on through the line that closes its outline; then
// a line drawn across the end and leaving it through a face (a door leaf
// on its hinge, the swing at the closed door's edge) is centred on the
// end, which lies in its middle.
double bandEnd(int end, int step, Faces f, WallKind kind, const cv::Mat& dark, double inkEdge, int depth,
               int maxLine)
{
  if (kind == WallKind::Double) {
    // The outline may run on a little before it closes, where something
    // touching a face broke the pair of lines.
    int closed = end;
    for (int t = 1; t <= 2 * maxLine; ++t) {
      const int x = end + step * t;
      if (closedAcross(x, f, dark, inkEdge))
        closed = x;
      else if (closed != end || !inked(dark, x, f.top + 1, inkEdge) || !inked(dark, x, f.bottom - 1, inkEdge))
        break;
    }
    end = closed;
  }
  const double edge = step > 0 ? end + 1 : end;
  const int side = crossedAt(end, f, dark, inkEdge, depth);
  if (side == 0)
    return kind == WallKind::Solid ? solidEnd(end, step, f, dark) : edge;
  int t = 0;
  while (t < maxLine && crossedAt(end - step * t, f, dark, inkEdge, depth) == side)
    ++t;
  if (t == maxLine)
    return edge;  // a wall running on across the face, not a line
  return crossingLine(end - step * t, f, side, dark, inkEdge, depth, t + 2);
}

}  // namespace

void piecesAlongX(const cv::Mat& mask, const cv::Mat& dark, double inkDarkness, const Scale& s, WallKind kind,
                  std::vector<Piece>& out)
{
  cv::Mat labels, stats, centroids;
  const int n = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8, CV_32S);
  Columns k;
  // A line drawn across a wall's end (a door leaf, a swing, a double
  // wall's closing line) is no wider than this; what runs on further is a
  // wall of its own.
  const int maxLine = std::max(1, int(std::ceil(50 * s.perMm)));
  const int depth = std::max(3, int(std::lround(s.minThickness)));
  const double inkEdge = inkDarkness / 2;
  for (int i = 1; i < n; ++i) {
    const int x0 = stats.at<int>(i, cv::CC_STAT_LEFT), y0 = stats.at<int>(i, cv::CC_STAT_TOP);
    const int w = stats.at<int>(i, cv::CC_STAT_WIDTH), h = stats.at<int>(i, cv::CC_STAT_HEIGHT);
    const double shortest = s.detectLength * (kind == WallKind::Double ? kShortPair : 1) * 0.9;
    if (w < shortest)
      continue;
    k.x0 = x0;
    k.count.assign(size_t(w), 0);
    k.top.assign(size_t(w), mask.rows);
    k.bottom.assign(size_t(w), -1);
    k.sumY.assign(size_t(w), 0);
    for (int y = y0; y < y0 + h; ++y) {
      const int* l = labels.ptr<int>(y);
      for (int x = x0; x < x0 + w; ++x)
        if (l[x] == i) {
          const size_t c = size_t(x - x0);
          ++k.count[c];
          k.sumY[c] += y;
          k.top[c] = std::min(k.top[c], y);
          k.bottom[c] = std::max(k.bottom[c], y);
        }
    }
    std::vector<int> sorted;
    for (int c : k.count)
      if (c > 0)
        sorted.push_back(c);
    if (sorted.size() < 2)
      continue;
    std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2), sorted.end());
    const double median = sorted[sorted.size() / 2];
    auto full = [&](int c) { return std::abs(k.count[size_t(c)] - median) <= 0.35 * median + 1; };

    // Sliding panes in an opening fill it with a band about half the
    // wall's thickness, joined to the wall on both sides: a run of such
    // columns as long as the narrowest opening splits the band there.
    std::vector<std::pair<int, int>> spans;  // column ranges [from, to]
    {
      int from = -1, thinFrom = -1;
      for (int c = 0; c <= w; ++c) {
        const bool end = c == w || k.count[size_t(c)] == 0;
        const bool thin = !end && k.count[size_t(c)] < 0.8 * median;
        if (from < 0) {
          if (!end && !thin)
            from = c;
          continue;
        }
        if (thin) {
          if (thinFrom < 0)
            thinFrom = c;
          continue;
        }
        if (end || (thinFrom >= 0 && c - thinFrom >= s.minOpening)) {
          const int to = thinFrom >= 0 ? thinFrom - 1 : c - 1;
          spans.push_back({from, to});
          from = end ? -1 : c;
        }
        thinFrom = -1;
      }
    }
    for (auto [first, last] : spans) {
      if (last - first + 1 < shortest)
        continue;
      // A line drawn across the wall's end is centred on it (a door leaf
      // on its hinge, a swing on the closed door's edge): the end lies in
      // the middle of the columns where that line leaves the wall.
      double xa = x0 + first, xb = x0 + last + 1;
      if (last - first > 4 * maxLine) {
        xa = bandEnd(x0 + first, -1, {k.top[size_t(first)], k.bottom[size_t(first)]}, kind, dark, inkEdge, depth,
                     maxLine);
        xb = bandEnd(x0 + last, 1, {k.top[size_t(last)], k.bottom[size_t(last)]}, kind, dark, inkEdge, depth,
                     maxLine);
      }
      // The thickness, face to face, from the ink's darkness rather than
      // its pixel count, which blur and the threshold widen or narrow.
      double thickness = median;
      if (!dark.empty()) {
        std::vector<double> across;
        for (int c = first; c <= last; c += 2) {
          if (k.count[size_t(c)] == 0 || !full(c))
            continue;
          const int from = std::max(0, k.top[size_t(c)] - 2), to = std::min(mask.rows - 1, k.bottom[size_t(c)] + 2);
          if (kind == WallKind::Solid) {
            // The ink across the column, a pixel beyond the band either
            // side for the soft edges.
            double sum = 0;
            for (int y = from; y <= to; ++y)
              sum += dark.at<uchar>(y, x0 + c);
            across.push_back(sum / inkDarkness);
          } else {
            // Each face line's middle and width (its ink across): from the
            // outer edge of one to the outer edge of the other.
            const double mid = (k.top[size_t(c)] + k.bottom[size_t(c)] + 1) / 2.0;
            double mass[2] = {0, 0}, moment[2] = {0, 0};
            for (int y = from; y <= to; ++y) {
              const int side = y + 0.5 < mid ? 0 : 1;
              const double v = dark.at<uchar>(y, x0 + c);
              mass[side] += v;
              moment[side] += v * (y + 0.5);
            }
            if (mass[0] <= 0 || mass[1] <= 0)
              continue;
            across.push_back(moment[1] / mass[1] - moment[0] / mass[0] + (mass[0] + mass[1]) / 2 / inkDarkness);
          }
        }
        if (!across.empty()) {
          std::nth_element(across.begin(), across.begin() + long(across.size() / 2), across.end());
          thickness = across[across.size() / 2];
        }
      }
      if (thickness > s.maxThickness * 1.15 || thickness < s.minThickness * 0.85)
        continue;
      // The centre line: least squares through the middle of each column
      // whose width is the band's own (not a crossing or a blob).
      double n0 = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
      for (int c = first; c <= last; ++c) {
        if (k.count[size_t(c)] == 0 || !full(c))
          continue;
        const double x = x0 + c + 0.5, y = k.sumY[size_t(c)] / k.count[size_t(c)] + 0.5;
        n0 += 1;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
      }
      if (n0 < 2)
        continue;
      const double den = n0 * sxx - sx * sx;
      const double slope = std::abs(den) > 1e-9 ? (n0 * sxy - sx * sy) / den : 0;
      const double at = (sy - slope * sx) / n0;
      Piece p;
      p.a = {xa, at + slope * xa};
      p.b = {xb, at + slope * xb};
      p.thickness = thickness;
      p.kind = kind;
      out.push_back(p);
    }
  }
}

std::vector<Slant> slantedDirections(const cv::Mat& residual, const Scale& s)
{
  // Directions are found on a copy at half the size (any ink in a 2x2
  // block), a quarter of the work; the bands themselves are read at full
  // size afterwards.
  cv::Mat half;
  cv::resize(residual, half, {}, 0.5, 0.5, cv::INTER_AREA);
  cv::threshold(half, half, 0, 255, cv::THRESH_BINARY);
  std::vector<cv::Vec4i> lines;
  cv::HoughLinesP(half, lines, 1, CV_PI / 360, std::max(10, int(s.detectLength / 2)), s.minLength / 2,
                  std::max(1.0, s.minThickness / 4));
  for (cv::Vec4i& l : lines)
    l *= 2;
  struct Seen {
    double angle, length;
    cv::Vec4i line;
  };
  std::vector<Seen> seen;
  for (const cv::Vec4i& l : lines) {
    double a = std::atan2(double(l[3] - l[1]), double(l[2] - l[0]));
    if (a < 0)
      a += CV_PI;
    if (a >= CV_PI)
      a -= CV_PI;
    const double deg = a * 180 / CV_PI;
    if (deg < 5 || deg > 175 || std::abs(deg - 90) < 5)
      continue;
    seen.push_back({a, std::hypot(double(l[2] - l[0]), double(l[3] - l[1])), l});
  }
  std::vector<Slant> out;
  while (out.size() < 4 && !seen.empty()) {
    // The direction with the most line length within a degree of it.
    double best = 0, bestAngle = 0;
    for (const Seen& a : seen) {
      double sum = 0;
      for (const Seen& b : seen)
        if (std::abs(a.angle - b.angle) < CV_PI / 180)
          sum += b.length;
      if (sum > best) {
        best = sum;
        bestAngle = a.angle;
      }
    }
    if (best < 2 * s.minLength)
      break;
    double wsum = 0, asum = 0;
    std::vector<Seen> group, rest;
    for (const Seen& b : seen) {
      if (std::abs(b.angle - bestAngle) < 1.5 * CV_PI / 180) {
        wsum += b.length;
        asum += b.length * b.angle;
        group.push_back(b);
      } else {
        rest.push_back(b);
      }
    }
    seen = std::move(rest);
    // The lines in the turned frame, where they run level: strips of them
    // lying near each other across the direction are read together, so
    // only the page around the lines is turned, not their bounding box.
    const double angle = asum / wsum, c = std::cos(angle), sn = std::sin(angle);
    const double pad = s.maxThickness + 2, reach = s.detectLength + s.maxThickness;
    std::vector<cv::Rect2d> strips;
    for (const Seen& b : group) {
      const double x1 = c * b.line[0] + sn * b.line[1], x2 = c * b.line[2] + sn * b.line[3];
      const double y1 = -sn * b.line[0] + c * b.line[1], y2 = -sn * b.line[2] + c * b.line[3];
      cv::Rect2d r(std::min(x1, x2) - reach, std::min(y1, y2) - pad, std::abs(x2 - x1) + 2 * reach,
                   std::abs(y2 - y1) + 2 * pad);
      for (auto it = strips.begin(); it != strips.end();) {
        if ((*it & r).area() > 0) {
          r |= *it;
          it = strips.erase(it);
        } else {
          ++it;
        }
      }
      strips.push_back(r);
    }
    for (const cv::Rect2d& r : strips)
      out.push_back({angle, r});
  }
  return out;
}

void slantedPieces(const Inked& inked, const Slant& slant, const Scale& s, std::vector<Piece>& out)
{
  // The strip turned level: its pixel (u, v) is the point u + strip.x
  // along the direction and v + strip.y across it.
  const double c = std::cos(slant.angle), sn = std::sin(slant.angle);
  const cv::Rect2d& r = slant.strip;
  const int w = int(std::ceil(r.width)), h = int(std::ceil(r.height));
  if (w < 3 || h < 3 || double(w) * h > 4.0 * inked.ink.total())
    return;
  cv::Mat m = (cv::Mat_<double>(2, 3) << c, sn, -r.x, -sn, c, -r.y);
  cv::Mat level, levelDark;
  cv::warpAffine(inked.ink, level, m, {w, h}, cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar(0));
  cv::threshold(level, level, 127, 255, cv::THRESH_BINARY);
  cv::warpAffine(inked.dark, levelDark, m, {w, h}, cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar(0));
  cv::Mat solid, hollow;
  horizontalBands(level, s, solid, hollow);
  std::vector<Piece> found;
  piecesAlongX(solid, levelDark, inked.inkDarkness, s, WallKind::Solid, found);
  piecesAlongX(hollow, levelDark, inked.inkDarkness, s, WallKind::Double, found);
  cv::Mat back;
  cv::invertAffineTransform(m, back);
  auto unturn = [&](cv::Point2d p) {
    const double x = p.x - 0.5, y = p.y - 0.5;
    return cv::Point2d(back.at<double>(0, 0) * x + back.at<double>(0, 1) * y + back.at<double>(0, 2) + 0.5,
                       back.at<double>(1, 0) * x + back.at<double>(1, 1) * y + back.at<double>(1, 2) + 0.5);
  };
  for (Piece& p : found) {
    // Bands found in the turned region run level; anything else is a
    // blob the line fit made up.
    if (std::abs(p.b.y - p.a.y) > 0.1 * std::abs(p.b.x - p.a.x))
      continue;
    p.a = unturn(p.a);
    p.b = unturn(p.b);
    out.push_back(p);
  }
}

}  // namespace ink::steps
