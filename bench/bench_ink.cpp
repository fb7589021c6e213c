// The ink analysis: its speed on the bench's A3 400-dpi plan (reference:
// one Otsu threshold and one 3x3 opening of the same page, grey), and, at
// the end of the run, its quality on generated degraded plans at 300 and
// 400 dpi: junction precision and recall (loose: within 0.02 of the page's
// longer side; strict: within the wall's thickness), wall pixel IoU, and
// the openings in the walls (precision and recall, and recall by what the
// opening holds: a hinged door, a sliding door, a window), and the doors
// read in them.
// ZORVAT_BENCH_INK_PLANS sets how many plans per resolution (default 50).
#include "bench.h"
#include "ink/analyse.h"
#include "plan.h"
#include "score.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <opencv2/imgproc.hpp>

namespace {

using namespace bench;

cv::Mat viewOf(const QImage& img)
{
  return cv::Mat(img.height(), img.width(), CV_8UC4, const_cast<uchar*>(img.constBits()), size_t(img.bytesPerLine()));
}

cv::Mat& greyPage(const Context& c)
{
  static cv::Mat grey;
  if (grey.empty())
    cv::cvtColor(viewOf(c.planImage), grey, cv::COLOR_BGRA2GRAY);
  return grey;
}

Registrar inkRow(
    "ink analysis, walls of the page (ref: threshold + opening)",
    [](const Context& c) {
      const ink::Analysis a = ink::analyseWalls(viewOf(c.planImage), kPlanDpi);
      return Outcome{a.status == ink::Status::Done && !a.map.walls.empty(), 0};
    },
    [](const Context& c) {
      static cv::Mat out;
      const cv::Mat& grey = greyPage(c);
      cv::threshold(grey, out, 0, 255, cv::THRESH_BINARY_INV | cv::THRESH_OTSU);
      cv::morphologyEx(out, out, cv::MORPH_OPEN, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
      return Outcome{true, 0};
    },
    msAtMost(1000));

bool wanted()
{
  const QStringList args = QCoreApplication::arguments();
  const int f = int(args.indexOf("--filter"));
  return f < 0 || f + 1 >= args.size() || QStringLiteral("ink quality").contains(args[f + 1], Qt::CaseInsensitive);
}

void qualityTable()
{
  if (!wanted())
    return;
  const char* env = std::getenv("ZORVAT_BENCH_INK_PLANS");
  const int plans = env ? std::max(1, std::atoi(env)) : 50;
  std::printf("\nInk quality on %d generated degraded A3 plans per resolution (floor: P/R >= 0.90 loose, >= 0.80 "
              "strict, IoU >= 0.85)\n",
              plans);
  std::printf("%-6s %8s %8s %8s %8s %8s %7s %7s %7s %7s %7s %7s %7s %9s %9s\n", "dpi", "loose P", "loose R",
              "strict P", "strict R", "IoU", "open P", "open R", "hinged", "sliding", "window", "door P", "door R",
              "ms/plan", "target");
  for (const double dpi : {300.0, 400.0}) {
    plangen::Matches loose, strict, openings, holds[3], doors;
    double iou = 0, ms = 0;
    for (int i = 0; i < plans; ++i) {
      const uint32_t seed = 1000 + uint32_t(i);
      const plangen::Plan plan = plangen::generatePlan(seed);
      const plangen::Page page = plangen::renderScan(plan, dpi, plangen::randomScanner(seed), seed);
      QElapsedTimer t;
      t.start();
      const ink::Analysis a = ink::analyseWalls(page.image, dpi);
      ms += t.nsecsElapsed() / 1e6;
      const plangen::Score s = plangen::score(page.truth, a.map);
      for (auto [into, from] : {std::pair{&loose, &s.loose}, std::pair{&strict, &s.strict},
                                std::pair{&openings, &s.openings}, std::pair{&holds[0], &s.openingsOf[0]},
                                std::pair{&holds[1], &s.openingsOf[1]}, std::pair{&holds[2], &s.openingsOf[2]},
                                std::pair{&doors, &s.doors}}) {
        into->truth += from->truth;
        into->found += from->found;
        into->matched += from->matched;
      }
      iou += s.iou;
    }
    iou /= plans;
    const bool ok = loose.precision() >= 0.9 && loose.recall() >= 0.9 && strict.precision() >= 0.8 &&
                    strict.recall() >= 0.8 && iou >= 0.85;
    std::printf("%-6.0f %8.3f %8.3f %8.3f %8.3f %8.3f %7.3f %7.3f %7.3f %7.3f %7.3f %7.3f %7.3f %9.0f %9s\n", dpi,
                loose.precision(), loose.recall(), strict.precision(), strict.recall(), iou, openings.precision(),
                openings.recall(), holds[plangen::HoldsHinged].recall(), holds[plangen::HoldsSliding].recall(),
                holds[plangen::HoldsWindow].recall(), doors.precision(), doors.recall(), ms / plans, ok ? "ok" : "MISS");
  }
  std::printf("Openings: a found one counts when both edges lie within the wall's thickness of a true one's; "
              "hinged, sliding and window give the recall of each; a door counts when of the right kind in the right opening.\n");
}

const bool registered = (atExit(qualityTable), true);

}  // namespace
