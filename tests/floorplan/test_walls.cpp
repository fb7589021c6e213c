// Walls and corners as the keypad confirms them, checked pixel by pixel on
// the blank 600 x 600 sheet.
#include "plan_keys.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>

using namespace plantest;
using namespace testsupport;

namespace {
const QRgb Black = qRgb(0, 0, 0);
const QRgb White = qRgb(255, 255, 255);
const QRect Start = ltrb(100, 100, 120, 120);
QRect square20(int x, int y) { return ltrb(x, y, x + 20, y + 20); }
} // namespace

class WallsTest : public QObject {
    Q_OBJECT

private slots:
    void doubleWallLeavesTwoFaceLinesAndOpenEnds()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        trace(f, Start, square20(200, 100));
        pad(f, Qt::Key_Minus);
        QImage expected = whiteImage(600, 600);
        paintRect(expected, 100, 100, 220, 102, Black);
        paintRect(expected, 100, 118, 220, 120, Black);
        COMPARE_IMAGES(canvasImage(f), expected, "double-wall");
        QVERIFY(!f.WallStartMarked);
        QCOMPARE(selection(f), square20(200, 100)); // ready for the next wall
    }

    // Box height 25 is not above 1.5 x 18 = 27: still straight, the whole box.
    void solidWallFillsTheBox_data()
    {
        QTest::addColumn<QRect>("end");
        QTest::newRow("in line") << square20(200, 100);
        QTest::newRow("5 pixels lower") << square20(200, 105);
    }
    void solidWallFillsTheBox()
    {
        QFETCH(QRect, end);
        ProgramDir dir;
        MainWindow f({}, dir.path());
        trace(f, Start, end);
        pad(f, Qt::Key_Plus);
        QImage expected = whiteImage(600, 600);
        paintRect(expected, 100, 100, 220, end.bottom(), Black);
        COMPARE_IMAGES(canvasImage(f), expected, "solid-wall");
    }

    void slantedSolidWallIsAHexagon()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        trace(f, Start, square20(200, 110)); // height 30 > 27: slanted
        pad(f, Qt::Key_Plus);
        const QImage img = canvasImage(f);
        QVERIFY(isBlack(img, 105, 105));   // start corner
        QVERIFY(isBlack(img, 215, 125));   // end corner
        QVERIFY(isBlack(img, 160, 115));   // along the band
        QVERIFY(isWhite(img, 218, 101));   // top-right of the box, cut away
        QVERIFY(isWhite(img, 102, 128));   // bottom-left of the box, cut away
        QCOMPARE(countColour(img, qRgb(255, 0, 0)), 0); // the start marker is gone
    }

    void slantedDoubleWallIsHollow()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        trace(f, Start, square20(200, 200));
        pad(f, Qt::Key_Minus);
        const QImage img = canvasImage(f);
        // Hexagon (100,100) (118,100) (220,202) (220,220) (202,220) (100,118).
        QVERIFY(isWhite(img, 160, 160)); // the inside of the band
        QVERIFY(isWhite(img, 110, 110));
        QVERIFY(blackNear(img, 169, 151, 1)); // the upper face
        QVERIFY(blackNear(img, 151, 169, 1)); // the lower face
        QVERIFY(isWhite(img, 200, 120));      // outside the band
        QVERIFY(isWhite(img, 120, 200));
    }

    void dustIsClearedBesideAStraightWall()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.chkGomitori->setChecked(true);
        f.cmbGomiDot->setCurrentText("4");
        // Dust at known places; the cleared box is (120, 96, 200, 124).
        const QRect dust[] = {QRect(150, 96, 1, 1), QRect(150, 123, 1, 1), QRect(120, 97, 1, 1),
                              QRect(199, 122, 1, 1)};
        const QRect kept[] = {QRect(150, 95, 1, 1), QRect(150, 124, 1, 1), QRect(119, 97, 1, 1),
                              QRect(200, 122, 1, 1)};
        for (const QRect& r : dust)
            paintOnCanvas(f, r, Black);
        for (const QRect& r : kept)
            paintOnCanvas(f, r, Black);
        trace(f, Start, square20(200, 100));
        pad(f, Qt::Key_Plus);
        const QImage img = canvasImage(f);
        for (const QRect& r : dust)
            QVERIFY2(isWhite(img, r.x(), r.y()), qPrintable(QString("dust left at %1,%2").arg(r.x()).arg(r.y())));
        for (const QRect& r : kept)
            QVERIFY2(isBlack(img, r.x(), r.y()), qPrintable(QString("cleared at %1,%2").arg(r.x()).arg(r.y())));
        QCOMPARE(countColour(img, Black, QRect(100, 100, 120, 20)), 120 * 20);
    }

    void controlDrawsInTheCurrentColourWithoutClearing()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.chkGomitori->setChecked(true);
        f.setCurrentColour(0x00FF00); // green
        paintOnCanvas(f, QRect(150, 97, 1, 1), Black);
        trace(f, Start, square20(200, 100));
        pad(f, Qt::Key_Plus, Qt::ControlModifier);
        const QImage img = canvasImage(f);
        QCOMPARE(countColour(img, qRgb(0, 255, 0), QRect(100, 100, 120, 20)), 120 * 20);
        QVERIFY(isBlack(img, 150, 97)); // no dust clearing with Control
        QVERIFY(!f.WallStartMarked);
    }

    void dotSizedWallIsALineBetweenCentres()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.optSize[7]->setChecked(true); // wall pen 3 pixels wide
        trace(f, ltrb(100, 100, 107, 107), ltrb(150, 100, 157, 107));
        pad(f, Qt::Key_Plus);
        const QImage img = canvasImage(f);
        for (int x = 105; x < 150; x += 5)
            QVERIFY2(isBlack(img, x, 103), qPrintable(QString("gap at %1").arg(x)));
        // Only a line: the rest of the wall box stays white.
        QVERIFY(isWhite(img, 130, 100));
        QVERIFY(isWhite(img, 130, 106));
        QCOMPARE(countColour(img, qRgb(255, 0, 0)), 0);
        const int black = countColour(img, Black);
        QVERIFY2(black >= 3 * 48 && black <= 3 * 54, qPrintable(QString::number(black)));
    }

    void crossMarkCrossesTheWallMiddle()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.cmbGomiDot->setCurrentText("4");
        trace(f, Start, square20(200, 100));
        pad(f, Qt::Key_Slash);
        const QImage img = canvasImage(f);
        // From (160, 98) to (160, 122), 2 pixels wide.
        for (int y = 99; y < 121; ++y)
            QVERIFY2(blackNear(img, 160, y, 1), qPrintable(QString("gap at y %1").arg(y)));
        QVERIFY(isWhite(img, 160, 96));
        QVERIFY(isWhite(img, 160, 124));
        QVERIFY(isWhite(img, 150, 110));
        QVERIFY(isWhite(img, 170, 110));
        QVERIFY(isBlack(img, 120, 101)); // the face lines are there as well
        QVERIFY(isBlack(img, 120, 118));
    }

    void corners_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QRect>("first");  // (left, top, right, bottom)
        QTest::addColumn<QRect>("second");
        // Square (100, 100)-(120, 120), openings straight from the corner table.
        QTest::newRow("1") << 1 << Qt::Key_1 << ltrb(102, 96, 118, 118) << ltrb(102, 102, 124, 118);
        QTest::newRow("3") << 3 << Qt::Key_3 << ltrb(96, 102, 118, 118) << ltrb(102, 96, 118, 118);
        QTest::newRow("7") << 7 << Qt::Key_7 << ltrb(102, 102, 122, 118) << ltrb(102, 102, 118, 124);
        QTest::newRow("9") << 9 << Qt::Key_9 << ltrb(96, 102, 118, 118) << ltrb(102, 102, 118, 124);
    }
    void corners()
    {
        QFETCH(Qt::Key, key);
        QFETCH(QRect, first);
        QFETCH(QRect, second);
        ProgramDir dir;
        MainWindow f({}, dir.path());
        // Grey surroundings show how far each opening reaches.
        const QRgb grey = qRgb(128, 128, 128);
        paintOnCanvas(f, QRect(80, 80, 60, 60), grey);
        select(f, 100, 100, 120, 120);
        pad(f, key, Qt::ControlModifier);
        QImage expected = whiteImage(600, 600);
        paintRect(expected, 80, 80, 140, 140, grey);
        paintRect(expected, 100, 100, 120, 120, Black);
        paintRect(expected, first.left(), first.top(), first.right(), first.bottom(), White);
        paintRect(expected, second.left(), second.top(), second.right(), second.bottom(), White);
        COMPARE_IMAGES(canvasImage(f), expected, QString("corner-%1").arg(QTest::currentDataTag()));
        QCOMPARE(selection(f), ltrb(100, 100, 120, 120));
    }

    void cornersNeedASquareOfSixOrMore()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const QImage before = canvasImage(f);
        for (const QRect& r : {ltrb(100, 100, 105, 105), ltrb(100, 100, 110, 112)}) {
            select(f, r.left(), r.top(), r.right(), r.bottom());
            pad(f, Qt::Key_7, Qt::ControlModifier);
            COMPARE_IMAGES(canvasImage(f), before, "corner-refused");
        }
        select(f, 100, 100, 106, 106);
        pad(f, Qt::Key_7, Qt::ControlModifier);
        QVERIFY(isBlack(canvasImage(f), 100, 100));
        QVERIFY(isWhite(canvasImage(f), 103, 103));
    }

    void undoRevertsAWholeWall()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(10, 10, 5, 5), Black);
        const QImage before = canvasImage(f);
        trace(f, Start, square20(200, 100));
        pad(f, Qt::Key_Minus);
        QVERIFY(isBlack(canvasImage(f), 150, 100));
        key(f, Qt::Key_Z, Qt::ControlModifier);
        COMPARE_IMAGES(canvasImage(f), before, "undo-wall");
    }
};

ZORVAT_TEST_MAIN(WallsTest)
#include "test_walls.moc"
