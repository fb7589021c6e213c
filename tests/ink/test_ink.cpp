// The ink analysis against generated plans with exact ground truth, the
// wall map's junction rules and JSON form, and pages that are no plan.
#include "ink/analyse.h"
#include "ink/junctions.h"
#include "ink/wall_map_json.h"
#include "plan.h"
#include "score.h"
#include "testsupport/testmain.h"
#include <QFile>
#include <QRegularExpression>
#include <atomic>
#include <opencv2/imgproc.hpp>
#include <random>

Q_DECLARE_METATYPE(ink::WallMap)
Q_DECLARE_METATYPE(cv::Mat)

namespace {

ink::Wall wall(double x1, double y1, double x2, double y2, double t = 10)
{
  ink::Wall w;
  w.a = {x1, y1};
  w.b = {x2, y2};
  w.thickness = t;
  return w;
}

QString typesOf(const ink::WallMap& m)
{
  QStringList types;
  for (const ink::Junction& j : m.junctions)
    types << (j.type == ink::JunctionType::L   ? "L"
              : j.type == ink::JunctionType::T ? "T"
              : j.type == ink::JunctionType::X ? "X"
                                               : "e");
  types.sort();
  return types.join("");
}

// The process's peak resident memory so far, in bytes.
qint64 peakMemory()
{
  QFile f("/proc/self/status");
  if (!f.open(QIODevice::ReadOnly))
    return -1;
  const QRegularExpression hwm("VmHWM:\\s+(\\d+) kB");
  const QRegularExpressionMatch m = hwm.match(QString::fromLatin1(f.readAll()));
  return m.hasMatch() ? m.captured(1).toLongLong() * 1024 : -1;
}

struct Total {
  plangen::Matches loose, strict, doors, openings, sliding;
  double iou = 0;
  int pages = 0;
  void add(const plangen::Score& s)
  {
    for (auto [into, from] :
         {std::pair{&loose, &s.loose}, std::pair{&strict, &s.strict}, std::pair{&doors, &s.doors},
          std::pair{&openings, &s.openings}, std::pair{&sliding, &s.openingsOf[plangen::HoldsSliding]}}) {
      into->truth += from->truth;
      into->found += from->found;
      into->matched += from->matched;
    }
    iou += s.iou;
    ++pages;
  }
};

}  // namespace

class TestInk : public QObject {
  Q_OBJECT

private slots:
  // First, while the process's peak memory is still low enough to show
  // what the analysis adds to it.
  void hugePageTakesAtMostOneMoreImage()
  {
#ifdef __SANITIZE_ADDRESS__
    QSKIP("AddressSanitizer keeps freed blocks in quarantine, so peak memory says nothing here");
#endif
    cv::Mat page(20000, 20000, CV_8U, cv::Scalar(255));
    for (int i = 1; i < 10; ++i) {
      cv::line(page, {2000 * i, 1000}, {2000 * i, 19000}, cv::Scalar(0), 30);
      cv::line(page, {1000, 2000 * i}, {19000, 2000 * i}, cv::Scalar(0), 30);
    }
    const qint64 before = peakMemory();
    const ink::Analysis a = ink::analyseWalls(page, 600);
    const qint64 after = peakMemory();
    QVERIFY(before > 0);
    QVERIFY2(after - before <= qint64(page.total()), qPrintable(QString("grew by %1 MB").arg((after - before) >> 20)));
    // A grid of 30-px lines at 600 dpi and 1/100: walls 127 mm thick.
    QCOMPARE(int(a.status), int(ink::Status::Done));
    QCOMPARE(int(a.map.walls.size()), 18);
  }

  void junctionTypes_data()
  {
    QTest::addColumn<ink::WallMap>("map");
    QTest::addColumn<QString>("types");
    auto make = [](std::initializer_list<ink::Wall> walls) {
      ink::WallMap m;
      m.walls = walls;
      return m;
    };
    QTest::newRow("L, ends overlapping by half a thickness")
        << make({wall(0, 0, 100, 0), wall(100, -5, 100, 100)}) << "Lee";
    QTest::newRow("T") << make({wall(0, 0, 100, 0), wall(50, 0, 50, 80)}) << "Tee e";
    QTest::newRow("X") << make({wall(0, 0, 100, 0), wall(50, -50, 50, 50)}) << "Xeeee";
    QTest::newRow("slanted L") << make({wall(0, 0, 100, 0), wall(100, 0, 160, 60)}) << "Lee";
    QTest::newRow("parallel walls never meet") << make({wall(0, 0, 100, 0), wall(0, 8, 100, 8)}) << "eeee";
    QTest::newRow("short of the other wall by more than half its thickness")
        << make({wall(0, 0, 100, 0), wall(50, 20, 50, 100)}) << "eeee";
    QTest::newRow("three walls at one corner: T")
        << make({wall(0, 0, 100, 0), wall(0, 0, 0, 100), wall(0, 0, -100, 0)}) << "Teee";
  }

  void junctionTypes()
  {
    QFETCH(ink::WallMap, map);
    QFETCH(QString, types);
    ink::findJunctions(map, 1);
    QCOMPARE(typesOf(map), QString(types).remove(' '));
  }

  void jsonRoundTripAndRejects()
  {
    const plangen::Plan plan = plangen::generatePlan(7);
    const ink::WallMap truth = plangen::renderTraced(plan, 100).truth;
    QVERIFY(!truth.doors.empty() && !truth.openings.empty());
    ink::WallMap back;
    std::string error;
    QVERIFY(ink::fromJson(ink::toJson(truth), back, &error));
    QCOMPARE(back.walls.size(), truth.walls.size());
    QCOMPARE(back.walls[3].b.y, truth.walls[3].b.y);
    QCOMPARE(back.walls[3].faceLeftA.x, truth.walls[3].faceLeftA.x);
    QCOMPARE(typesOf(back), typesOf(truth));
    QCOMPARE(back.openings.back().wall, truth.openings.back().wall);
    QCOMPARE(back.doors.size(), truth.doors.size());
    QCOMPARE(int(back.doors.front().kind), int(truth.doors.front().kind));

    for (const char* bad : {"", "[]", "{\"width\": 10}", "{\"width\":1,\"height\":1,\"dpi\":1,\"walls\":[{\"x1\":0}]}",
                            "{\"width\":1,\"height\":1,\"dpi\":1,\"openings\":[{\"x1\":0,\"y1\":0,\"x2\":1,\"y2\":1,\"wall\":4}]}",
                            "{\"width\":1,\"height\":1,\"dpi\":1,\"junctions\":[{\"x\":0,\"y\":0,\"type\":\"Y\"}]}"}) {
      ink::WallMap kept = truth;
      QVERIFY2(!ink::fromJson(bad, kept, &error), bad);
      QVERIFY(!error.empty());
      QCOMPARE(kept.walls.size(), truth.walls.size());  // untouched on failure
    }
  }

  // The measure the issue sets, on a few degraded scans at both resolutions
  // (one with a slanted corner), on Zorvat's own tracing, and on a scan made
  // into an underlay.
  void generatedPlansMeetTheFloor()
  {
    Total scans, traced;
    const struct {
      uint32_t seed;
      double dpi;
      bool oblique;
      bool underlay;
    } pages[] = {{101, 300, true, false}, {102, 400, false, false}, {103, 300, false, true}, {104, 400, true, true}};
    for (const auto& p : pages) {
      plangen::Layout layout;
      layout.obliqueChance = p.oblique ? 1 : 0;
      const plangen::Plan plan = plangen::generatePlan(p.seed, layout);
      plangen::Page page = plangen::renderScan(plan, p.dpi, plangen::randomScanner(p.seed), p.seed);
      if (p.underlay)
        plangen::makeUnderlay(page.image);
      const ink::Analysis a = ink::analyseWalls(page.image, p.dpi);
      QCOMPARE(int(a.status), int(ink::Status::Done));
      scans.add(plangen::score(page.truth, a.map));
      if (p.oblique) {
        const plangen::Page own = plangen::renderTraced(plan, p.dpi);
        traced.add(plangen::score(own.truth, ink::analyseWalls(own.image, p.dpi).map));
      }
    }
    for (const Total* t : {&scans, &traced}) {
      const QString s = QString("loose P %1 R %2, strict P %3 R %4, IoU %5; openings P %6 R %7 (%8 of %9 sliding)")
                            .arg(t->loose.precision()).arg(t->loose.recall()).arg(t->strict.precision())
                            .arg(t->strict.recall()).arg(t->iou / t->pages).arg(t->openings.precision())
                            .arg(t->openings.recall()).arg(t->sliding.matched).arg(t->sliding.truth);
      qInfo("%s", qPrintable(s));
      QVERIFY2(t->loose.precision() >= 0.9 && t->loose.recall() >= 0.9, qPrintable(s));
      QVERIFY2(t->strict.precision() >= 0.8 && t->strict.recall() >= 0.8, qPrintable(s));
      QVERIFY2(t->iou / t->pages >= 0.85, qPrintable(s));
      // Openings where doors, sliding doors and windows interrupt a wall,
      // the sliding panes lying in the wall's band included.
      QVERIFY2(t->openings.precision() >= 0.9 && t->openings.recall() >= 0.85, qPrintable(s));
      QVERIFY2(t->sliding.matched >= 0.75 * t->sliding.truth, qPrintable(s));
    }
    // Doors are read where the ink allows, sliding ones too; those found
    // are mostly right.
    QVERIFY(traced.doors.matched > 0);
    QVERIFY2(traced.doors.precision() >= 0.5, qPrintable(QString::number(traced.doors.precision())));
    QVERIFY2(scans.doors.precision() >= 0.8 && scans.doors.recall() >= 0.8,
             qPrintable(QString("doors on the scans: P %1 R %2").arg(scans.doors.precision()).arg(scans.doors.recall())));
  }

  // The wall pieces a user traces end where the ink does: at a window's
  // gap, at a door whose leaf stands on the jamb and whose swing ends at the
  // other jamb, at sliding panes that join the wall's ink on both sides, and
  // at the line that closes a double wall's outline. On a page scanned
  // slightly askew, every opening is found, its edges a pixel from the
  // truth on average and never three (a speck of dust on a jamb may move
  // one a little).
  void openingEdgesLieWhereTheInkEnds_data()
  {
    QTest::addColumn<uint>("seed");
    QTest::addColumn<double>("dpi");
    QTest::newRow("solid walls, four sliding doors, 400 dpi") << 7u << 400.0;
    QTest::newRow("solid and double walls, 300 dpi") << 21u << 300.0;
    QTest::newRow("solid walls, 300 dpi") << 12u << 300.0;
  }
  void openingEdgesLieWhereTheInkEnds()
  {
    QFETCH(uint, seed);
    QFETCH(double, dpi);
    plangen::Layout layout;
    layout.obliqueChance = 0;
    const plangen::Plan plan = plangen::generatePlan(seed, layout);
    const plangen::Page page = plangen::renderScan(plan, dpi, plangen::randomScanner(seed), seed);
    const ink::WallMap found = ink::analyseWalls(page.image, dpi).map;
    const auto dist = [](ink::Point p, ink::Point q) { return std::hypot(p.x - q.x, p.y - q.y); };
    int matched = 0;
    double sum = 0;
    for (const ink::Opening& t : page.truth.openings) {
      double best = 1e9;
      for (const ink::Opening& o : found.openings)
        best = std::min({best, std::max(dist(o.a, t.a), dist(o.b, t.b)), std::max(dist(o.a, t.b), dist(o.b, t.a))});
      if (best < 10) {
        ++matched;
        sum += best;
        QVERIFY2(best <= 3, qPrintable(QString("opening at (%1, %2) found %3 px off")
                                           .arg(t.a.x).arg(t.a.y).arg(best)));
      }
    }
    QVERIFY2(sum <= matched, qPrintable(QString("edges %1 px off on average").arg(sum / matched)));
    QCOMPARE(matched, int(page.truth.openings.size()));
  }

  // Over an underlay, what the user has traced in pure black is left out
  // when asked: the map shows the walls still to trace.
  void tracedWallsAreLeftOutWhenAsked()
  {
    const plangen::Plan plan = plangen::generatePlan(55, {0, 0, 0});
    plangen::Scanner scanner = plangen::randomScanner(55);
    scanner.skewDegrees = 0;  // the tracing lies exactly on the scan
    plangen::Page page = plangen::renderScan(plan, 300, scanner, 55);
    plangen::makeUnderlay(page.image);
    // Trace the outer walls.
    plangen::Plan outline = plan;
    outline.walls.clear();
    outline.openings.clear();
    for (const plangen::PlanWall& w : plan.walls)
      if ((w.a.y == w.b.y && (w.a.y == 0 || w.a.y == plan.heightMm)) ||
          (w.a.x == w.b.x && (w.a.x == 0 || w.a.x == plan.widthMm)))
        outline.walls.push_back(w);
    QCOMPARE(int(outline.walls.size()), 4);
    const plangen::Page ownInk = plangen::renderTraced(outline, 300);
    cv::Mat black;
    cv::cvtColor(ownInk.image, black, cv::COLOR_BGR2GRAY);
    page.image.setTo(cv::Scalar::all(0), black == 0);

    ink::Options options;
    const ink::WallMap all = ink::analyseWalls(page.image, 300, options).map;
    options.ignoreTraced = true;
    const ink::WallMap rest = ink::analyseWalls(page.image, 300, options).map;
    auto onOutline = [&](const ink::Wall& w) {
      for (const ink::Wall& t : ownInk.truth.walls) {
        const double dx = t.b.x - t.a.x, dy = t.b.y - t.a.y, len = std::hypot(dx, dy);
        const double off = std::abs((w.a.x - t.a.x) * dy - (w.a.y - t.a.y) * dx) / len;
        const double off2 = std::abs((w.b.x - t.a.x) * dy - (w.b.y - t.a.y) * dx) / len;
        if (off < t.thickness && off2 < t.thickness)
          return true;
      }
      return false;
    };
    const auto count = [&](const ink::WallMap& m) {
      return std::count_if(m.walls.begin(), m.walls.end(), onOutline);
    };
    QVERIFY(count(all) >= 4);
    QCOMPARE(int(count(rest)), 0);
    QVERIFY(rest.walls.size() + 1 >= all.walls.size() - size_t(count(all)));
  }

  void pagesThatAreNoPlan_data()
  {
    QTest::addColumn<cv::Mat>("page");
    QTest::addColumn<double>("dpi");
    std::mt19937 rng(5);
    cv::Mat blank(4000, 3000, CV_8UC3, cv::Scalar(235, 240, 245));
    cv::Mat noise(blank.size(), CV_8UC3);
    cv::randn(noise, cv::Scalar::all(0), cv::Scalar::all(6));
    QTest::newRow("blank grey paper with noise") << cv::Mat(blank + noise) << 300.0;

    cv::Mat photo(3000, 4000, CV_8UC3);
    for (int y = 0; y < photo.rows; ++y)
      for (int x = 0; x < photo.cols; ++x)
        photo.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(128 + 100 * std::sin(x / 300.0)), uchar(y * 255 / photo.rows),
                                              uchar(128 + 90 * std::cos((x + y) / 500.0)));
    cv::Mat grain(photo.size(), CV_8UC3);
    cv::randn(grain, cv::Scalar::all(0), cv::Scalar::all(20));
    QTest::newRow("photograph") << cv::Mat(photo + grain) << 300.0;

    cv::Mat text(4000, 3000, CV_8U, cv::Scalar(255));
    std::uniform_int_distribution<int> letter('A', 'Z');
    for (int y = 150; y < text.rows; y += 70) {
      std::string line;
      for (int i = 0; i < 60; ++i)
        line += i % 7 == 6 ? ' ' : char(letter(rng));
      cv::putText(text, line, {100, y}, cv::FONT_HERSHEY_SIMPLEX, 1.6, cv::Scalar(0), 3);
    }
    QTest::newRow("page of text") << text << 300.0;
    QTest::newRow("one pixel wide") << cv::Mat(5000, 1, CV_8UC3, cv::Scalar::all(0)) << 400.0;
    QTest::newRow("one pixel high") << cv::Mat(1, 5000, CV_8UC4, cv::Scalar::all(0)) << 400.0;
    QTest::newRow("no pixels") << cv::Mat() << 400.0;
    QTest::newRow("16-bit") << cv::Mat(100, 100, CV_16U, cv::Scalar(0)) << 400.0;
    QTest::newRow("nonsense resolution") << cv::Mat(text) << std::nan("");
  }

  void pagesThatAreNoPlan()
  {
    QFETCH(cv::Mat, page);
    QFETCH(double, dpi);
    const ink::Analysis a = ink::analyseWalls(page, dpi);
    QVERIFY2(a.map.walls.empty(), qPrintable(QString("%1 walls").arg(a.map.walls.size())));
    QVERIFY(a.status != ink::Status::Cancelled);
    QCOMPARE(a.status == ink::Status::Refused, !a.reason.empty());
  }

  // Openings in one partition of a small scanned plan: a door or sliding
  // door anywhere along it, also right beside the wall it joins (the piece
  // of wall between too short to read as a band), and none where the
  // partition only meets other walls.
  void openingsInAPartition_data()
  {
    QTest::addColumn<int>("kind");  // plangen::OpeningKind, -1: no opening
    QTest::addColumn<int>("wallKind");
    QTest::addColumn<double>("from");  // mm along the partition
    QTest::addColumn<double>("width");
    using K = plangen::OpeningKind;
    const int solid = int(ink::WallKind::Solid), hollow = int(ink::WallKind::Double);
    QTest::newRow("solid, none") << -1 << solid << 0.0 << 0.0;
    QTest::newRow("double, none") << -1 << hollow << 0.0 << 0.0;
    QTest::newRow("solid, sliding mid-wall") << int(K::Sliding) << solid << 1500.0 << 1250.0;
    QTest::newRow("double, sliding mid-wall") << int(K::Sliding) << hollow << 1500.0 << 1200.0;
    QTest::newRow("double, sliding by the far wall") << int(K::Sliding) << hollow << 3640.0 - 1300 - 160 << 1300.0;
    QTest::newRow("solid, hinged by the near wall") << int(K::Hinged) << solid << 150.0 << 850.0;
    QTest::newRow("double, hinged mid-wall") << int(K::Hinged) << hollow << 1400.0 << 800.0;
  }

  void openingsInAPartition()
  {
    QFETCH(int, kind);
    QFETCH(int, wallKind);
    QFETCH(double, from);
    QFETCH(double, width);
    // A 7 x 4 grid frame (150 mm walls) and a partition (120 mm) across it.
    plangen::Plan plan;
    plan.widthMm = 7 * 910;
    plan.heightMm = 4 * 910;
    auto add = [&](double x1, double y1, double x2, double y2, double t, int k) {
      plangen::PlanWall w;
      w.a = {x1, y1};
      w.b = {x2, y2};
      w.thickness = t;
      w.kind = ink::WallKind(k);
      plan.walls.push_back(w);
    };
    const int solid = int(ink::WallKind::Solid);
    add(0, 0, plan.widthMm, 0, 150, solid);
    add(0, plan.heightMm, plan.widthMm, plan.heightMm, 150, solid);
    add(0, 0, 0, plan.heightMm, 150, solid);
    add(plan.widthMm, 0, plan.widthMm, plan.heightMm, 150, solid);
    add(3 * 910, 0, 3 * 910, plan.heightMm, 120, wallKind);
    if (kind >= 0) {
      plangen::PlanOpening o;
      o.wall = 4;
      o.from = from;
      o.to = from + width;
      o.kind = plangen::OpeningKind(kind);
      plan.openings.push_back(o);
    }
    plangen::Scanner scanner = plangen::randomScanner(3);
    scanner.darkBandEdge = -1;
    const plangen::Page page = plangen::renderScan(plan, 300, scanner, 3);
    const ink::Analysis a = ink::analyseWalls(page.image, 300);
    QCOMPARE(int(a.status), int(ink::Status::Done));
    const plangen::Score s = plangen::score(page.truth, a.map);
    const QString found = QString("%1 openings found, %2 matched; junctions %3 of %4")
                              .arg(s.openings.found).arg(s.openings.matched).arg(s.strict.matched).arg(s.strict.truth);
    QVERIFY2(s.openings.found == (kind >= 0 ? 1 : 0), qPrintable(found));
    QVERIFY2(s.openings.matched == s.openings.truth, qPrintable(found));
    QVERIFY2(s.strict.matched == s.strict.truth && s.strict.found == s.strict.truth, qPrintable(found));
  }

  void cancelStopsTheAnalysis()
  {
    const plangen::Plan plan = plangen::generatePlan(9);
    const plangen::Page page = plangen::renderTraced(plan, 300);
    std::atomic<bool> stop{true};
    ink::Options options;
    options.cancel = &stop;
    const ink::Analysis a = ink::analyseWalls(page.image, 300, options);
    QCOMPARE(int(a.status), int(ink::Status::Cancelled));
    QVERIFY(a.map.walls.empty());
  }
};

ZORVAT_TEST_MAIN(TestInk)
#include "test_ink.moc"
