// The keypad tracer's help in the window, driven by real key events on a
// plan whose wall map the document holds: snapping the start, walking with
// keypad *, the offered wall (keypad Enter and .), openings, the room fill,
// and every key unchanged with 下絵に吸着 off.
#include "plan_keys.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include "tracing/plans.h"
#include "shell/messages.h"
#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>

using namespace plantest;
using namespace testsupport;

namespace {

// The plan's ink: every wall of the map as a black band, a door's opening
// left white.
QImage drawPlan(const ink::WallMap& map)
{
    QImage img(map.width, map.height, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    for (const ink::Wall& w : map.walls) {
        const QLineF l(w.a.x, w.a.y, w.b.x, w.b.y);
        p.setPen(QPen(Qt::black, w.thickness, Qt::SolidLine, Qt::SquareCap));
        p.drawLine(l);
    }
    for (const ink::Opening& o : map.openings) {
        if (o.wall < 0)
            continue;
        const double t = map.walls[size_t(o.wall)].thickness;
        p.setPen(QPen(Qt::white, t + 2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QLineF(o.a.x, o.a.y, o.b.x, o.b.y));
    }
    return img;
}

struct Plan {
    ProgramDir dir;
    MainWindow f{{}, dir.path()};
    explicit Plan(bool withMap = true, bool snapOn = true)
    {
        const ink::WallMap map = plans::room();
        showOnCanvas(f, drawPlan(map));
        if (withMap)
            f.document.setWallMap(std::make_shared<const ink::WallMap>(map));
        f.chkSnapToScan->setChecked(snapOn);
        f.show();
    }
};

QRect square(int cx, int cy, int size = 20) { return ltrb(cx - size / 2, cy - size / 2, cx - size / 2 + size, cy - size / 2 + size); }

} // namespace

class TraceKeysTest : public QObject {
    Q_OBJECT

private slots:
    void snapWalkConfirm()
    {
        Plan p;
        showOnCanvas(p.f, whiteImage(600, 500)); // the wall drawn shows on paper
        QVERIFY(p.f.chkSnapToScan->isChecked());
        select(p.f, 104, 95, 116, 107); // a 12-pixel square near the corner
        pad(p.f, Qt::Key_5);
        QVERIFY(p.f.WallStartMarked);
        QCOMPARE(selection(p.f), square(100, 100));
        pad(p.f, Qt::Key_6); // the way to walk
        pad(p.f, Qt::Key_Asterisk);
        QCOMPARE(selection(p.f), square(300, 100)); // the T in the top wall
        pad(p.f, Qt::Key_Asterisk);
        QCOMPARE(selection(p.f), square(500, 100)); // on past it to the corner
        pad(p.f, Qt::Key_Plus);
        QVERIFY(!p.f.WallStartMarked);
        const QImage img = canvasImage(p.f);
        QVERIFY(isBlack(img, 90, 90) && isBlack(img, 509, 109) && isBlack(img, 300, 100));
        QVERIFY(isWhite(img, 89, 100) && isWhite(img, 510, 100) && isWhite(img, 300, 110) && isWhite(img, 300, 89));
        // Offered next: down the right wall to the door's edge.
        QCOMPARE(p.f.dspCanvas->guide().boundingRect(), QRectF(490, 90, 20, 120));
    }

    void nothingWithinReachMarksAsBefore()
    {
        Plan p;
        select(p.f, 240, 240, 260, 260);
        pad(p.f, Qt::Key_5);
        QVERIFY(p.f.WallStartMarked);
        QCOMPARE(selection(p.f), ltrb(240, 240, 260, 260));
        pad(p.f, Qt::Key_Asterisk); // not on a wall: stays
        QCOMPARE(selection(p.f), ltrb(240, 240, 260, 260));
    }

    void enterTracesTheOfferInOneUndoStep()
    {
        Plan p;
        trace(p.f, square(100, 100), square(300, 100));
        pad(p.f, Qt::Key_Minus); // a double-line wall
        const QImage before = canvasImage(p.f);
        QCOMPARE(p.f.dspCanvas->guide().boundingRect(), QRectF(290, 90, 220, 20));
        pad(p.f, Qt::Key_Period); // the next offer: down the interior wall
        QCOMPARE(p.f.dspCanvas->guide().boundingRect(), QRectF(290, 90, 20, 320));
        pad(p.f, Qt::Key_Enter);
        QCOMPARE(selection(p.f), square(300, 400));
        QVERIFY(!p.f.WallStartMarked);
        QImage img = canvasImage(p.f);
        // Drawn the same way: two face lines, white between them.
        QVERIFY(isBlack(img, 291, 250) && isWhite(img, 300, 250) && isBlack(img, 308, 250));
        // One Ctrl+Z takes the whole traced wall back.
        key(p.f, Qt::Key_Z, Qt::ControlModifier);
        COMPARE_IMAGES(canvasImage(p.f), before, "trace_keys_image");
    }

    void otherKeysLeaveTheOffer()
    {
        Plan p;
        trace(p.f, square(100, 100), square(300, 100));
        pad(p.f, Qt::Key_Plus);
        QVERIFY(!p.f.dspCanvas->guide().isEmpty());
        const QImage before = canvasImage(p.f);
        key(p.f, Qt::Key_Return); // the main Enter is no command
        QVERIFY(p.f.dspCanvas->guide().isEmpty());
        pad(p.f, Qt::Key_Enter);  // nothing offered any more
        COMPARE_IMAGES(canvasImage(p.f), before, "trace_keys_image");
    }

    // A traced wall is no longer offered; once Ctrl+Z has taken it back it
    // is offered again.
    void undoneWallIsOfferedAgain_data()
    {
        QTest::addColumn<bool>("undo");
        QTest::addColumn<QRectF>("offered");
        QTest::newRow("kept") << false << QRectF(290, 90, 20, 320);   // down the interior wall
        QTest::newRow("undone") << true << QRectF(90, 90, 220, 20);   // straight on over it
    }
    void undoneWallIsOfferedAgain()
    {
        QFETCH(bool, undo);
        QFETCH(QRectF, offered);
        Plan p;
        trace(p.f, square(100, 100), square(300, 100));
        pad(p.f, Qt::Key_Plus);
        if (undo)
            key(p.f, Qt::Key_Z, Qt::ControlModifier);
        trace(p.f, square(500, 100), square(300, 100));
        pad(p.f, Qt::Key_Plus);
        QCOMPARE(p.f.dspCanvas->guide().boundingRect(), offered);
    }

    // A slanted wall: the start snaps to its free end, keypad * walks along
    // it whatever the keypad's heading within reach, + draws the slanted
    // band, and the wall that goes on from its end is offered.
    void slantedWall()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        ink::WallMap map;
        map.width = 600;
        map.height = 500;
        map.walls = {plans::wall(100, 100, 300, 100), plans::wall(300, 100, 450, 250)};
        using J = ink::JunctionType;
        map.junctions = {{{100, 100}, J::End, {0}}, {{300, 100}, J::L, {0, 1}}, {{450, 250}, J::End, {1}}};
        showOnCanvas(f, whiteImage(600, 500)); // the traced wall shows on paper
        f.document.setWallMap(std::make_shared<const ink::WallMap>(map));
        f.show();
        select(f, 444, 246, 456, 258);
        pad(f, Qt::Key_5);
        QCOMPARE(selection(f), square(450, 250));
        pad(f, Qt::Key_8); // up: the wall runs up and to the left
        pad(f, Qt::Key_Asterisk);
        QCOMPARE(selection(f), square(300, 100));
        pad(f, Qt::Key_Plus);
        const QImage img = canvasImage(f);
        QVERIFY(isBlack(img, 375, 175) && isBlack(img, 330, 130) && isBlack(img, 420, 220));
        QVERIFY(isWhite(img, 400, 150) && isWhite(img, 350, 200)); // off the band on either side
        QCOMPARE(f.dspCanvas->guide().boundingRect(), QRectF(90, 90, 220, 20));
    }

    void walksStopAtOpenings()
    {
        Plan p;
        trace(p.f, square(500, 100), square(500, 100));
        pad(p.f, Qt::Key_2);
        pad(p.f, Qt::Key_Asterisk);
        QCOMPARE(selection(p.f), square(500, 200)); // the door's edge
        pad(p.f, Qt::Key_5); // cancel, and mark again at the edge
        pad(p.f, Qt::Key_5);
        pad(p.f, Qt::Key_Asterisk);
        QCOMPARE(selection(p.f), square(500, 280)); // across the opening
    }

    void roomFillStaysInTheRoom_data()
    {
        QTest::addColumn<bool>("snapOn");
        QTest::newRow("closed openings") << true;
        QTest::newRow("as before") << false;
    }
    void roomFillStaysInTheRoom()
    {
        QFETCH(bool, snapOn);
        Plan p(true, snapOn);
        messages::override = [](const QString&) {};
        p.f.btnFillMode->click();
        messages::override = nullptr;
        p.f.setCurrentColour(255);
        p.f.FillAtPoint(400, 250); // the right-hand room
        const QImage img = canvasImage(p.f);
        QCOMPARE(img.pixel(400, 250), qRgb(255, 0, 0));
        // Outside, past the door and the gap in the bottom wall.
        QCOMPARE(img.pixel(20, 20) == qRgb(255, 0, 0), !snapOn);
        QCOMPARE(img.pixel(550, 240) == qRgb(255, 0, 0), !snapOn);
        QCOMPARE(img.pixel(200, 250), qRgb(255, 255, 255)); // the other room
    }

    void switchedOffEveryKeyIsAsBefore()
    {
        // The same keys on the plan with the map and the switch off, and on
        // the plan without a map: the same pixels and selections.
        auto run = [](Plan& p) {
            QList<QRect> seen;
            select(p.f, 104, 95, 116, 107);
            for (const auto& [k, m] : QList<std::pair<Qt::Key, Qt::KeyboardModifiers>>{
                     {Qt::Key_5, {}}, {Qt::Key_6, {}}, {Qt::Key_Asterisk, {}}, {Qt::Key_6, {}},
                     {Qt::Key_Plus, {}}, {Qt::Key_Period, {}}, {Qt::Key_Enter, {}}, {Qt::Key_5, {}},
                     {Qt::Key_2, {}}, {Qt::Key_Asterisk, {}}, {Qt::Key_Minus, {}}}) {
                pad(p.f, k, m);
                seen << selection(p.f);
            }
            return std::make_pair(seen, canvasImage(p.f));
        };
        Plan off(true, false), none(false, true);
        const auto a = run(off), b = run(none);
        QCOMPARE(a.first, b.first);
        COMPARE_IMAGES(a.second, b.second, "trace_keys_switched_off");
        QVERIFY(off.f.dspCanvas->guide().isEmpty());
    }

    void numLockHintOnce()
    {
        Plan p;
        select(p.f, 100, 100, 120, 120);
        QVERIFY(!p.f.NumLockHintShown);
        QTest::keyClick(p.f.dspCanvas, Qt::Key_Up, Qt::KeypadModifier); // keypad 8, Num Lock off
        QVERIFY(p.f.NumLockHintShown);
        QCOMPARE(selection(p.f), ltrb(100, 100, 120, 120)); // no command ran
        QTest::keyClick(p.f.dspCanvas, Qt::Key_Up); // the arrow key is no keypad key
        QCOMPARE(selection(p.f), ltrb(100, 100, 120, 120));
    }
};

ZORVAT_TEST_MAIN(TraceKeysTest)
#include "test_trace_keys.moc"
