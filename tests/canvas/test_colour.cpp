// The current colour: picking from the image and the colour dialog.
#include "canvas/ccolor.h"
#include "canvas_support.h"
#include "testsupport/testmain.h"
#include <QColorDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

using namespace testsupport;
using namespace canvastest;

namespace {
QStringList captions(const MainWindow& f)
{
    return {f.lblRGB[0]->text(), f.lblRGB[1]->text(), f.lblRGB[2]->text()};
}

void clickCanvas(MainWindow& f, QPoint imagePoint, Qt::MouseButton button, Qt::KeyboardModifiers mods = {})
{
    QTest::mouseClick(f.dspCanvas->viewport(), button, mods, f.dspCanvas->imageToView(imagePoint));
}
} // namespace

class TestColour : public QObject {
    Q_OBJECT

    ProgramDir dir;

private slots:
    void cleanup() { cColor::dialogOverride = nullptr; }

    void pickSetsTheColourAndTheCaptions()
    {
        MainWindow f({}, dir.path());
        QCOMPARE(f.currentColour(), 0xFFFFFF); // starts white
        f.FillRect(10, 10, 20, 20, 255 | (0 << 8) | (12 << 16));
        f.FillRect(30, 30, 40, 40, 0);
        f.PickColorAt(15, 15);
        QCOMPARE(f.currentColour(), 255 | (12 << 16));
        QCOMPARE(captions(f), (QStringList{"255R", "G", "12B"}));
        f.PickColorAt(35, 35);
        QCOMPARE(f.currentColour(), 0);
        QCOMPARE(captions(f), (QStringList{"R", "G", "B"}));
        f.PickColorAt(0, 0);
        QCOMPARE(captions(f), (QStringList{"255R", "255G", "255B"}));
        // Off the image there is nothing to pick: the colour stays.
        f.PickColorAt(-5, 700);
        QCOMPARE(f.currentColour(), 0xFFFFFF);
        QCOMPARE(captions(f), (QStringList{"255R", "255G", "255B"}));
    }

    void pickWithASelectionKeepsItShown()
    {
        MainWindow f({}, dir.path());
        select(f, 100, 100, 200, 150);
        const QImage before = canvasImage(f);
        f.PickColorAt(5, 5);
        QCOMPARE(selection(f), QRect(QPoint(100, 100), QPoint(200, 150)));
        QCOMPARE(f.dspCanvas->DisplayMode(), int16_t(2));
        QCOMPARE(canvasImage(f), before); // picking draws nothing
    }

    void pickModeLastsOneLeftClick()
    {
        MainWindow f({}, dir.path());
        f.FillRect(100, 100, 300, 300, 0x00FF00);
        f.btnColorPic->click();
        QVERIFY(f.ColorPickMode);
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
        clickCanvas(f, {200, 200}, Qt::LeftButton);
        QCOMPARE(f.currentColour(), 0x00FF00);
        QVERIFY(!f.ColorPickMode);
        QVERIFY(!QGuiApplication::overrideCursor());

        // The button again leaves the mode without picking.
        f.btnColorPic->click();
        f.btnColorPic->click();
        QVERIFY(!f.ColorPickMode);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void ctrlRightClickPicksWithoutTheMenu()
    {
        MainWindow f({}, dir.path());
        f.FillRect(100, 100, 300, 300, 0x0000FF);
        clickCanvas(f, {200, 200}, Qt::RightButton, Qt::ControlModifier);
        QCOMPARE(f.currentColour(), 0x0000FF);
        QVERIFY(!f.mnuEditDisp->isVisible());
        QVERIFY(!f.ColorPickMode);
    }

    void dialogStartsOnTheCurrentColourWithWhiteCustomColours()
    {
        MainWindow f({}, dir.path());
        f.setCurrentColour(0x336699);
        // Colours Qt kept from earlier use must not show up.
        QColorDialog::setCustomColor(3, Qt::red);
        QColor initial;
        QList<QColor> customs;
        cColor::dialogOverride = [&](QColorDialog& d) {
            initial = d.currentColor();
            for (int i = 0; i < QColorDialog::customCount(); ++i)
                customs << QColorDialog::customColor(i);
            QColorDialog::setCustomColor(0, Qt::green);
            d.setCurrentColor(QColor(10, 20, 30));
            return true;
        };
        f.btnColorDialog->click();
        QCOMPARE(initial, QColor(0x99, 0x66, 0x33));
        QCOMPARE(customs.size(), 16);
        for (const QColor& c : customs)
            QCOMPARE(c, QColor(Qt::white));
        QCOMPARE(f.currentColour(), 10 | (20 << 8) | (30 << 16));

        // The next opening starts with white custom colours again; cancel
        // keeps the colour.
        customs.clear();
        cColor::dialogOverride = [&](QColorDialog& d) {
            for (int i = 0; i < 16; ++i)
                customs << QColorDialog::customColor(i);
            d.setCurrentColor(Qt::yellow);
            return false;
        };
        f.btnColorDialog->click();
        QCOMPARE(customs.value(0), QColor(Qt::white));
        QCOMPARE(f.currentColour(), 10 | (20 << 8) | (30 << 16));
    }

    void dialogKeepsCustomColoursWithinOneInstance()
    {
        cColor c;
        c.setColor(0x0000FF);
        c.setCustomColor(2, 0x00FF00);
        QColor seen;
        cColor::dialogOverride = [&](QColorDialog& d) {
            seen = QColorDialog::customColor(2);
            QColorDialog::setCustomColor(5, QColor(1, 2, 3));
            d.setCurrentColor(QColor(4, 5, 6));
            return true;
        };
        QVERIFY(c.ShowDialog(nullptr, 1));
        QCOMPARE(seen, QColor(0, 255, 0));
        QCOMPARE(c.Color(), 4 | (5 << 8) | (6 << 16));
        QCOMPARE(c.CustomColor(5), 1 | (2 << 8) | (3 << 16));
        // Without flag 1 the chooser starts on black.
        cColor::dialogOverride = [&](QColorDialog& d) {
            seen = d.currentColor();
            return false;
        };
        QVERIFY(!c.ShowDialog(nullptr, 0));
        QCOMPARE(seen, QColor(Qt::black));
    }
};

ZORVAT_TEST_MAIN(TestColour)
#include "test_colour.moc"
