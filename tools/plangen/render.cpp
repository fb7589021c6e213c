// Draws a plan on an A3 page: the walls from masks (solid bands filled,
// double walls as the outline of their band, so joins and the jambs at
// openings come out as a draughtsman draws them), doors, windows and, on a
// scanned sheet, clutter and the scanner's faults.
#include "plan.h"
#include "ink/junctions.h"
#include "ink/wall_map_json.h"
#include <QBuffer>
#include <QImage>
#include <cmath>
#include <opencv2/imgproc.hpp>
#include <random>

namespace plangen {

namespace {

constexpr double kA3WidthMm = 297, kA3HeightMm = 420;
constexpr int kShift = 4;  // sub-pixel bits for OpenCV's drawing
constexpr double kOne = 1 << kShift;

struct Geometry {
  double k;  // pixels per real millimetre
  cv::Matx23d toCv;  // mm -> OpenCV drawing coordinates (pixel centres at integers)
  cv::Size size;
};

Geometry pageGeometry(const Plan& plan, double dpi)
{
  Geometry g;
  g.size = {int(std::lround(kA3WidthMm / 25.4 * dpi)), int(std::lround(kA3HeightMm / 25.4 * dpi))};
  g.k = dpi / 25.4 / plan.scale;
  const double ox = (g.size.width - plan.widthMm * g.k) / 2, oy = (g.size.height - plan.heightMm * g.k) / 2;
  g.toCv = cv::Matx23d(g.k, 0, ox, 0, g.k, oy);
  return g;
}

Point apply(const cv::Matx23d& m, Point p)
{
  return {m(0, 0) * p.x + m(0, 1) * p.y + m(0, 2), m(1, 0) * p.x + m(1, 1) * p.y + m(1, 2)};
}

cv::Point fixed(Point p) { return {int(std::lround(p.x * kOne)), int(std::lround(p.y * kOne))}; }

struct Frame {
  Point a, u, n;  // wall start, unit direction, unit left normal (image y down)
  double length;
};

Frame frameOf(const PlanWall& w)
{
  Frame f;
  f.a = w.a;
  f.length = std::hypot(w.b.x - w.a.x, w.b.y - w.a.y);
  f.u = {(w.b.x - w.a.x) / f.length, (w.b.y - w.a.y) / f.length};
  f.n = {f.u.y, -f.u.x};
  return f;
}

Point at(const Frame& f, double along, double across)
{
  return {f.a.x + f.u.x * along + f.n.x * across, f.a.y + f.u.y * along + f.n.y * across};
}

// A rectangle along a wall, in drawing coordinates.
std::vector<cv::Point> band(const Geometry& g, const Frame& f, double from, double to, double left, double right)
{
  std::vector<cv::Point> poly;
  for (Point p : {at(f, from, left), at(f, to, left), at(f, to, right), at(f, from, right)})
    poly.push_back(fixed(apply(g.toCv, p)));
  return poly;
}

void fill(cv::Mat& m, const std::vector<cv::Point>& poly, int value)
{
  cv::fillConvexPoly(m, poly, cv::Scalar(value), cv::LINE_8, kShift);
}

void line(cv::Mat& m, const Geometry& g, Point a, Point b, double widthMm, int value, bool smooth)
{
  const int w = std::max(1, int(std::lround(widthMm * g.k)));
  cv::line(m, fixed(apply(g.toCv, a)), fixed(apply(g.toCv, b)), cv::Scalar(value), w,
           smooth ? cv::LINE_AA : cv::LINE_8, kShift);
}

// Which wall ends are free (meet no other wall).
std::vector<char> freeEnds(const Plan& plan)
{
  ink::WallMap m;
  for (const PlanWall& pw : plan.walls) {
    ink::Wall w;
    w.a = pw.a;
    w.b = pw.b;
    w.thickness = pw.thickness;
    m.walls.push_back(w);
  }
  ink::findJunctions(m, 1);
  std::vector<char> free(2 * plan.walls.size(), 0);
  for (const ink::Junction& j : m.junctions)
    if (j.type == ink::JunctionType::End) {
      const PlanWall& w = plan.walls[j.walls[0]];
      const bool atA = std::hypot(j.at.x - w.a.x, j.at.y - w.a.y) < 1;
      free[2 * size_t(j.walls[0]) + (atA ? 0 : 1)] = 1;
    }
  return free;
}

struct Ink {
  cv::Mat walls;  // 255 where a wall is drawn
};

// Solid bands and double-wall outlines, openings cut out; value 255.
cv::Mat wallInk(const Plan& plan, const Geometry& g, double faceMm)
{
  cv::Mat solid(g.size, CV_8U, cv::Scalar(0)), hollow(g.size, CV_8U, cv::Scalar(0));
  const std::vector<char> free = freeEnds(plan);
  for (size_t i = 0; i < plan.walls.size(); ++i) {
    const PlanWall& w = plan.walls[i];
    const Frame f = frameOf(w);
    const double h = w.thickness / 2;
    const double from = free[2 * i] ? 0 : -h, to = free[2 * i + 1] ? f.length : f.length + h;
    fill(w.kind == ink::WallKind::Solid ? solid : hollow, band(g, f, from, to, h, -h), 255);
  }
  for (const PlanOpening& o : plan.openings) {
    const PlanWall& w = plan.walls[o.wall];
    const Frame f = frameOf(w);
    const double h = w.thickness / 2 + 2 / g.k;
    fill(solid, band(g, f, o.from, o.to, h, -h), 0);
    fill(hollow, band(g, f, o.from, o.to, h, -h), 0);
  }
  const int lw = std::max(1, int(std::lround(faceMm * g.k)));
  cv::Mat inner;
  cv::erode(hollow, inner, cv::getStructuringElement(cv::MORPH_ELLIPSE, {2 * lw + 1, 2 * lw + 1}));
  cv::Mat faces = hollow - inner;
  // The inner outline of a double wall where it runs into a solid band is
  // hidden under the band anyway.
  return solid | faces;
}

void drawDoorsAndWindows(cv::Mat& page, const Plan& plan, const Geometry& g, int value, double lineMm, bool windows,
                         bool smooth)
{
  for (const PlanOpening& o : plan.openings) {
    const PlanWall& w = plan.walls[o.wall];
    const Frame f = frameOf(w);
    const double width = o.to - o.from, h = w.thickness / 2;
    if (o.kind == OpeningKind::Window) {
      if (!windows)
        continue;
      for (double across : {h, 0.0, -h})
        line(page, g, at(f, o.from, across), at(f, o.to, across), lineMm, value, smooth);
    } else if (o.kind == OpeningKind::Hinged) {
      const double hingeAt = o.hingeAtFrom ? o.from : o.to;
      const Point hinge = at(f, hingeAt, 0);
      const double side = o.swingLeft ? 1 : -1;
      const Point leaf = at(f, hingeAt, side * width);
      const Point closed = at(f, o.hingeAtFrom ? o.to : o.from, 0);
      line(page, g, hinge, leaf, lineMm * 1.5, value, smooth);
      const double a0 = std::atan2(leaf.y - hinge.y, leaf.x - hinge.x) * 180 / M_PI;
      double a1 = std::atan2(closed.y - hinge.y, closed.x - hinge.x) * 180 / M_PI;
      if (a1 - a0 > 180)
        a1 -= 360;
      if (a1 - a0 < -180)
        a1 += 360;
      const Point c = apply(g.toCv, hinge);
      const int r = int(std::lround(width * g.k * kOne));
      const int lw = std::max(1, int(std::lround(lineMm * g.k)));
      cv::ellipse(page, fixed(c), {r, r}, 0, std::min(a0, a1), std::max(a0, a1), cv::Scalar(value), lw,
                  smooth ? cv::LINE_AA : cv::LINE_8, kShift);
    } else {
      const double pane = width / 2 + 40;
      for (int k = 0; k < 2; ++k) {
        const double from = k == 0 ? o.from : o.to - pane, to = from + pane;
        const double mid = k == 0 ? 25 : -25;
        const Point c[4] = {at(f, from, mid + 20), at(f, to, mid + 20), at(f, to, mid - 20), at(f, from, mid - 20)};
        for (int e = 0; e < 4; ++e)
          line(page, g, c[e], c[(e + 1) % 4], lineMm, value, smooth);
      }
    }
  }
}

void drawText(cv::Mat& page, const Geometry& g, Point mm, const std::string& text, double heightMm, int value)
{
  // Hershey simplex capitals are about 22 units tall at scale 1.
  const double scale = heightMm * g.k / 22;
  const int thick = std::max(1, int(std::lround(heightMm * g.k / 10)));
  const Point p = apply(g.toCv, mm);
  cv::putText(page, text, {int(p.x), int(p.y)}, cv::FONT_HERSHEY_SIMPLEX, scale, cv::Scalar(value), thick,
              cv::LINE_AA);
}

void drawClutter(cv::Mat& page, const Plan& plan, const Geometry& g, int value, std::mt19937& rng)
{
  const double thin = 18;  // 0.18 mm on paper
  for (const Label& l : plan.labels)
    drawText(page, g, l.at, l.text, 300, value);
  for (const Rect& r : plan.furniture) {
    const Point c[4] = {{r.x0, r.y0}, {r.x1, r.y0}, {r.x1, r.y1}, {r.x0, r.y1}};
    for (int e = 0; e < 4; ++e)
      line(page, g, c[e], c[(e + 1) % 4], thin, value, true);
    line(page, g, {r.x0, r.y0 + 400}, {r.x1, r.y0 + 400}, thin, value, true);
  }
  for (const Rect& r : plan.hatched) {
    const double step = 200;
    for (double s = r.x0 - (r.y1 - r.y0); s < r.x1; s += step) {
      // The 45-degree line x - y = s - r.y0, clipped to the rectangle.
      Point a{s, r.y0}, b{s + (r.y1 - r.y0), r.y1};
      if (a.x < r.x0) {
        a.y += r.x0 - a.x;
        a.x = r.x0;
      }
      if (b.x > r.x1) {
        b.y -= b.x - r.x1;
        b.x = r.x1;
      }
      if (b.x > a.x)
        line(page, g, a, b, thin * 0.8, value, true);
    }
  }
  // Dimension lines above and to the left of the plan, with ticks and
  // figures, and a title under it.
  const double off = 1800;
  if (plan.dimX.size() > 1) {
    const double y = -off;
    line(page, g, {plan.dimX.front(), y}, {plan.dimX.back(), y}, thin, value, true);
    for (size_t i = 0; i < plan.dimX.size(); ++i) {
      const double x = plan.dimX[i];
      line(page, g, {x, y + 600}, {x, y - 200}, thin, value, true);
      line(page, g, {x - 120, y + 120}, {x + 120, y - 120}, thin * 2, value, true);
      if (i + 1 < plan.dimX.size())
        drawText(page, g, {(x + plan.dimX[i + 1]) / 2 - 350, y - 150},
                 std::to_string(int(std::lround(plan.dimX[i + 1] - x))), 220, value);
    }
  }
  if (plan.dimY.size() > 1) {
    const double x = -off;
    line(page, g, {x, plan.dimY.front()}, {x, plan.dimY.back()}, thin, value, true);
    for (const double y : plan.dimY) {
      line(page, g, {x + 600, y}, {x - 200, y}, thin, value, true);
      line(page, g, {x - 120, y + 120}, {x + 120, y - 120}, thin * 2, value, true);
    }
  }
  std::uniform_int_distribution<int> digit(0, 9);
  drawText(page, g, {0, plan.heightMm + 2500}, "PLAN 1/100  No." + std::to_string(digit(rng)) + std::to_string(digit(rng)),
           450, value);
}

}  // namespace

Scanner randomScanner(uint32_t seed)
{
  std::mt19937 rng(seed * 40503u + 7);
  std::uniform_real_distribution<double> u(0, 1);
  Scanner s;
  s.skewDegrees = (u(rng) * 2 - 1) * 0.5;
  s.blurSigma = 0.4 + 0.6 * u(rng);
  const double roll = u(rng);
  s.paper = roll < 0.35 ? cv::Scalar(200, 238, 250) : roll < 0.7 ? cv::Scalar(228, 228, 228) : cv::Scalar(250, 252, 252);
  s.inkLevel = 20 + int(40 * u(rng));
  s.unevenLight = 0.2 * u(rng);
  s.darkBandEdge = u(rng) < 0.6 ? int(u(rng) * 4) : -1;
  s.dust = 0.5 + 2 * u(rng);
  s.pepper = 0.0002 * u(rng);
  s.jpegQuality = 85;
  return s;
}

ink::WallMap truthOf(const Plan& plan, const cv::Matx23d& toPixels, int width, int height, double dpi)
{
  ink::WallMap map;
  map.width = width;
  map.height = height;
  map.dpi = dpi;
  const double k = std::hypot(toPixels(0, 0), toPixels(1, 0));
  for (const PlanWall& pw : plan.walls) {
    ink::Wall w;
    w.a = apply(toPixels, pw.a);
    w.b = apply(toPixels, pw.b);
    w.thickness = pw.thickness * k;
    w.kind = pw.kind;
    ink::placeFaces(w);
    map.walls.push_back(w);
  }
  for (const PlanOpening& o : plan.openings) {
    const Frame f = frameOf(plan.walls[o.wall]);
    const int index = int(map.openings.size());
    map.openings.push_back({apply(toPixels, at(f, o.from, 0)), apply(toPixels, at(f, o.to, 0)), o.wall});
    if (o.kind == OpeningKind::Window)
      continue;
    ink::Door d;
    d.opening = index;
    const double width = o.to - o.from;
    if (o.kind == OpeningKind::Hinged) {
      d.kind = ink::DoorKind::Hinged;
      const double hingeAt = o.hingeAtFrom ? o.from : o.to;
      d.hinge = apply(toPixels, at(f, hingeAt, 0));
      d.leafEnd = apply(toPixels, at(f, hingeAt, (o.swingLeft ? 1 : -1) * width));
      d.closedEnd = apply(toPixels, at(f, o.hingeAtFrom ? o.to : o.from, 0));
    } else {
      d.kind = ink::DoorKind::Sliding;
      const double pane = width / 2 + 40;
      for (int p = 0; p < 2; ++p) {
        const double from = p == 0 ? o.from : o.to - pane, to = from + pane, mid = p == 0 ? 25 : -25;
        d.panes.push_back({apply(toPixels, at(f, from, mid + 20)), apply(toPixels, at(f, to, mid + 20)),
                           apply(toPixels, at(f, to, mid - 20)), apply(toPixels, at(f, from, mid - 20))});
      }
    }
    map.doors.push_back(d);
  }
  ink::findJunctions(map, 1);
  return map;
}

namespace {

// OpenCV drawing coordinates -> the wall map's (pixel centres at +0.5).
cv::Matx23d toMap(const cv::Matx23d& m)
{
  cv::Matx23d out = m;
  out(0, 2) += 0.5;
  out(1, 2) += 0.5;
  return out;
}

cv::Matx23d compose(const cv::Matx23d& outer, const cv::Matx23d& inner)
{
  cv::Matx33d a(outer(0, 0), outer(0, 1), outer(0, 2), outer(1, 0), outer(1, 1), outer(1, 2), 0, 0, 1);
  cv::Matx33d b(inner(0, 0), inner(0, 1), inner(0, 2), inner(1, 0), inner(1, 1), inner(1, 2), 0, 0, 1);
  const cv::Matx33d c = a * b;
  return cv::Matx23d(c(0, 0), c(0, 1), c(0, 2), c(1, 0), c(1, 1), c(1, 2));
}

void jpegRoundTrip(cv::Mat& bgr, int quality)
{
  QImage view(bgr.data, bgr.cols, bgr.rows, int(bgr.step), QImage::Format_BGR888);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  view.save(&buffer, "JPG", quality);
  QImage back;
  if (!back.loadFromData(bytes, "JPG"))
    return;
  back = back.convertToFormat(QImage::Format_BGR888);
  for (int y = 0; y < bgr.rows; ++y)
    std::memcpy(bgr.ptr(y), back.constScanLine(y), size_t(bgr.cols) * 3);
}

}  // namespace

Page renderScan(const Plan& plan, double dpi, const Scanner& s, uint32_t seed)
{
  std::mt19937 rng(seed * 69069u + 3);
  std::uniform_real_distribution<double> u(0, 1);
  const Geometry g = pageGeometry(plan, dpi);
  cv::Mat grey(g.size, CV_8U, cv::Scalar(255));
  grey.setTo(cv::Scalar(s.inkLevel), wallInk(plan, g, 35));
  drawDoorsAndWindows(grey, plan, g, s.inkLevel, 20, true, true);
  drawClutter(grey, plan, g, s.inkLevel, rng);

  const cv::Point2f centre((g.size.width - 1) / 2.0f, (g.size.height - 1) / 2.0f);
  const cv::Mat rotation = cv::getRotationMatrix2D(centre, s.skewDegrees, 1.0);
  const cv::Matx23d skew(rotation.ptr<double>(0)[0], rotation.ptr<double>(0)[1], rotation.ptr<double>(0)[2],
                         rotation.ptr<double>(1)[0], rotation.ptr<double>(1)[1], rotation.ptr<double>(1)[2]);
  if (s.skewDegrees != 0) {
    cv::Mat turned;
    cv::warpAffine(grey, turned, rotation, g.size, cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar(255));
    grey = turned;
  }
  if (s.blurSigma > 0)
    cv::GaussianBlur(grey, grey, {0, 0}, s.blurSigma);

  // Light: paper colour, a gradient across the page, a dark band along one
  // edge where the lid did not close.
  const double mmPx = dpi / 25.4;
  cv::Mat light(1, 1, CV_32F);
  Page page;
  page.image.create(g.size, CV_8UC3);
  const double bandPx = (8 + 10 * u(rng)) * mmPx;
  for (int y = 0; y < g.size.height; ++y) {
    const uchar* in = grey.ptr(y);
    uchar* out = page.image.ptr(y);
    for (int x = 0; x < g.size.width; ++x) {
      double l = 1 - s.unevenLight * (double(x) / g.size.width * 0.5 + double(y) / g.size.height * 0.5);
      if (s.darkBandEdge >= 0) {
        const double d = s.darkBandEdge == 0 ? y : s.darkBandEdge == 1 ? g.size.width - 1 - x
                         : s.darkBandEdge == 2 ? g.size.height - 1 - y : x;
        if (d < bandPx)
          l *= 0.45 + 0.55 * (d / bandPx) * (d / bandPx);
      }
      const double v = in[x] / 255.0 * l;
      for (int c = 0; c < 3; ++c)
        out[3 * x + c] = cv::saturate_cast<uchar>(v * s.paper[c]);
    }
  }
  const double areaCm2 = g.size.area() / (mmPx * mmPx) / 100;
  const int specks = int(s.dust * areaCm2);
  for (int i = 0; i < specks; ++i) {
    const cv::Point p(int(u(rng) * g.size.width), int(u(rng) * g.size.height));
    cv::circle(page.image, p, 1 + int(u(rng) * 0.3 * mmPx), cv::Scalar::all(s.inkLevel + 40 * u(rng)), cv::FILLED);
  }
  const int peppers = int(s.pepper * g.size.area());
  for (int i = 0; i < peppers; ++i) {
    const int x = int(u(rng) * g.size.width), y = int(u(rng) * g.size.height);
    page.image.at<cv::Vec3b>(y, x) = cv::Vec3b::all(uchar(s.inkLevel));
  }
  if (s.jpegQuality > 0)
    jpegRoundTrip(page.image, s.jpegQuality);
  page.truth = truthOf(plan, toMap(compose(skew, g.toCv)), g.size.width, g.size.height, dpi);
  return page;
}

Page renderTraced(const Plan& plan, double dpi)
{
  const Geometry g = pageGeometry(plan, dpi);
  cv::Mat grey(g.size, CV_8U, cv::Scalar(255));
  grey.setTo(cv::Scalar(0), wallInk(plan, g, 25));
  drawDoorsAndWindows(grey, plan, g, 0, 20, false, false);
  Page page;
  cv::cvtColor(grey, page.image, cv::COLOR_GRAY2BGR);
  page.truth = truthOf(plan, toMap(g.toCv), g.size.width, g.size.height, dpi);
  return page;
}

void makeUnderlay(cv::Mat& bgr)
{
  // Green through the curve 0,64,128,192,255 -> 80,100,160,192,255.
  static const int in[5] = {0, 64, 128, 192, 255}, out[5] = {80, 100, 160, 192, 255};
  uchar curve[256];
  for (int v = 0; v < 256; ++v) {
    int k = 0;
    while (k < 3 && v > in[k + 1])
      ++k;
    curve[v] = uchar(std::lround(out[k] + double(out[k + 1] - out[k]) * (v - in[k]) / (in[k + 1] - in[k])));
  }
  for (int y = 0; y < bgr.rows; ++y) {
    uchar* p = bgr.ptr(y);
    for (int x = 0; x < bgr.cols; ++x, p += 3) {
      p[1] = curve[p[1]];
      if (p[0] == p[1] && p[1] == p[2])
        p[0] = p[0] < 255 ? uchar(p[0] + 1) : uchar(254);
    }
  }
}

}  // namespace plangen
