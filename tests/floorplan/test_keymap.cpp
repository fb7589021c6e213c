// The keyboard command map, driven by real key events on the canvas (the
// keypad keys arrive with the keypad modifier, as the platform sends them
// with Num Lock on).
#include "plan_keys.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace plantest;
using namespace testsupport;

namespace {
const QRgb Red = qRgb(255, 0, 0);
const QRgb Black = qRgb(0, 0, 0);

void showActive(MainWindow& f)
{
    f.show();
    QApplication::setActiveWindow(&f);
    QVERIFY(QTest::qWaitForWindowActive(&f));
}
} // namespace

class KeymapTest : public QObject {
    Q_OBJECT

private slots:
    void keypadStepIsHalfTheWallThickness_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("step");
        const int steps[10] = {0, 10, 8, 6, 5, 4, 4, 4, 4, 4};
        for (int i = 1; i <= 9; ++i)
            QTest::addRow("optSize(%d)", i) << i << steps[i];
    }
    void keypadStepIsHalfTheWallThickness()
    {
        QFETCH(int, option);
        QFETCH(int, step);
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.optSize[option]->setChecked(true);
        select(f, 100, 100, 120, 120);
        pad(f, Qt::Key_6);
        QCOMPARE(selection(f), ltrb(100 + step, 100, 120 + step, 120));
        pad(f, Qt::Key_2);
        QCOMPARE(selection(f), ltrb(100 + step, 100 + step, 120 + step, 120 + step));
        pad(f, Qt::Key_4);
        pad(f, Qt::Key_8);
        pad(f, Qt::Key_8);
        QCOMPARE(selection(f), ltrb(100, 100 - step, 120, 120 - step));
        // Control: one pixel whatever the thickness.
        pad(f, Qt::Key_2, Qt::ControlModifier);
        pad(f, Qt::Key_6, Qt::ControlModifier);
        QCOMPARE(selection(f), ltrb(101, 101 - step, 121, 121 - step));
        QCOMPARE(f.dspCanvas->DisplayMode(), int16_t(2));
    }

    void withoutAThicknessTheSelectionStaysButIsRedrawn()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        select(f, 100, 100, 120, 120);
        f.dspCanvas->setDisplayMode(1);
        pad(f, Qt::Key_6);
        pad(f, Qt::Key_8);
        QCOMPARE(selection(f), ltrb(100, 100, 120, 120));
        QCOMPARE(f.dspCanvas->DisplayMode(), int16_t(2));
    }

    void altResizesOneEdgeByOnePixel()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.optSize[1]->setChecked(true);
        select(f, 100, 100, 120, 101);
        pad(f, Qt::Key_8, Qt::AltModifier);
        QCOMPARE(selection(f), ltrb(100, 100, 120, 100)); // height 1 -> bottom on the top
        pad(f, Qt::Key_8, Qt::AltModifier);
        QCOMPARE(selection(f), ltrb(100, 100, 120, 100)); // never inside out
        pad(f, Qt::Key_2, Qt::AltModifier);
        pad(f, Qt::Key_2, Qt::AltModifier);
        pad(f, Qt::Key_6, Qt::AltModifier);
        pad(f, Qt::Key_4, Qt::AltModifier);
        pad(f, Qt::Key_4, Qt::AltModifier);
        QCOMPARE(selection(f), ltrb(100, 100, 119, 102));
        // Alt together with Shift is not Alt: a normal move.
        pad(f, Qt::Key_6, Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(selection(f), ltrb(110, 100, 129, 102));
    }

    void onlyKeypadKeysMove()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.optSize[4]->setChecked(true);
        select(f, 100, 100, 120, 120);
        key(f, Qt::Key_8); // the digit row's 8 is not keypad 8
        QCOMPARE(selection(f), ltrb(100, 100, 120, 120));
        // Num Lock off: the keypad sends navigation keys, which move nothing.
        pad(f, Qt::Key_Up);
        QCOMPARE(selection(f), ltrb(100, 100, 120, 120));
        pad(f, Qt::Key_8);
        QCOMPARE(selection(f), ltrb(100, 95, 120, 115));
    }

    void markingTheStartAndCancelling()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(105, 105, 4, 4), Black);
        const QImage before = canvasImage(f);
        f.optSize[1]->setChecked(true);
        select(f, 100, 100, 120, 120);
        pad(f, Qt::Key_5);
        QVERIFY(f.WallStartMarked);
        QCOMPARE(f.TrackRect[4], 100);
        QCOMPARE(f.TrackRect[5], 100);
        QCOMPARE(f.TrackRect[6], 120);
        QCOMPARE(f.TrackRect[7], 120);
        QCOMPARE(countColour(canvasImage(f), Red, QRect(100, 100, 20, 20)), 400);
        // Walking keeps the start marked and red.
        pad(f, Qt::Key_6);
        pad(f, Qt::Key_6);
        QVERIFY(f.WallStartMarked);
        QCOMPARE(countColour(canvasImage(f), Red, QRect(100, 100, 20, 20)), 400);
        QCOMPARE(selection(f), ltrb(120, 100, 140, 120));
        // Keypad 5 again restores the start square.
        pad(f, Qt::Key_5);
        QVERIFY(!f.WallStartMarked);
        COMPARE_IMAGES(canvasImage(f), before, "unmarked");
    }

    void confirmKeysWithoutAMarkOnlyMoveTheFocus()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showActive(f);
        const QImage before = canvasImage(f);
        select(f, 100, 100, 200, 120);
        for (Qt::Key k : {Qt::Key_Plus, Qt::Key_Minus, Qt::Key_Slash}) {
            f.chkBold->setFocus();
            pad(f, k);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.dspCanvas));
        }
        key(f, Qt::Key_D);
        key(f, Qt::Key_H);
        COMPARE_IMAGES(canvasImage(f), before, "no-mark");
        QCOMPARE(selection(f), ltrb(100, 100, 200, 120));
    }

    void anyKeyMovesTheFocusToTheCanvas()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showActive(f);
        f.chkGomitori->setFocus();
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.chkGomitori));
        QTest::keyClick(f.chkGomitori, Qt::Key_Q);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.dspCanvas));
        // Space would toggle a focused check box; the map takes it first.
        f.chkGomitori->setFocus();
        QTest::keyClick(f.chkGomitori, Qt::Key_Space);
        QVERIFY(!f.chkGomitori->isChecked());
    }

    // Without a selection a confirm key (and keypad 5 or +) drops a marked
    // start: the start square gets its pixels back and nothing is drawn.
    void keyWithoutSelectionDropsTheMark_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::newRow("keypad -") << int(Qt::Key_Minus) << int(Qt::KeypadModifier);
        QTest::newRow("D") << int(Qt::Key_D) << 0;
        QTest::newRow("Ctrl+keypad 7") << int(Qt::Key_7) << int(Qt::KeypadModifier | Qt::ControlModifier);
        QTest::newRow("keypad 5") << int(Qt::Key_5) << int(Qt::KeypadModifier);
        QTest::newRow("keypad +") << int(Qt::Key_Plus) << int(Qt::KeypadModifier);
    }
    void keyWithoutSelectionDropsTheMark()
    {
        QFETCH(int, key);
        QFETCH(int, mods);
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showActive(f);
        const QImage before = canvasImage(f);
        select(f, 100, 100, 120, 120);
        pad(f, Qt::Key_5);
        select(f, 0, 0, 0, 0);
        f.chkBold->setFocus();
        QTest::keyClick(f.chkBold, Qt::Key(key), Qt::KeyboardModifiers(mods));
        QVERIFY(!f.WallStartMarked);
        COMPARE_IMAGES(canvasImage(f), before, QString("dropped-%1").arg(QTest::currentDataTag()));
        // It ends early: the focus stays where it was.
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.chkBold));
    }

    void edgeLineKeysDrawOnTheSelection()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        select(f, 100, 100, 200, 150);
        key(f, Qt::Key_Insert); // top edge
        QVERIFY(blackNear(canvasImage(f), 150, 100, 1));
        QVERIFY(!blackNear(canvasImage(f), 150, 150, 2));
        key(f, Qt::Key_PageDown); // diagonal top-left to bottom-right
        QVERIFY(blackNear(canvasImage(f), 150, 125, 1));
        // Each is one undo step.
        key(f, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!blackNear(canvasImage(f), 150, 125, 2));
        QVERIFY(blackNear(canvasImage(f), 150, 100, 1));
        // While a start is marked the edge keys do nothing.
        select(f, 300, 300, 320, 320);
        pad(f, Qt::Key_5);
        const QImage marked = canvasImage(f);
        key(f, Qt::Key_Delete);
        COMPARE_IMAGES(canvasImage(f), marked, "edge-while-marked");
    }

    void cornerKeysNeedExactlyControl()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const QImage before = canvasImage(f);
        select(f, 100, 100, 120, 120);
        pad(f, Qt::Key_7);
        pad(f, Qt::Key_7, Qt::ControlModifier | Qt::ShiftModifier);
        COMPARE_IMAGES(canvasImage(f), before, "corner-no-ctrl");
        pad(f, Qt::Key_7, Qt::ControlModifier);
        QVERIFY(isBlack(canvasImage(f), 100, 100));
    }

    void cornerAfterATraceDrawsTheWallThenTheCorner()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const QImage before = canvasImage(f);
        f.optSize[1]->setChecked(true);
        select(f, 100, 100, 120, 120);
        pad(f, Qt::Key_5);
        for (int i = 0; i < 10; ++i)
            pad(f, Qt::Key_6); // 10 steps of 10 pixels
        QCOMPARE(selection(f), ltrb(200, 100, 220, 120));
        pad(f, Qt::Key_9, Qt::ControlModifier); // top-right corner of a room
        const QImage img = canvasImage(f);
        QVERIFY(!f.WallStartMarked);
        QVERIFY(isBlack(img, 150, 100));  // the wall's faces
        QVERIFY(isBlack(img, 150, 119));
        QVERIFY(isWhite(img, 150, 110));
        QVERIFY(isBlack(img, 218, 110));  // the corner's outer faces: right ...
        QVERIFY(isBlack(img, 210, 100));  // ... and top
        QVERIFY(isWhite(img, 210, 121));  // opened downwards
        QCOMPARE(countColour(img, Red), 0);
        // Undo brings back the sheet as it was before the start was marked,
        // without the red marker.
        key(f, Qt::Key_Z, Qt::ControlModifier);
        COMPARE_IMAGES(canvasImage(f), before, "corner-undo");
    }

    void typingIntoTheRoomNameRunsNoCommand()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showActive(f);
        f.optSize[1]->setChecked(true);
        select(f, 100, 100, 105, 105);
        f.txtmoji->setFocus();
        QVERIFY(!f.KeyPreview);
        f.txtmoji->lineEdit()->selectAll();
        QWidget* edit = QApplication::focusWidget();
        QTest::keyClicks(edit, "R");
        QTest::keyClick(edit, Qt::Key_6, Qt::KeypadModifier);
        QTest::keyClick(edit, Qt::Key_5, Qt::KeypadModifier);
        QCOMPARE(f.txtmoji->currentText(), QString("R65"));
        QCOMPARE(selection(f), ltrb(100, 100, 105, 105)); // neither fitted nor moved
        QVERIFY(!f.WallStartMarked);
        // Leaving the box switches the keys back on.
        f.dspCanvas->setFocus();
        QVERIFY(f.KeyPreview);
        pad(f, Qt::Key_6);
        QCOMPARE(selection(f), ltrb(110, 100, 115, 105));
        key(f, Qt::Key_R); // R fits the selection to the thickness
        QCOMPARE(selection(f), ltrb(110, 100, 130, 120));
    }

};

ZORVAT_TEST_MAIN(KeymapTest)
#include "test_keymap.moc"
