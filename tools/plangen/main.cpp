// zorvat-plangen: synthetic floor plans with their ground truth.
//
//   zorvat-plangen [--seed N] [--count N] [--dpi D] [--traced] [--underlay]
//                  [--clean] [--check] -o DIR
//
// Writes DIR/plan-<seed>-<dpi>.png (or .jpg for a degraded scan) and
// DIR/plan-<seed>-<dpi>.walls.json for each seed from N on. --check also
// runs the ink analysis on each page, prints its score and time, and writes
// what it found (.found.json) and a quarter-size picture of the page with
// the truth in green and the found walls and junctions in red (.check.png).
#include "ink/analyse.h"
#include "ink/wall_map_json.h"
#include "plan.h"
#include "score.h"
#include <chrono>
#include <opencv2/imgproc.hpp>
#include <QDir>
#include <QCoreApplication>
#include <QImage>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

void drawMap(cv::Mat& img, const ink::WallMap& m, double f, cv::Scalar colour)
{
  for (const ink::Wall& w : m.walls)
    cv::line(img, {int(w.a.x * f), int(w.a.y * f)}, {int(w.b.x * f), int(w.b.y * f)}, colour,
             std::max(1, int(w.thickness * f / 3)));
  for (const ink::Junction& j : m.junctions) {
    const char* t = j.type == ink::JunctionType::L ? "L" : j.type == ink::JunctionType::T ? "T"
                    : j.type == ink::JunctionType::X ? "X" : "e";
    cv::putText(img, t, {int(j.at.x * f) + 3, int(j.at.y * f) - 3}, cv::FONT_HERSHEY_PLAIN, 1, colour);
  }
  for (const ink::Opening& o : m.openings)
    cv::line(img, {int(o.a.x * f), int(o.a.y * f)}, {int(o.b.x * f), int(o.b.y * f)}, colour * 0.5, 5);
}

bool checkPage(const plangen::Page& page, double dpi, const std::string& base, bool traced)
{
  ink::Options options;
  const auto t0 = std::chrono::steady_clock::now();
  const ink::Analysis found = ink::analyseWalls(page.image, dpi, options);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  if (found.status != ink::Status::Done) {
    std::printf("  refused: %s\n", found.reason.c_str());
    return false;
  }
  const plangen::Score s = plangen::score(page.truth, found.map);
  std::printf("  %.0f ms  loose P %.2f R %.2f  strict P %.2f R %.2f  IoU %.3f  doors P %.2f R %.2f  (%d true, %d found "
              "junctions)\n",
              ms, s.loose.precision(), s.loose.recall(), s.strict.precision(), s.strict.recall(), s.iou,
              s.doors.precision(), s.doors.recall(), s.loose.truth, s.loose.found);
  std::ofstream(base + ".found.json") << ink::toJson(found.map) << "\n";
  const double f = 0.25;
  cv::Mat small;
  cv::resize(page.image, small, {}, f, f, cv::INTER_AREA);
  drawMap(small, page.truth, f, {0, 200, 0});
  drawMap(small, found.map, f, {0, 0, 255});
  QImage view(small.data, small.cols, small.rows, int(small.step), QImage::Format_BGR888);
  return view.save(QString::fromStdString(base + ".check.png"));
}

}  // namespace

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  uint32_t seed = 1;
  int count = 1;
  double dpi = 400;
  bool traced = false, underlay = false, clean = false, check = false;
  QString out;
  const QStringList args = app.arguments();
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool more = i + 1 < args.size();
    if (a == "--seed" && more)
      seed = args[++i].toUInt();
    else if (a == "--count" && more)
      count = args[++i].toInt();
    else if (a == "--dpi" && more)
      dpi = args[++i].toDouble();
    else if (a == "--traced")
      traced = true;
    else if (a == "--underlay")
      underlay = true;
    else if (a == "--clean")
      clean = true;
    else if (a == "--check")
      check = true;
    else if (a == "-o" && more)
      out = args[++i];
    else {
      std::fprintf(stderr, "usage: zorvat-plangen [--seed N] [--count N] [--dpi D] [--traced] [--underlay] [--clean] -o DIR\n");
      return 2;
    }
  }
  if (out.isEmpty() || count < 1 || dpi < 50 || dpi > 1200) {
    std::fprintf(stderr, "zorvat-plangen: give -o DIR, a count of at least 1 and a dpi from 50 to 1200\n");
    return 2;
  }
  QDir().mkpath(out);
  for (int n = 0; n < count; ++n) {
    const uint32_t s = seed + uint32_t(n);
    const plangen::Plan plan = plangen::generatePlan(s);
    plangen::Scanner scanner = plangen::randomScanner(s);
    if (clean)
      scanner = {};
    plangen::Page page = traced ? plangen::renderTraced(plan, dpi) : plangen::renderScan(plan, dpi, scanner, s);
    if (underlay)
      plangen::makeUnderlay(page.image);
    const QString base = QString("%1/plan-%2-%3").arg(out).arg(s).arg(int(dpi));
    const bool jpeg = !traced && !clean && !underlay;
    QImage view(page.image.data, page.image.cols, page.image.rows, int(page.image.step), QImage::Format_BGR888);
    QImage copy = view.copy();
    copy.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    copy.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    if (!copy.save(base + (jpeg ? ".jpg" : ".png"), nullptr, jpeg ? 95 : -1)) {
      std::fprintf(stderr, "zorvat-plangen: cannot write %s\n", qPrintable(base));
      return 1;
    }
    std::ofstream(qPrintable(base + ".walls.json")) << ink::toJson(page.truth) << "\n";
    std::printf("%s\n", qPrintable(base));
    if (check && !checkPage(page, dpi, base.toStdString(), traced))
      return 1;
  }
  return 0;
}
