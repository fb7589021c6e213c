// The tracer's help as the window uses it, on a hand-built wall map:
// selections in, selections and offers out.
#include "floorplan/trace_assist.h"
#include "testsupport/testmain.h"
#include "tracing/plans.h"

using namespace floorplan;

namespace QTest {
template <> char* toString(const Rect& r)
{
    return qstrdup(QByteArray("(") + QByteArray::number(r.left) + ", " + QByteArray::number(r.top) + ", " +
                   QByteArray::number(r.right) + ", " + QByteArray::number(r.bottom) + ")");
}
} // namespace QTest

namespace {
Rect at(int cx, int cy, int size = 20) { return {cx - size / 2, cy - size / 2, cx - size / 2 + size, cy - size / 2 + size}; }
} // namespace

class TraceAssistTest : public QObject {
    Q_OBJECT

private slots:
    void nothingWithoutAMapOrWhenSwitchedOff()
    {
        TraceAssist t;
        QVERIFY(!t.snapStart(at(100, 100)));
        t.setMap(std::make_shared<const ink::WallMap>());
        QVERIFY(!t.active()); // a map without walls: as today
        t.setMap(std::make_shared<const ink::WallMap>(plans::room()));
        QVERIFY(t.snapStart({96, 92, 116, 112}));
        t.setEnabled(false);
        QVERIFY(!t.snapStart({96, 92, 116, 112}));
        t.noteMove(KeypadDirection::Right);
        QVERIFY(!t.walk(at(100, 100)));
        t.confirmed(at(100, 100), at(300, 100), WallConfirm::Solid);
        QVERIFY(!t.offer());
        QVERIFY(t.fillBarriers().empty());
    }

    void snapWalkConfirmAndOffers()
    {
        TraceAssist t;
        t.setMap(std::make_shared<const ink::WallMap>(plans::room()));
        QCOMPARE(*t.snapStart({96, 92, 116, 112}), at(100, 100));
        // The walk keeps the selection's size and goes the way of the last move.
        t.noteMove(KeypadDirection::Right);
        QCOMPARE(*t.walk(at(100, 100)), at(300, 100));
        QCOMPARE(*t.walk(at(300, 100)), at(500, 100));
        t.noteMove(KeypadDirection::Down);
        QCOMPARE(*t.walk({495, 95, 505, 105}), (Rect{495, 195, 505, 205}));

        t.confirmed(at(100, 100), at(300, 100), WallConfirm::Double);
        QCOMPARE(t.offerCount(), 2);
        QCOMPARE(t.offer()->start, at(300, 100));
        QCOMPARE(t.offer()->end, at(500, 100));
        QCOMPARE(t.offerOutline().boundingRect(), QRectF(290, 90, 220, 20));
        t.nextOffer();
        QCOMPARE(t.offer()->end, at(300, 400));
        t.nextOffer();
        QCOMPARE(t.offer()->end, at(500, 100));

        // A door confirmed next keeps the wall kind for keypad Enter.
        t.confirmed(at(300, 100), at(500, 100), std::nullopt);
        QCOMPARE(*t.lastConfirm(), WallConfirm::Double);
        QCOMPARE(t.offer()->end, at(500, 200));
        // Undone, the stretch is no longer traced: offered again from its start.
        t.undone();
        QVERIFY(!t.offer());
        t.confirmed(at(100, 100), at(300, 100), WallConfirm::Solid);
        QCOMPARE(t.offer()->end, at(500, 100));
        t.dropOffers();
        QVERIFY(!t.offer());
        QVERIFY(t.offerOutline().isEmpty());

        // A new map starts afresh.
        t.setMap(std::make_shared<const ink::WallMap>(plans::cross()));
        t.confirmed(at(100, 200), at(200, 200), WallConfirm::Solid);
        QCOMPARE(t.offerCount(), 3);
    }

    void barriersCloseTheOpenings()
    {
        TraceAssist t;
        t.setMap(std::make_shared<const ink::WallMap>(plans::room()));
        const std::vector<QPolygonF> b = t.fillBarriers();
        QCOMPARE(int(b.size()), 2);
        QCOMPARE(b[0].boundingRect(), QRectF(490, 190, 20, 100));
    }
};

ZORVAT_TEST_MAIN(TraceAssistTest)
#include "test_trace_assist.moc"
