// Commands that change the canvas image itself once the undo snapshot holds
// the old pixels: brightness, contrast, and the snapshot a plan opened at
// start shares with the canvas until the first change.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"

using namespace testsupport;

namespace {
QImage noise(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    fillNoise(img, 21);
    return img;
}
} // namespace

class InPlaceCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void toneCommandsChangeTheCanvasImageAndUndoBringsItBack()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const QImage before = noise(90, 70);
        showOnCanvas(f, before);
        f.btnSharpen_Click(); // a snapshot exists from here on
        const QImage sharpened = canvasImage(f);
        const int live = gf5::ImageStore::liveCount();
        const int32_t canvas = f.dspCanvas->ImageHandle();

        f.btnBrighten_Click();
        QCOMPARE(f.dspCanvas->ImageHandle(), canvas);
        QCOMPARE(gf5::ImageStore::liveCount(), live);
        const QRgb p = sharpened.pixel(7, 9);
        QCOMPARE(canvasImage(f).pixel(7, 9),
                 qRgb(std::min(255, qRed(p) + 8), std::min(255, qGreen(p) + 8), std::min(255, qBlue(p) + 8)));
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), sharpened, "brightness-undo");

        // Contrast inside a selection: the rest stays, undo restores all.
        setSelection(f, 10, 10, 39, 29);
        f.btnContlast_Click();
        const QImage contrasted = canvasImage(f);
        QCOMPARE(contrasted.pixel(50, 50), sharpened.pixel(50, 50));
        int changed = 0;
        for (int y = 10; y < 30; ++y)
            for (int x = 10; x < 40; ++x)
                changed += contrasted.pixel(x, y) != sharpened.pixel(x, y);
        QVERIFY(changed > 100);
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), sharpened, "contrast-undo");
    }

    void aPlanOpenedAtStartIsUndoneToItsPixels()
    {
        ProgramDir dir;
        const QString path = writePlan(dir.file("plan.bmp"), 120, 80, "BMP");
        MainWindow f({path}, dir.path());
        const QImage opened = canvasImage(f).copy();
        QVERIFY(!opened.isNull());
        f.btnBrighten_Click();
        QVERIFY(canvasImage(f) != opened);
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), opened, "opened-undo");
        // A drawing command after the undo is undone to the same pixels.
        paintOnCanvas(f, QRect(5, 5, 20, 10), qRgb(255, 0, 0));
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), opened, "opened-paint-undo");
    }
};

ZORVAT_TEST_MAIN(InPlaceCommandsTest)
#include "test_in_place_commands.moc"
