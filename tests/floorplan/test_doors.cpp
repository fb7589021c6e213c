// Hinged and sliding doors placed with the D and H keys, checked on the
// blank 600 x 600 sheet.
#include "floorplan/door_geometry.h"
#include "plan_keys.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <cmath>

using namespace plantest;
using namespace testsupport;

namespace {
const QRgb Black = qRgb(0, 0, 0);
const QRgb Red = qRgb(255, 0, 0);
QRect square20(int x, int y) { return ltrb(x, y, x + 20, y + 20); }

// Rows (or columns) inside rect that hold at least one black pixel.
QList<int> blackRows(const QImage& img, const QRect& r)
{
    QList<int> rows;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (isBlack(img, x, y)) {
                rows << y;
                break;
            }
    return rows;
}
} // namespace

class DoorsTest : public QObject {
    Q_OBJECT

private slots:
    // Every orientation, side and walking direction: the leaf runs from the
    // hinge along one edge of the door square and the swing passes 45
    // degrees between the leaf and the wall.
    void hingeAndSwing_data()
    {
        QTest::addColumn<QRect>("from");
        QTest::addColumn<QRect>("to");
        QTest::addColumn<int>("side");
        QTest::addColumn<QPoint>("hinge");
        QTest::addColumn<QPoint>("leafEnd");
        QTest::addColumn<QPoint>("swingEnd");
        const QRect a = square20(100, 100), h = square20(160, 100), v = square20(100, 160);
        // Horizontal box (100, 100, 180, 120): door square above (100, 20, 180, 99),
        // below (100, 121, 180, 200); vertical box (100, 100, 120, 180): left
        // (20, 100, 99, 180), right (121, 100, 200, 180).
        QTest::newRow("above, from left") << a << h << 1 << QPoint(100, 99) << QPoint(100, 20) << QPoint(180, 99);
        QTest::newRow("above, from right") << h << a << 1 << QPoint(180, 99) << QPoint(180, 20) << QPoint(100, 99);
        QTest::newRow("below, from left") << a << h << 2 << QPoint(100, 121) << QPoint(100, 200) << QPoint(180, 121);
        QTest::newRow("below, from right") << h << a << 2 << QPoint(180, 121) << QPoint(180, 200) << QPoint(100, 121);
        QTest::newRow("left, from top") << a << v << 1 << QPoint(99, 100) << QPoint(20, 100) << QPoint(99, 180);
        QTest::newRow("left, from bottom") << v << a << 1 << QPoint(99, 180) << QPoint(20, 180) << QPoint(99, 100);
        QTest::newRow("right, from top") << a << v << 2 << QPoint(121, 100) << QPoint(200, 100) << QPoint(121, 180);
        QTest::newRow("right, from bottom") << v << a << 2 << QPoint(121, 180) << QPoint(200, 180) << QPoint(121, 100);
    }
    void hingeAndSwing()
    {
        QFETCH(QRect, from);
        QFETCH(QRect, to);
        QFETCH(int, side);
        QFETCH(QPoint, hinge);
        QFETCH(QPoint, leafEnd);
        QFETCH(QPoint, swingEnd);
        ProgramDir dir;
        MainWindow f({}, dir.path());
        SideAnswer answer(side);
        trace(f, from, to);
        key(f, Qt::Key_D);
        const bool horizontal = from.top() == to.top();
        QCOMPARE(answer.texts, (QStringList{"ドアを作成します", "どちら側に設置しますか", horizontal ? "上側" : "左側",
                                            horizontal ? "下側" : "右側"}));
        QVERIFY(!f.WallStartMarked);
        QCOMPARE(selection(f), to);
        const QImage img = canvasImage(f);
        // The stretch itself is a double-line wall.
        const QPoint face = horizontal ? QPoint(140, 100) : QPoint(100, 140);
        const QPoint middle = horizontal ? QPoint(140, 110) : QPoint(110, 140);
        QVERIFY(isBlack(img, face.x(), face.y()));
        QVERIFY(isWhite(img, middle.x(), middle.y()));
        for (int i = 1; i < 10; ++i) {
            const QPoint p = hinge + (leafEnd - hinge) * i / 10;
            QVERIFY2(blackNear(img, p.x(), p.y(), 1), qPrintable(QString("leaf gap at %1,%2").arg(p.x()).arg(p.y())));
        }
        const QPointF u = QPointF(leafEnd - hinge), w = QPointF(swingEnd - hinge);
        const QPointF mid = QPointF(hinge) + (u + w) * (1 / std::sqrt(2.0));
        QVERIFY2(blackNear(img, qRound(mid.x()), qRound(mid.y()), 2),
                 qPrintable(QString("no swing at %1,%2").arg(mid.x()).arg(mid.y())));
        // Inside the swing and beyond it the door square stays white.
        const QPointF inside = QPointF(hinge) + (u + w) * 0.35;
        const QPointF corner = QPointF(hinge) + (u + w) * 0.95;
        QVERIFY(isWhite(img, qRound(inside.x()), qRound(inside.y())));
        QVERIFY(isWhite(img, qRound(corner.x()), qRound(corner.y())));
        // Nothing on the other side of the wall, and no start marker left.
        const QPoint away = hinge - (leafEnd - hinge) / 2 + (swingEnd - hinge) / 2;
        QVERIFY(!blackNear(img, away.x(), away.y(), 5));
        QCOMPARE(countColour(img, Red), 0);
    }

    void cancellingTheDoorRestoresTheSheet()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(130, 105, 10, 10), Black);
        const QImage before = canvasImage(f);
        SideAnswer answer(0);
        trace(f, ltrb(100, 100, 120, 120), ltrb(160, 100, 180, 120));
        key(f, Qt::Key_D);
        QVERIFY(!f.WallStartMarked);
        COMPARE_IMAGES(canvasImage(f), before, "door-cancel");
        key(f, Qt::Key_H);
        trace(f, ltrb(100, 100, 120, 120), ltrb(160, 100, 180, 120));
        key(f, Qt::Key_H);
        COMPARE_IMAGES(canvasImage(f), before, "sliding-cancel");
    }

    void slidingDoorAbove()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(140, 104, 4, 4), Black); // old drawing in the wall's upper half
        SideAnswer answer(1);
        trace(f, ltrb(100, 100, 120, 120), ltrb(160, 100, 180, 120));
        key(f, Qt::Key_H);
        QCOMPARE(answer.texts, (QStringList{"引き戸を作成します", "どちら側に点線(‐‐‐)を設置しますか", "上側", "下側"}));
        const QImage img = canvasImage(f);
        // Black panel (100, 110, 180, 120), white above it.
        QCOMPARE(countColour(img, Black, QRect(100, 110, 80, 10)), 800);
        QCOMPARE(countColour(img, Black, QRect(100, 102, 80, 8)), 0);
        QCOMPARE(countColour(img, Black, QRect(0, 120, 600, 480)), 0);
        // A dotted line 2 pixels thick along y = 100 from x = 100 to 180.
        const QRect band(95, 96, 90, 6);
        const QList<int> rows = blackRows(img, band);
        QCOMPARE(rows.size(), 2);
        QVERIFY(rows.contains(100));
        const int dots = countColour(img, Black, band);
        QVERIFY2(dots > 40 && dots < 2 * 80 - 20, qPrintable(QString::number(dots)));
        QCOMPARE(countColour(img, Black, QRect(95, 96, 5, 6)), 0);
        QCOMPARE(countColour(img, Black, QRect(181, 96, 5, 6)), 0);
        QCOMPARE(selection(f), ltrb(160, 100, 180, 120));
        QCOMPARE(countColour(img, Red), 0);
    }

    void slidingDoorBelow()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        SideAnswer answer(2);
        trace(f, ltrb(100, 100, 120, 120), ltrb(160, 100, 180, 120));
        key(f, Qt::Key_H);
        const QImage img = canvasImage(f);
        QCOMPARE(countColour(img, Black, QRect(100, 100, 80, 10)), 800);
        QCOMPARE(countColour(img, Black, QRect(100, 110, 80, 8)), 0);
        const QList<int> rows = blackRows(img, QRect(95, 116, 90, 8));
        QCOMPARE(rows.size(), 2);
        QVERIFY(rows.contains(120) || rows.contains(119));
        QCOMPARE(countColour(img, Black, QRect(0, 0, 600, 100)), 0);
    }

};

ZORVAT_TEST_MAIN(DoorsTest)
#include "test_doors.moc"
