// The tracer's rules on hand-built wall maps: snapping a start, walking to
// the next stop, the walls offered next and the room fill's barriers.
#include "plans.h"
#include "testsupport/testmain.h"
#include "tracing/fill_barriers.h"
#include "tracing/offers.h"
#include "tracing/snap.h"
#include "tracing/walk.h"

using namespace tracing;

namespace ink {
// Points compare to a hundredth of a pixel.
inline bool operator==(const Point& a, const Point& b) { return tracing::distance(a, b) < 0.01; }
} // namespace ink

Q_DECLARE_METATYPE(tracing::Point)
Q_DECLARE_METATYPE(tracing::Square)
Q_DECLARE_METATYPE(std::optional<tracing::Point>)

namespace QTest {
template <> char* toString(const tracing::Point& p)
{
    return qstrdup(QByteArray("(") + QByteArray::number(p.x) + ", " + QByteArray::number(p.y) + ")");
}
template <> char* toString(const tracing::Square& s)
{
    return qstrdup(QByteArray("(") + QByteArray::number(s.left) + ", " + QByteArray::number(s.top) + ", " +
                   QByteArray::number(s.right) + ", " + QByteArray::number(s.bottom) + ")");
}
} // namespace QTest

namespace {
const std::optional<Point> none;
const Point right{1, 0}, left{-1, 0}, up{0, -1}, down{0, 1};
} // namespace

class TestTracing : public QObject {
    Q_OBJECT

private slots:
    void squares()
    {
        // Whole-pixel squares centred on centre-line points (pixel centres
        // at +0.5): an odd thickness centres on a pixel, an even one on an edge.
        QCOMPARE(squareAround({110, 110}, 20), (Square{100, 100, 120, 120}));
        QCOMPARE(squareAround({103.5, 103.5}, 7), (Square{100, 100, 107, 107}));
        QCOMPARE(wholeThickness(11.5), 12);
        QCOMPARE(wholeThickness(0.2), 1);
        QCOMPARE(centreOf(squareAround({103.5, 40.5}, 7)), (Point{103.5, 40.5}));
    }

    void snap_data()
    {
        QTest::addColumn<Point>("at");
        QTest::addColumn<QList<QLineF>>("traced");
        QTest::addColumn<bool>("found");
        QTest::addColumn<Point>("snapped");
        QTest::addColumn<Square>("square");
        const QList<QLineF> none;
        QTest::newRow("corner") << Point{105, 96} << none << true << Point{100, 100} << Square{90, 90, 110, 110};
        QTest::newRow("thin wall of a T takes its thickness")
            << Point{112, 252} << none << true << Point{100, 250} << Square{94, 244, 106, 256};
        QTest::newRow("on the T itself: the wall listed first")
            << Point{100, 250} << none << true << Point{100, 250} << Square{90, 240, 110, 260};
        QTest::newRow("on the T, the outer wall traced: the stub's thickness")
            << Point{100, 250} << QList<QLineF>{{100, 100, 100, 250}, {100, 250, 100, 400}} << true
            << Point{100, 250} << Square{94, 244, 106, 256};
        QTest::newRow("on the T, all traced: the nearest wall")
            << Point{100, 250} << QList<QLineF>{{100, 100, 100, 400}, {100, 250, 180, 250}} << true
            << Point{100, 250} << Square{90, 240, 110, 260};
        QTest::newRow("bare free end") << Point{185, 250} << none << true << Point{180, 250}
                                       << Square{174, 244, 186, 256};
        QTest::newRow("just within two thicknesses") << Point{203, 250} << none << true << Point{180, 250}
                                                     << Square{174, 244, 186, 256};
        QTest::newRow("beyond two thicknesses") << Point{205, 250} << none << false << Point{} << Square{};
        QTest::newRow("middle of the room") << Point{250, 250} << none << false << Point{} << Square{};
        QTest::newRow("an opening's edge") << Point{497, 285} << none << true << Point{500, 280}
                                           << Square{490, 270, 510, 290};
        QTest::newRow("nearest of two junctions") << Point{300, 380} << none << true << Point{300, 400}
                                                  << Square{290, 390, 310, 410};
    }
    void snap()
    {
        QFETCH(Point, at);
        QFETCH(QList<QLineF>, traced);
        QFETCH(bool, found);
        QFETCH(Point, snapped);
        QFETCH(Square, square);
        TraceLog log;
        for (const QLineF& l : traced)
            log.add({l.x1(), l.y1()}, {l.x2(), l.y2()}, 20);
        const std::optional<Snap> s = snapStart(plans::room(), at, &log);
        QCOMPARE(s.has_value(), found);
        if (found) {
            QCOMPARE(s->at, snapped);
            QCOMPARE(s->square, square);
        }
        QVERIFY(!snapStart(ink::WallMap{}, at, &log));
    }

    void walk_data()
    {
        QTest::addColumn<Point>("from");
        QTest::addColumn<std::optional<Point>>("heading");
        QTest::addColumn<bool>("found");
        QTest::addColumn<Point>("to");
        QTest::addColumn<bool>("opening");
        QTest::newRow("corner to T in the middle of a wall") << Point{100, 100} << std::optional(right) << true
                                                               << Point{300, 100} << false;
        QTest::newRow("on from the T") << Point{300, 100} << std::optional(right) << true << Point{500, 100} << false;
        QTest::newRow("square rounded a pixel off the line")
            << Point{301, 101} << std::optional(right) << true << Point{500, 100} << false;
        QTest::newRow("stops at an opening's edge") << Point{500, 100} << std::optional(down) << true
                                                    << Point{500, 200} << false;
        QTest::newRow("across the opening") << Point{500, 200} << std::optional(down) << true << Point{500, 280}
                                            << true;
        QTest::newRow("past the opening") << Point{500, 280} << std::optional(down) << true << Point{500, 400}
                                          << false;
        QTest::newRow("across a gap between walls")
            << Point{440, 400} << std::optional(left) << true << Point{360, 400} << true;
        QTest::newRow("back along the bottom to the T")
            << Point{360, 400} << std::optional(left) << true << Point{300, 400} << false;
        QTest::newRow("heading a little off the wall")
            << Point{100, 100} << std::optional(Point{1, 0.4}) << true << Point{300, 100} << false;
        QTest::newRow("free end: the only way") << Point{180, 250} << none << true << Point{100, 250} << false;
        QTest::newRow("free end: heading nowhere") << Point{180, 250} << std::optional(up) << true
                                                   << Point{100, 250} << false;
        QTest::newRow("mid-wall without heading") << Point{300, 250} << none << false << Point{} << false;
        QTest::newRow("corner, heading out of the plan") << Point{100, 100} << std::optional(up) << false
                                                         << Point{} << false;
        QTest::newRow("off every wall") << Point{250, 250} << std::optional(right) << false << Point{} << false;
    }
    void walk()
    {
        QFETCH(Point, from);
        QFETCH(std::optional<Point>, heading);
        QFETCH(bool, found);
        QFETCH(Point, to);
        QFETCH(bool, opening);
        const std::optional<Stretch> s = walkFrom(plans::room(), from, heading);
        QCOMPARE(s.has_value(), found);
        if (found) {
            QCOMPARE(s->to, to);
            QCOMPARE(s->throughOpening, opening);
        }
    }

    void offers_data()
    {
        // Each row: the walls traced (pairs of points), where the last one
        // ended and how it was walked, and the offers expected in order.
        QTest::addColumn<QString>("plan");
        QTest::addColumn<QList<QLineF>>("traced");
        QTest::addColumn<QList<QLineF>>("expected");
        using L = QList<QLineF>;
        QTest::newRow("straight on, then the turn") << "room" << L{{100, 100, 300, 100}}
                                                    << L{{300, 100, 500, 100}, {300, 100, 300, 400}};
        QTest::newRow("a corner turns") << "room" << L{{100, 100, 300, 100}, {300, 100, 500, 100}}
                                        << L{{500, 100, 500, 200}};
        QTest::newRow("the wall beyond a door opening")
            << "room" << L{{500, 100, 500, 200}} << L{{500, 280, 500, 400}};
        QTest::newRow("the wall beyond a gap") << "room" << L{{500, 400, 440, 400}} << L{{360, 400, 300, 400}};
        QTest::newRow("traced walls are not offered")
            << "room" << L{{300, 100, 500, 100}, {300, 400, 300, 100}} << L{{300, 100, 100, 100}};
        QTest::newRow("all traced") << "room" << L{{100, 400, 100, 250}, {100, 250, 100, 100}, {100, 100, 300, 100}}
                                    << L{{300, 100, 500, 100}, {300, 100, 300, 400}};
        QTest::newRow("right turn before left") << "cross" << L{{100, 200, 200, 200}}
                                                << L{{200, 200, 300, 200}, {200, 200, 200, 300}, {200, 200, 200, 100}};
    }
    void offers()
    {
        QFETCH(QString, plan);
        QFETCH(QList<QLineF>, traced);
        QFETCH(QList<QLineF>, expected);
        const ink::WallMap map = plan == "room" ? plans::room() : plans::cross();
        TraceLog log;
        for (const QLineF& l : traced)
            log.add({l.x1(), l.y1()}, {l.x2(), l.y2()}, 20);
        const QLineF last = traced.back();
        const std::vector<Stretch> got =
            continuations(map, {last.x2(), last.y2()}, {last.dx(), last.dy()}, log);
        QCOMPARE(int(got.size()), int(expected.size()));
        for (int i = 0; i < int(got.size()); ++i) {
            QCOMPARE(got[size_t(i)].from, (Point{expected[i].x1(), expected[i].y1()}));
            QCOMPARE(got[size_t(i)].to, (Point{expected[i].x2(), expected[i].y2()}));
        }
    }

    void partlyTracedIsStillOffered()
    {
        TraceLog log;
        log.add({300, 100}, {400, 100}, 20);
        Stretch s;
        s.from = {300, 100};
        s.to = {500, 100};
        s.thickness = 20;
        QVERIFY(!log.covers(s));
        log.add({400, 100}, {500, 100}, 20);
        QVERIFY(log.covers(s));
    }

    void barriers()
    {
        // The room: both openings are closed, reaching half a thickness into
        // the wall; the stub's free end is far from any wall and stays open.
        const std::vector<Barrier> b = fillBarriers(plans::room());
        QCOMPARE(int(b.size()), 2);
        QCOMPARE(b[0].a, (Point{500, 190}));
        QCOMPARE(b[0].b, (Point{500, 290}));
        QCOMPARE(b[0].width, 20.0);
        QCOMPARE(b[1].a, (Point{450, 400}));
        QCOMPARE(b[1].b, (Point{350, 400}));

        // An open corner: the top wall stops 8 pixels short of the side
        // wall's face; both ends are joined to the other wall.
        ink::WallMap corner;
        corner.walls = {plans::wall(100, 100, 300, 100), plans::wall(320, 120, 320, 300)};
        const std::vector<Barrier> c = fillBarriers(corner);
        QCOMPARE(int(c.size()), 2);
        QCOMPARE(c[0].a, (Point{300, 100}));
        QCOMPARE(c[0].b, (Point{320, 120}));
    }
};

ZORVAT_TEST_MAIN(TestTracing)
#include "test_tracing.moc"
