// Canvas clicks by mode, the edit menu, the wall-size square and the
// on-screen key buttons.
#include "canvas_support.h"
#include "imaging/store/imagestore.h"
#include "shell/messages.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

using namespace testsupport;
using namespace canvastest;

namespace {
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);

// A window shown at actual size, so that a click lands on the exact pixel.
struct Window {
    ProgramDir dir;
    MainWindow f{QStringList{}, dir.path()};
    Window()
    {
        f.dspCanvas->setZoomMode(2);
        f.dspCanvas->setZoomFactor(1.0);
        f.dspCanvas->setDisplayMode(0);
        f.dspCanvas->Refresh();
    }
    ~Window()
    {
        f.mnuEditDisp->hide();
        f.setScreenPointer(0);
    }
    void click(QPoint p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(f.dspCanvas->viewport(), button, mods, f.dspCanvas->imageToView(p));
    }
    void fillMode()
    {
        messages::override = [](const QString&) {};
        f.btnFillMode_Click();
        messages::override = nullptr;
    }
};

QStringList actionNames(const QMenu* m)
{
    QStringList names;
    for (const QAction* a : m->actions())
        names << (a->isSeparator() ? QString("-") : a->objectName());
    return names;
}
} // namespace

class TestCanvasClick : public QObject {
    Q_OBJECT

private slots:
    void leftClickDismissesASelectionOnlyBeyondTenPixels()
    {
        Window w;
        select(w.f, 100, 100, 200, 150);
        w.click({90, 120});   // exactly 10 left of the left edge
        w.click({210, 160});  // 10 right and 10 below
        QCOMPARE(selection(w.f), QRect(QPoint(100, 100), QPoint(200, 150)));
        w.click({89, 120});   // 11 left
        QCOMPARE(selection(w.f), QRect(QPoint(0, 0), QPoint(0, 0)));

        // A selection of zero width with a bottom still counts.
        select(w.f, 0, 10, 0, 150);
        w.click({300, 300});
        QCOMPARE(selection(w.f), QRect(QPoint(0, 0), QPoint(0, 0)));
        QVERIFY(!w.f.IsNearSelection(300, 300));
        select(w.f, 100, 100, 200, 150);
        QVERIFY(w.f.IsNearSelection(210, 90));
        QVERIFY(!w.f.IsNearSelection(211, 90));
        QVERIFY(!w.f.IsNearSelection(150, 89));
    }

    void pickModeWinsOverFillModeForOneClick()
    {
        Window w;
        w.f.FillRect(0, 0, 300, 300, 0xFF0000); // blue
        w.f.FillRect(0, 300, 600, 302, 0);      // a black line keeps fills below it
        w.fillMode();
        w.f.btnColorPic_Click();
        const QImage before = canvasImage(w.f);
        w.click({100, 100});
        QCOMPARE(w.f.currentColour(), 0xFF0000);
        QVERIFY(!w.f.ColorPickMode);
        QVERIFY(w.f.FillMode);
        COMPARE_IMAGES(canvasImage(w.f), before, "pick_not_fill");
        // The next left click fills.
        w.f.setCurrentColour(255);
        w.click({400, 400});
        QCOMPARE(canvasImage(w.f).pixel(400, 400), kRed);
        QCOMPARE(canvasImage(w.f).pixel(100, 100), kBlue);
    }

    void ctrlRightClickPicksInEveryModeAndKeepsThem()
    {
        Window w;
        w.f.FillRect(0, 0, 300, 300, 0xFF0000);
        w.fillMode();
        w.f.btnColorPic_Click();
        const QImage before = canvasImage(w.f);
        w.click({100, 100}, Qt::RightButton, Qt::ControlModifier);
        QCOMPARE(w.f.currentColour(), 0xFF0000);
        QVERIFY(w.f.ColorPickMode);
        QVERIFY(w.f.FillMode);
        QVERIFY(!w.f.mnuEditDisp->isVisible());
        COMPARE_IMAGES(canvasImage(w.f), before, "ctrl_right_no_fill");
    }

    void rightClickOpensTheMenuWithoutChangingModes()
    {
        Window w;
        w.fillMode();
        w.f.btnColorPic_Click();
        const QImage before = canvasImage(w.f);
        w.click({100, 100}, Qt::RightButton);
        QVERIFY(w.f.mnuEditDisp->isVisible());
        QVERIFY(w.f.ColorPickMode);
        QVERIFY(w.f.FillMode);
        COMPARE_IMAGES(canvasImage(w.f), before, "right_click_no_change");
    }

    void anyClickDropsAMarkedWallStart()
    {
        Window w;
        w.f.FillRect(100, 100, 140, 140, 0);
        select(w.f, 100, 100, 120, 120);
        const QImage before = canvasImage(w.f);
        const int live = gf5::ImageStore::liveCount();
        // Marking: snapshot, the square's pixels saved, the square painted red.
        w.f.TakeUndoSnapshot();
        w.f.CutOutSelection(1);
        w.f.CutOutSelection(1); // a second cut-out replaces (and releases) the first
        w.f.FillSelection(255);
        w.f.WallStartMarked = true;
        QVERIFY(canvasImage(w.f) != before);
        w.click({110, 110}, Qt::RightButton);
        QVERIFY(!w.f.WallStartMarked);
        COMPARE_IMAGES(canvasImage(w.f), before, "wall_start_dropped");
        QVERIFY(w.f.mnuEditDisp->isVisible()); // the click still goes on
        // The saved pixels were released; the snapshot took the place of
        // the drawn-on image.
        QCOMPARE(gf5::ImageStore::liveCount(), live);
        // Stamping again has nothing left to put back.
        w.f.FillRect(100, 100, 120, 120, 0xFFFFFF);
        const QImage after = canvasImage(w.f);
        w.f.StampCutOutBack();
        COMPARE_IMAGES(canvasImage(w.f), after, "stamp_twice");
    }

    void aClickAfterWalkingPutsTheStartBackWhereItCameFrom()
    {
        Window w;
        w.f.FillRect(100, 100, 120, 120, 0); // the start square lies on black
        select(w.f, 100, 100, 120, 120);
        const QImage before = canvasImage(w.f);
        w.f.show();
        QTest::keyClick(w.f.dspCanvas, Qt::Key_5, Qt::KeypadModifier);
        QVERIFY(w.f.WallStartMarked);
        select(w.f, 160, 100, 180, 120); // walked along the wall
        w.click({300, 300});
        QVERIFY(!w.f.WallStartMarked);
        COMPARE_IMAGES(canvasImage(w.f), before, "walked_then_clicked");

        // Undo while marked, then keypad 5: the start goes back to its own place.
        select(w.f, 100, 100, 120, 120);
        QTest::keyClick(w.f.dspCanvas, Qt::Key_5, Qt::KeypadModifier);
        select(w.f, 200, 200, 220, 220);
        QTest::keyClick(w.f.dspCanvas, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w.f.dspCanvas, Qt::Key_5, Qt::KeypadModifier);
        QVERIFY(!w.f.WallStartMarked);
        COMPARE_IMAGES(canvasImage(w.f), before, "undo_then_unmark");
    }

    void stampingBackWithNothingSavedLeavesTheCanvasAlone()
    {
        // Right after start-up the working effect slot names the canvas image.
        Window w;
        const int32_t canvas = w.f.dspCanvas->ImageHandle();
        w.f.FillRect(10, 10, 50, 50, 0);
        const QImage before = canvasImage(w.f);
        select(w.f, 0, 0, 0, 0);
        w.f.SavedSelRight = 100; // a rectangle left over from earlier work
        w.f.SavedSelBottom = 100;
        w.f.StampCutOutBack();
        QCOMPARE(w.f.dspCanvas->ImageHandle(), canvas);
        QVERIFY(gf5::ImageStore::image(canvas));
        COMPARE_IMAGES(canvasImage(w.f), before, "stamp_nothing_saved");
    }

    void menuItemsFollowTheSelectionAndTheFloatingPaste()
    {
        Window w;
        MainWindow& f = w.f;
        QCOMPARE(actionNames(f.mnuEditDisp),
                 (QStringList{"mnuEditNuri", "-", "mnuEditMojiPaste", "-", "mnuEditClipCopy", "-",
                              "mnuEditClipInsert", "mnuEditClipPaste", "mnuEditClipPasteToka", "-",
                              "mnuEditAnti", "mnuEditSave", "mnuEditUndo", "-", "mnuEditDeskew",
                              "mnuEditScale", "mnuEditCalibrate"}));
        auto enabled = [&] {
            QStringList on;
            for (const QAction* a : f.mnuEditDisp->actions())
                if (!a->isSeparator() && a->isEnabled())
                    on << a->objectName();
            return on;
        };
        // No selection.
        f.prepareEditMenu();
        QCOMPARE(enabled(), (QStringList{"mnuEditMojiPaste", "mnuEditClipInsert", "mnuEditSave", "mnuEditUndo",
                                         "mnuEditDeskew", "mnuEditScale"}));
        QCOMPARE(f.mnuEditMojiPaste->text(), QString("文字を張付ける"));
        // A floating paste enables the confirm items even without a selection.
        f.PasteFloating = true;
        f.prepareEditMenu();
        QCOMPARE(enabled(), (QStringList{"mnuEditMojiPaste", "mnuEditClipInsert", "mnuEditClipPaste",
                                         "mnuEditClipPasteToka", "mnuEditSave", "mnuEditUndo",
                                         "mnuEditDeskew", "mnuEditScale"}));
        // A selection (zero width, but a bottom) without a floating paste.
        f.PasteFloating = false;
        f.txtmoji->setEditText("LDK");
        select(f, 0, 10, 0, 150);
        f.prepareEditMenu();
        QCOMPARE(enabled(), (QStringList{"mnuEditNuri", "mnuEditMojiPaste", "mnuEditClipCopy",
                                         "mnuEditClipInsert", "mnuEditAnti", "mnuEditSave", "mnuEditUndo",
                                         "mnuEditDeskew", "mnuEditScale", "mnuEditCalibrate"}));
        QCOMPARE(f.mnuEditMojiPaste->text(), QString("[LDK]という文字を貼付け"));
        // The caption stays on later menus without a selection.
        select(f, 0, 0, 0, 0);
        f.txtmoji->setEditText("洋室");
        w.click({300, 300}, Qt::RightButton);
        QVERIFY(f.mnuEditDisp->isVisible());
        QCOMPARE(f.mnuEditMojiPaste->text(), QString("[LDK]という文字を貼付け"));
        select(f, 10, 10, 50, 50);
        f.prepareEditMenu();
        QCOMPARE(f.mnuEditMojiPaste->text(), QString("[洋室]という文字を貼付け"));
    }

    void menuItemsRunTheirCommands()
    {
        Window w;
        MainWindow& f = w.f;
        f.setCurrentColour(255);
        select(f, 10, 20, 60, 50);
        f.mnuEditNuri->trigger();
        QCOMPARE(countColour(canvasImage(f), kRed), 50 * 30);
        f.TakeUndoSnapshot();
        f.FillRect(0, 0, 5, 5, 0);
        f.mnuEditUndo->trigger();
        QCOMPARE(countColour(canvasImage(f), qRgb(0, 0, 0)), 0);
    }

    void wallSizeSquare()
    {
        Window w;
        MainWindow& f = w.f;
        // No selection: a square 100 pixels in from the visible corner.
        f.optSize[3]->click(); // 12 pixels
        const int ox = f.dspCanvas->ViewOriginX(), oy = f.dspCanvas->ViewOriginY();
        QCOMPARE(selection(f), QRect(QPoint(ox + 100, oy + 100), QPoint(ox + 112, oy + 112)));
        // With a selection only the right and bottom edges move.
        select(f, 30, 40, 300, 90);
        f.optSize[1]->click();
        QCOMPARE(selection(f), QRect(QPoint(30, 40), QPoint(50, 60)));
        f.optSize[9]->click();
        QCOMPARE(selection(f), QRect(QPoint(30, 40), QPoint(37, 47)));
        // Without the wall size the square has no size.
        f.FitSelectionToWallSize(false);
        QCOMPARE(selection(f), QRect(QPoint(30, 40), QPoint(30, 40)));
        QCOMPARE(f.dspCanvas->DisplayMode(), int16_t(2));
    }

    void toolSettingsHandTheFocusBackToTheCanvas()
    {
        Window w;
        MainWindow& f = w.f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.cmbWidth->setFocus();
        QTRY_VERIFY(f.cmbWidth->hasFocus());
        emit f.cmbWidth->activated(3);
        QTRY_VERIFY(f.dspCanvas->hasFocus());
        f.cmbPenStyle->setFocus();
        QTRY_VERIFY(f.cmbPenStyle->hasFocus());
        emit f.cmbPenStyle->activated(1);
        QTRY_VERIFY(f.dspCanvas->hasFocus());
        f.optColorPicMethod[1]->setFocus();
        QTRY_VERIFY(f.optColorPicMethod[1]->hasFocus());
        f.optColorPicMethod[1]->click();
        QTRY_VERIFY(f.dspCanvas->hasFocus());
        f.optSize[2]->setFocus();
        f.optSize[2]->click();
        QTRY_VERIFY(f.dspCanvas->hasFocus());
    }

    void keyButtonsDoWhatTheirKeysDo()
    {
        // The arrows move the selection by half the wall size, as the keypad does.
        for (int index = 0; index < 4; ++index) {
            Window a, b;
            for (MainWindow* f : {&a.f, &b.f}) {
                f->optSize[1]->setChecked(true);
                select(*f, 200, 200, 220, 220);
            }
            a.f.btnArrow[size_t(index)]->click();
            const int keys[4] = {Qt::Key_8, Qt::Key_2, Qt::Key_4, Qt::Key_6};
            QTest::keyClick(b.f.dspCanvas, Qt::Key(keys[index]), Qt::KeypadModifier);
            QVERIFY(selection(a.f) != QRect(QPoint(200, 200), QPoint(220, 220)));
            QCOMPARE(selection(a.f), selection(b.f));
        }
        // Button 11 is Ctrl + keypad 7.
        Window a, b;
        for (MainWindow* f : {&a.f, &b.f}) {
            f->optSize[1]->setChecked(true);
            select(*f, 200, 200, 220, 220);
        }
        a.f.btnArrow[11]->click();
        QTest::keyClick(b.f.dspCanvas, Qt::Key_7, Qt::KeypadModifier | Qt::ControlModifier);
        COMPARE_IMAGES(canvasImage(a.f), canvasImage(b.f), "arrow11_ctrl_pad7");
        QCOMPARE(selection(a.f), selection(b.f));
    }
};

ZORVAT_TEST_MAIN(TestCanvasClick)
#include "test_canvas_click.moc"
