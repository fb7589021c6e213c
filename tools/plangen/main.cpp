// zorvat-plangen: synthetic floor plans with their ground truth.
//
//   zorvat-plangen [--seed N] [--count N] [--dpi D] [--traced] [--underlay]
//                  [--clean] -o DIR
//
// Writes DIR/plan-<seed>-<dpi>.png (or .jpg for a degraded scan) and
// DIR/plan-<seed>-<dpi>.walls.json for each seed from N on.
#include "ink/wall_map_json.h"
#include "plan.h"
#include <QDir>
#include <QCoreApplication>
#include <QImage>
#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
  QCoreApplication app(argc, argv);
  uint32_t seed = 1;
  int count = 1;
  double dpi = 400;
  bool traced = false, underlay = false, clean = false;
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
  }
  return 0;
}
