// Filling the selection, a rectangle, and clicks in fill mode.
#include "canvas_support.h"
#include "shell/messages.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>

using namespace testsupport;
using namespace canvastest;

namespace {
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const int32_t kRedColour = 255;

// A one-pixel outline (l, t)-(r, b) inclusive, committed in the colour.
void drawOutline(MainWindow& f, int l, int t, int r, int b, int32_t colour)
{
    f.FillRect(l, t, r + 1, t + 1, colour);
    f.FillRect(l, b, r + 1, b + 1, colour);
    f.FillRect(l, t, l + 1, b + 1, colour);
    f.FillRect(r, t, r + 1, b + 1, colour);
}

void clickCanvas(MainWindow& f, QPoint imagePoint, Qt::KeyboardModifiers mods = Qt::NoModifier,
                 Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(f.dspCanvas->viewport(), button, mods, f.dspCanvas->imageToView(imagePoint));
}

// Fill mode on, its message answered.
QString enterFillMode(MainWindow& f)
{
    QString shown;
    messages::override = [&](const QString& text) { shown = text; };
    f.btnFillMode->click();
    messages::override = nullptr;
    return shown;
}
} // namespace

class TestFill : public QObject {
    Q_OBJECT

    ProgramDir dir;

private slots:
    void fillButtonFillsTheSelectionInTheCurrentColour()
    {
        MainWindow f({}, dir.path());
        f.setCurrentColour(kRedColour);
        select(f, 50, 60, 150, 120);
        const QImage before = canvasImage(f);
        f.btnFill[0]->click();
        QImage img = canvasImage(f);
        QCOMPARE(countColour(img, kRed), 100 * 60);
        QCOMPARE(countColour(img, kRed, QRect(50, 60, 100, 60)), 100 * 60);
        QCOMPARE(selection(f), QRect(QPoint(50, 60), QPoint(150, 120)));
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), before, "fill_button_undo");
    }

    void menuFillTakesNoSnapshotAndFillRectKeepsTheSelection()
    {
        MainWindow f({}, dir.path());
        f.setCurrentColour(kRedColour);
        select(f, 10, 10, 30, 40);
        f.mnuEditNuri->trigger();
        QCOMPARE(countColour(canvasImage(f), kRed), 20 * 30);
        QCOMPARE(f.fxUndo.ResultImage, 0);

        // FillRect erases part of it with white, selection or not.
        f.FillRect(0, 0, 20, 20, 0xFFFFFF);
        QCOMPARE(countColour(canvasImage(f), kRed), 20 * 30 - 10 * 10);
        QCOMPARE(selection(f), QRect(QPoint(10, 10), QPoint(30, 40)));
        select(f, 0, 0, 0, 0);
        f.FillRect(100, 100, 110, 105, 0);
        QCOMPARE(countColour(canvasImage(f), kBlack), 50);
        QCOMPARE(selection(f), QRect(QPoint(0, 0), QPoint(0, 0)));
        // FillSelection without a selection does nothing.
        const QImage before = canvasImage(f);
        f.FillSelection(-1);
        COMPARE_IMAGES(canvasImage(f), before, "fill_no_selection");
    }

    void fillModeSwitch()
    {
        MainWindow f({}, dir.path());
        select(f, 10, 10, 50, 50);
        const QString text = enterFillMode(f);
        QCOMPARE(text, QString("塗り潰しモード解除の時はもう一度このボタンを押してください\n"
                               "通常のクリックで、黒線で囲まれた領域を、Ctrlキーを押しながらクリックすると"
                               "色領域の塗り潰しになります"));
        QVERIFY(f.FillMode);
        QCOMPARE(selection(f), QRect(QPoint(0, 0), QPoint(0, 0)));
        QVERIFY(!f.dspCanvas->SelectionDragEnabled());
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BitmapCursor);

        f.btnFillMode->click();
        QVERIFY(!f.FillMode);
        QVERIFY(f.dspCanvas->SelectionDragEnabled());
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(selection(f), QRect(QPoint(0, 0), QPoint(0, 0))); // not restored
    }

    void plainClickFillsTheRoomInsideBlackLines()
    {
        MainWindow f({}, dir.path());
        drawOutline(f, 100, 100, 200, 180, 0);
        drawOutline(f, 300, 100, 400, 180, 0);
        f.setCurrentColour(kRedColour);
        QGuiApplication::clipboard()->setText("the user's text");
        const QImage before = canvasImage(f);
        enterFillMode(f);
        clickCanvas(f, {150, 140});
        QImage img = canvasImage(f);
        QCOMPARE(countColour(img, kRed), 99 * 79);
        QCOMPARE(countColour(img, kRed, QRect(101, 101, 99, 79)), 99 * 79);
        // The clipboard keeps what the user put there.
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("the user's text"));
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasImage());
        // One undo step.
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), before, "click_fill_undo");
        f.setScreenPointer(0);
    }

    void aGapInTheOutlineLetsTheFillOut()
    {
        MainWindow f({}, dir.path());
        drawOutline(f, 100, 100, 200, 180, 0);
        f.FillRect(200, 140, 201, 141, 0xFFFFFF); // one-pixel gap in the right edge
        f.setCurrentColour(kRedColour);
        enterFillMode(f);
        f.FillAtPoint(150, 140);
        const QImage img = canvasImage(f);
        QCOMPARE(img.pixel(500, 500), kRed);
        QCOMPARE(countColour(img, kBlack), 2 * 101 + 2 * 79 - 1);
        f.setScreenPointer(0);
    }

    void greyLinesDoNotStopThePlainFill()
    {
        MainWindow f({}, dir.path());
        drawOutline(f, 100, 100, 200, 180, 0x010101);
        f.setCurrentColour(kRedColour);
        enterFillMode(f);
        f.FillAtPoint(150, 140);
        QCOMPARE(countColour(canvasImage(f), kRed), 600 * 600);
        f.setScreenPointer(0);
    }

    void ctrlClickFillsOnlyTheClickedColour()
    {
        MainWindow f({}, dir.path());
        drawOutline(f, 100, 100, 200, 180, 0xFFFFFE); // near-white (254, 255, 255)
        f.setCurrentColour(kRedColour);
        const QImage before = canvasImage(f);
        enterFillMode(f);
        clickCanvas(f, {150, 140}, Qt::ControlModifier);
        QImage img = canvasImage(f);
        QCOMPARE(countColour(img, kRed), 99 * 79);
        QCOMPARE(img.pixel(50, 50), kWhite);
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), before, "ctrl_fill_undo");

        // A plain click on black fills nothing, yet is still one undo step.
        f.FillRect(300, 300, 350, 350, 0);
        const QImage withBox = canvasImage(f);
        clickCanvas(f, {325, 325});
        COMPARE_IMAGES(canvasImage(f), withBox, "fill_on_black");
        f.setScreenPointer(0);
    }

    void fillingReleasesNothingItShouldKeep()
    {
        MainWindow f({}, dir.path());
        drawOutline(f, 100, 100, 200, 180, 0);
        f.TakeUndoSnapshot();
        const int live = gf5::ImageStore::liveCount();
        enterFillMode(f);
        f.FillAtPoint(150, 140);
        f.FillAtPoint(10, 10);
        QCOMPARE(gf5::ImageStore::liveCount(), live);
        QVERIFY(gf5::ImageStore::image(f.dspCanvas->ImageHandle()));
        QVERIFY(gf5::ImageStore::image(f.fxUndo.ResultImage));
        f.setScreenPointer(0);
    }
};

ZORVAT_TEST_MAIN(TestFill)
#include "test_fill.moc"
