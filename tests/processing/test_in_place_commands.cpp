// Commands that change the canvas image itself once the undo snapshot holds
// the old pixels: brightness, contrast, and the snapshot a plan opened at
// start shares with the canvas until the first change. Commands whose result
// replaces the canvas image keep the replaced pixels as the snapshot,
// uncopied.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include <QLineEdit>
#include <QPainter>
#include <functional>

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

    void replacingStepsKeepTheReplacedPixelsAsTheSnapshot()
    {
        const struct {
            const char* name;
            std::function<void(MainWindow&)> run;
        } steps[] = {
            {"sharpen", [](MainWindow& f) { f.btnSharpen_Click(); }},
            {"denoise", [](MainWindow& f) { f.btnDenoise_Click(); }},
            {"blur in a selection", [](MainWindow& f) { setSelection(f, 10, 10, 60, 40); f.btnBlur_Click(); }},
            {"fine turn", [](MainWindow& f) { f.btnFineTurn_Click(1); }},
            {"turn 90", [](MainWindow& f) { f.cmbRotate->setText(QStringLiteral("90")); f.btnRoteteAndTurn_Click(0); }},
            {"click fill", [](MainWindow& f) { f.FillAtPoint(30, 20); }},
        };
        for (const auto& step : steps) {
            ProgramDir dir;
            MainWindow f({}, dir.path());
            // Noise with a speck of dust on a patch of paper; an earlier step
            // leaves a snapshot of its own behind.
            QImage picture = noise(90, 70);
            QPainter(&picture).fillRect(QRect(40, 40, 50, 30), Qt::white);
            picture.setPixel(60, 55, qRgb(0, 0, 0));
            showOnCanvas(f, picture);
            f.btnGreyscale_Click();
            const QImage before = canvasImage(f);
            step.run(f);
            const QImage after = canvasImage(f);
            QVERIFY2(after != before, step.name);
            // The snapshot is the replaced image itself, and the earlier
            // snapshot is gone: the store holds these two pictures alone.
            const QImage* snapshot = gf5::ImageStore::image(f.fxUndo.ResultImage);
            QVERIFY2(snapshot && snapshot->constBits() == before.constBits(), step.name);
            QCOMPARE(gf5::ImageStore::pixelBytes(), before.sizeInBytes() + after.sizeInBytes());
            f.btnUndo_Click();
            COMPARE_IMAGES(canvasImage(f), before, step.name);
        }
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
