// Making the underlay, marking its greys and taking it away again.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "floorplan/underlay_rules.h"
#include <QPushButton>

using namespace testsupport;

namespace {
// Four vertical bands: white, grey 64, grey 128, grey 230.
QImage greyBands()
{
    QImage img(80, 40, QImage::Format_RGB32);
    const int levels[4] = {255, 64, 128, 230};
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x) {
            const int v = levels[x / 20];
            img.setPixel(x, y, qRgb(v, v, v));
        }
    return img;
}

int greyCount(const QImage& img, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += floorplan::isPureGrey(img.pixel(x, y));
    return n;
}
}

class UnderlayTest : public QObject {
    Q_OBJECT
private slots:
    void pixelRules()
    {
        using namespace floorplan;
        QCOMPARE(markUnderlayPixel(qRgb(255, 255, 255)), qRgb(255, 255, 254));
        QCOMPARE(markUnderlayPixel(qRgb(0, 0, 0)), qRgb(0, 0, 1));
        QCOMPARE(markUnderlayPixel(qRgb(10, 20, 30)), qRgb(10, 20, 30));
        QCOMPARE(removeUnderlayPixel(qRgb(200, 200, 201)), qRgb(255, 255, 255));
        QCOMPARE(removeUnderlayPixel(qRgb(128, 128, 128)), qRgb(128, 128, 128));
    }

    void creationRecoloursAndLeavesNoGrey()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const QImage before = greyBands();
        showOnCanvas(f, before);
        f.btnRGB_Click();
        const QImage after = canvasImage(f);
        QCOMPARE(after.pixel(5, 5), qRgb(255, 255, 254));
        QCOMPARE(after.pixel(25, 5), qRgb(64, 100, 64));
        QCOMPARE(after.pixel(45, 5), qRgb(128, 160, 128));
        QCOMPARE(after.pixel(65, 5), qRgb(230, 230, 231));
        QCOMPARE(greyCount(after, after.rect()), 0);
        QVERIFY(!f.dspCanvas->hasPendingDrawing());
        // Curve and marking are one undo step.
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), before, "underlay-undo");
    }

    void creationWithSelectionMarksOnlyTheSelection()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showOnCanvas(f, greyBands());
        setSelection(f, 0, 10, 79, 19); // both edges included in the marking
        f.btnRGB_Click();
        const QImage after = canvasImage(f);
        QCOMPARE(greyCount(after, QRect(0, 10, 80, 10)), 0);
        QCOMPARE(after.pixel(5, 9), qRgb(255, 255, 255));   // outside: not marked
        QCOMPARE(after.pixel(79, 20), qRgb(230, 230, 230));
        QCOMPARE(after.pixel(25, 30), qRgb(64, 100, 64));   // but the curve covers everything
    }

    void removalWhitensColourAndKeepsGrey()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QImage img(50, 20, QImage::Format_RGB32);
        img.fill(qRgb(200, 200, 201));
        for (int x = 0; x < 50; ++x) {
            img.setPixel(x, 0, qRgb(0, 0, 0));
            img.setPixel(x, 1, qRgb(128, 128, 128));
            img.setPixel(x, 2, qRgb(10, 20, 30));
        }
        showOnCanvas(f, img);
        setSelection(f, 0, 0, 24, 19);
        f.findChild<QPushButton*>("btnGomiFix")->click();
        const QImage after = canvasImage(f);
        QCOMPARE(after.pixel(24, 0), qRgb(0, 0, 0));
        QCOMPARE(after.pixel(3, 1), qRgb(128, 128, 128));
        QCOMPARE(after.pixel(24, 2), qRgb(255, 255, 255));
        QCOMPARE(after.pixel(24, 19), qRgb(255, 255, 255));
        QCOMPARE(after.pixel(25, 2), qRgb(10, 20, 30));     // outside the selection
        QCOMPARE(after.pixel(40, 10), qRgb(200, 200, 201));
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), img, "removal-undo");
    }

    void tracingSurvivesUnderlayRemoval()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showOnCanvas(f, greyBands());
        f.btnRGB_Click();
        paintOnCanvas(f, QRect(10, 10, 60, 4), qRgb(0, 0, 0));
        paintOnCanvas(f, QRect(10, 20, 60, 4), qRgb(255, 0, 0));
        const int live = gf5::ImageStore::liveCount();
        f.btnGomiFix_Click();
        const QImage after = canvasImage(f);
        QCOMPARE(countColour(after, qRgb(0, 0, 0)), 240);
        QCOMPARE(countColour(after, qRgb(255, 255, 255)), 80 * 40 - 240);
        QCOMPARE(gf5::ImageStore::liveCount(), live);
    }
};

ZORVAT_TEST_MAIN(UnderlayTest)
#include "test_underlay.moc"
