// The ink analysis from end to end: check the input, reduce it to about
// 80 pixels per real metre, binarise, find bands along x, along y (on the
// transposed page) and along any slanted direction, join them into walls.
#include "ink/analyse.h"
#include "ink/junctions.h"
#include "ink/steps.h"
#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace ink {

namespace steps {

bool cancelled(const Options& o) { return o.cancel && o.cancel->load(std::memory_order_relaxed); }

namespace {

// One row's darkest channel per pixel; traced ink (exact grey darker than
// mid-grey) reads as paper when asked.
template <int Ch>
void darkestChannel(const uchar* p, uchar* out, int n, bool ignoreTraced)
{
  if constexpr (Ch == 1) {
    std::copy(p, p + n, out);
  } else {
    for (int x = 0; x < n; ++x, p += Ch) {
      const uchar v = std::min(p[0], std::min(p[1], p[2]));
      out[x] = ignoreTraced && p[0] == p[1] && p[1] == p[2] && v < 128 ? uchar(255) : v;
    }
  }
}

}  // namespace

cv::Mat reduce(const cv::Mat& image, int factor, bool ignoreTraced)
{
  const int w = image.cols / factor, h = image.rows / factor, ch = image.channels();
  cv::Mat out(h, w, CV_8U);
  cv::parallel_for_(cv::Range(0, h), [&](const cv::Range& rows) {
    std::vector<uint32_t> sum(static_cast<size_t>(w));
    std::vector<uchar> line(static_cast<size_t>(w) * factor);
    for (int y = rows.start; y < rows.end; ++y) {
      std::fill(sum.begin(), sum.end(), 0u);
      for (int r = 0; r < factor; ++r) {
        const uchar* p = image.ptr(y * factor + r);
        const int n = w * factor;
        if (ch == 1)
          darkestChannel<1>(p, line.data(), n, ignoreTraced);
        else if (ch == 3)
          darkestChannel<3>(p, line.data(), n, ignoreTraced);
        else
          darkestChannel<4>(p, line.data(), n, ignoreTraced);
        const uchar* l = line.data();
        for (int x = 0; x < w; ++x, l += factor) {
          uint32_t acc = 0;
          for (int i = 0; i < factor; ++i)
            acc += l[i];
          sum[size_t(x)] += acc;
        }
      }
      uchar* o = out.ptr(y);
      const uint32_t n = uint32_t(factor * factor);
      for (int x = 0; x < w; ++x)
        o[x] = uchar((sum[size_t(x)] + n / 2) / n);
    }
  });
  return out;
}

Inked binarise(const cv::Mat& reduced, const Scale& s)
{
  // The paper: the lightest value of blocks wider than any wall, smoothed
  // and spread back over the page, so grey or yellow paper, uneven light
  // and a dark edge all read as paper.
  const int block = std::max(8, int(std::ceil(2.2 * s.maxThickness)));
  const int bw = (reduced.cols + block - 1) / block, bh = (reduced.rows + block - 1) / block;
  cv::Mat paper(bh, bw, CV_8U);
  for (int by = 0; by < bh; ++by)
    for (int bx = 0; bx < bw; ++bx) {
      const cv::Rect r(bx * block, by * block, std::min(block, reduced.cols - bx * block),
                       std::min(block, reduced.rows - by * block));
      double lo, hi;
      cv::minMaxLoc(reduced(r), &lo, &hi);
      paper.at<uchar>(by, bx) = uchar(hi);
    }
  if (bw >= 3 && bh >= 3)
    cv::medianBlur(paper, paper, 3);
  cv::Mat paperFull;
  cv::resize(paper, paperFull, reduced.size(), 0, 0, cv::INTER_LINEAR);

  // Darkness relative to the paper, 0..255.
  cv::Mat dark(reduced.size(), CV_8U);
  for (int y = 0; y < reduced.rows; ++y) {
    const uchar* v = reduced.ptr(y);
    const uchar* p = paperFull.ptr(y);
    uchar* d = dark.ptr(y);
    for (int x = 0; x < reduced.cols; ++x)
      d[x] = p[x] > v[x] ? uchar((p[x] - v[x]) * 255 / std::max(1, int(p[x]))) : 0;
  }
  paperFull.release();
  // The level between paper and ink: Otsu's, kept within what can
  // separate them on a scan, and at least half the darkness of the ink
  // itself so that lines keep their drawn width after the reduction.
  int hist[256] = {};
  for (int y = 0; y < dark.rows; ++y) {
    const uchar* d = dark.ptr(y);
    for (int x = 0; x < dark.cols; ++x)
      ++hist[d[x]];
  }
  cv::Mat ink;
  double level = std::clamp(cv::threshold(dark, ink, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU), 40.0, 110.0);
  long above = 0;
  for (int v = int(level) + 1; v < 256; ++v)
    above += hist[v];
  // The darkness of the ink: its darkest tenth is what the core of a solid
  // band or a heavy line reads, and half of that is where its edges are.
  long seen = 0;
  double solidInk = 0;
  for (int v = 255; v > level && above > 0 && solidInk == 0; --v) {
    seen += hist[v];
    if (seen * 10 >= above)
      solidInk = v;
  }
  level = std::max(level, solidInk * 0.5);
  cv::threshold(dark, ink, level, 255, cv::THRESH_BINARY);
  // A line drawing is mostly paper; a photograph or a dark page is not.
  Inked out;
  out.inkDarkness = std::max({1.0, solidInk, 2 * level});
  if (cv::countNonZero(ink) > 0.3 * double(ink.total()))
    return out;
  out.ink = ink;
  out.dark = dark;
  return out;
}

}  // namespace steps

namespace {

using namespace steps;

// Marks every pixel that belongs to a wall mask, widened a little, so the
// slanted search looks only at the rest.
void clearAround(cv::Mat& residual, const cv::Mat& mask, int grow)
{
  cv::Mat wide;
  cv::dilate(mask, wide, cv::getStructuringElement(cv::MORPH_RECT, {2 * grow + 1, 2 * grow + 1}));
  residual.setTo(0, wide);
}

}  // namespace

Analysis analyseWalls(const cv::Mat& image, double dpi, const Options& o)
{
  Analysis result;
  result.map.width = image.cols;
  result.map.height = image.rows;
  result.map.dpi = dpi;
  auto refuse = [&](const char* why, Status status = Status::Refused) {
    result.status = status;
    result.reason = why;
    return result;
  };
  if (image.empty())
    return refuse("the image is empty");
  if (image.depth() != CV_8U || (image.channels() != 1 && image.channels() != 3 && image.channels() != 4))
    return refuse("the image is not 8-bit grey, BGR or BGRA");
  if (!(dpi >= 10 && dpi <= 10000))
    return refuse("the resolution is outside 10 to 10000 dpi");
  if (!(o.scale > 0) || !(o.minThicknessMm > 0) || !(o.maxThicknessMm > o.minThicknessMm) ||
      !(o.minLengthMm > 0) || !(o.maxOpeningMm >= 0))
    return refuse("the options are out of range");

  // About 80 reduced pixels per real metre, and never so many that the
  // working copies (about ten bytes per reduced pixel) outgrow the image.
  const double perMm = dpi / 25.4 / o.scale;
  int factor = std::max(1, int(std::lround(perMm * 1000 / 85)));
  const double imageBytes = double(image.total()) * image.elemSize();
  while (double(image.total()) / (double(factor) * factor) * 10 > imageBytes)
    ++factor;
  Scale s;
  s.factor = factor;
  s.perMm = perMm / factor;
  s.minThickness = o.minThicknessMm * s.perMm;
  s.maxThickness = o.maxThicknessMm * s.perMm;
  s.detectLength = std::max(3.0, std::min(350.0, o.minLengthMm) * s.perMm);
  s.minLength = o.minLengthMm * s.perMm;
  s.maxOpening = o.maxOpeningMm * s.perMm;
  s.minOpening = std::min(400.0, o.maxOpeningMm) * s.perMm;
  if (s.minThickness < 1.5)
    return refuse("the resolution is too low to tell walls at this scale");
  const double longSide = std::max(image.cols, image.rows) / factor;
  const double shortSide = std::min(image.cols, image.rows) / factor;
  if (longSide < s.minLength + 2 || shortSide < s.minThickness + 2)
    return result;  // too small to hold a wall: nothing found

  const cv::Mat reduced = reduce(image, factor, o.ignoreTraced);
  if (cancelled(o))
    return refuse("cancelled", Status::Cancelled);
  const Inked inked = binarise(reduced, s);
  const cv::Mat& ink = inked.ink;
  if (ink.empty())
    return refuse("the page is mostly dark: not a line drawing");

  std::vector<Piece> pieces;
  cv::Mat residual = ink.clone();
  for (int axis = 0; axis < 2; ++axis) {
    if (cancelled(o))
      break;
    cv::Mat along = ink, alongDark = inked.dark;
    if (axis == 1) {
      cv::transpose(ink, along);
      cv::transpose(inked.dark, alongDark);
    }
    cv::Mat solid, hollow;
    horizontalBands(along, s, solid, hollow);
    std::vector<Piece> found;
    piecesAlongX(solid, alongDark, inked.inkDarkness, s, WallKind::Solid, found);
    piecesAlongX(hollow, alongDark, inked.inkDarkness, s, WallKind::Double, found);
    cv::Mat both = solid | hollow;
    if (axis == 1) {
      for (Piece& p : found) {
        std::swap(p.a.x, p.a.y);
        std::swap(p.b.x, p.b.y);
      }
      cv::transpose(both, both);
    }
    clearAround(residual, both, std::max(1, int(s.minThickness / 2)));
    pieces.insert(pieces.end(), found.begin(), found.end());
  }
  if (!cancelled(o)) {
    const auto slants = slantedDirections(residual, s);
    for (const Slant& slant : slants)
      slantedPieces(inked, slant, s, pieces);
  }
  if (cancelled(o))
    return refuse("cancelled", Status::Cancelled);

  // A band along the page's edge, closer to it than two of the thickest
  // walls, is the scanner's shadow or the sheet's border, not a wall.
  {
    const double w = image.cols / factor, h = image.rows / factor;
    auto nearEdge = [&](const Piece& p, auto coord, double limit) {
      const double m = 2 * s.maxThickness;
      return (coord(p.a) < m && coord(p.b) < m) || (coord(p.a) > limit - m && coord(p.b) > limit - m);
    };
    auto x = [](const cv::Point2d& q) { return q.x; };
    auto y = [](const cv::Point2d& q) { return q.y; };
    pieces.erase(std::remove_if(pieces.begin(), pieces.end(),
                                [&](const Piece& p) { return nearEdge(p, x, w) || nearEdge(p, y, h); }),
                 pieces.end());
  }
  WallMap map = assemble(std::move(pieces), s);
  map.width = image.cols;
  map.height = image.rows;
  map.dpi = dpi;
  const double slack = 2 + 0.25 * s.minThickness * factor;
  findJunctions(map, slack);
  const std::vector<Span> bands = reachAcrossOpenings(inked, s, map);
  findJunctions(map, slack);
  findOpenings(inked, s, map, bands);
  findDoors(inked, s, map);
  result.map = std::move(map);
  return result;
}

}  // namespace ink
