// Turning and mirroring the preview and the canvas.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include <QComboBox>
#include <QLineEdit>

using namespace testsupport;

namespace {
void showOnPreview(MainWindow& f, const QImage& img)
{
    const int32_t old = f.dspPreview->ImageHandle();
    f.dspPreview->setImageHandle(gf5::ImageStore::add(img));
    gf5::ImageStore::release(old);
}

QImage previewImage(const MainWindow& f)
{
    const QImage* img = gf5::ImageStore::image(f.dspPreview->ImageHandle());
    return img ? *img : QImage();
}

// White, with a red mark in the top-left corner.
QImage marked(int w, int h)
{
    QImage img = whiteImage(w, h);
    img.setPixel(0, 0, qRgb(255, 0, 0));
    return img;
}

// What the effect control makes of img turned by angle (hundredths, counter-clockwise).
QImage turnedDirectly(const QImage& img, int32_t angle)
{
    gf5::Gf5Effect fx;
    fx.SourceImage = gf5::ImageStore::add(img);
    fx.Rotate(angle, 0, 0, -1, 255, 255, 255, 0);
    const QImage result = *gf5::ImageStore::image(fx.ResultImage);
    gf5::ImageStore::release(fx.SourceImage);
    gf5::ImageStore::release(fx.ResultImage);
    return result;
}
}

class RotationTest : public QObject {
    Q_OBJECT
private slots:
    void previewTurnsByTheTypedWholeAngle()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showOnPreview(f, marked(40, 20));
        f.cmbRotate_2->setCurrentText("90");
        f.btnRotate_Click();
        QCOMPARE(previewImage(f).size(), QSize(20, 40));
        QCOMPARE(previewImage(f).pixel(19, 0), qRgb(255, 0, 0)); // clockwise
        f.cmbRotate_2->setCurrentText("-90");
        f.btnRotate_Click();
        QCOMPARE(previewImage(f).pixel(0, 0), qRgb(255, 0, 0));

        const int32_t shown = f.dspPreview->ImageHandle();
        for (const char* text : {"360", "0", "-360", "abc"}) {
            f.cmbRotate_2->setCurrentText(text);
            f.btnRotate_Click();
            QCOMPARE(f.dspPreview->ImageHandle(), shown);
        }

        const QImage bar = whiteImage(200, 20);
        for (auto [text, angle] : {std::pair{"45.6", -4600}, std::pair{"44.5", -4400}}) {
            showOnPreview(f, bar);
            f.cmbRotate_2->setCurrentText(text);
            f.btnRotate_Click();
            COMPARE_IMAGES(previewImage(f), turnedDirectly(bar, angle), text);
        }
    }

    void previewMirrorLeavesTheUndoAlone()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(0, 0, 10, 10), qRgb(0, 0, 0));
        const QImage between = canvasImage(f);
        paintOnCanvas(f, QRect(20, 20, 10, 10), qRgb(0, 0, 0));
        showOnPreview(f, marked(30, 10));
        const int live = gf5::ImageStore::liveCount();
        f.btnFlip_Click(1);
        QCOMPARE(previewImage(f).pixel(29, 0), qRgb(255, 0, 0));
        f.btnFlip_Click(2);
        QCOMPARE(previewImage(f).pixel(29, 9), qRgb(255, 0, 0));
        QCOMPARE(gf5::ImageStore::liveCount(), live);
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), between, "undo-after-preview-mirror");
    }

    void canvasTurnsAndMirrorsAsOneUndoStep()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const QImage before = marked(60, 30);
        showOnCanvas(f, before);
        f.cmbRotate->setText("-3");
        f.btnRoteteAndTurn_Click(0);
        COMPARE_IMAGES(canvasImage(f), turnedDirectly(before, 300), "turn-minus-3");
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), before, "turn-undo");

        // Mirrors ignore whatever the angle box holds.
        f.cmbRotate->setText("abc");
        f.btnRoteteAndTurn_Click(1);
        QCOMPARE(canvasImage(f).pixel(59, 0), qRgb(255, 0, 0));
        f.cmbRotate->setText("30000000");
        f.btnRoteteAndTurn_Click(2);
        QCOMPARE(canvasImage(f).pixel(59, 29), qRgb(255, 0, 0));
        f.btnUndo_Click();
        QCOMPARE(canvasImage(f).pixel(59, 0), qRgb(255, 0, 0));
    }

    void angleBeyondThirtyTwoBitsIsRefused()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const QImage before = marked(60, 30);
        showOnCanvas(f, before);
        f.TakeUndoSnapshot();
        const int32_t shown = f.dspCanvas->ImageHandle(), snapshot = f.fxUndo.ResultImage;
        for (const char* text : {"21474837", "-21474837", "1e12"}) {
            f.cmbRotate->setText(text);
            f.btnRoteteAndTurn_Click(0);
            QCOMPARE(f.dspCanvas->ImageHandle(), shown);
            QCOMPARE(f.fxUndo.ResultImage, snapshot);
        }
        // The largest angle that fits still runs (a whole number of turns here).
        f.cmbRotate->setText("21474720");
        f.btnRoteteAndTurn_Click(0);
        QVERIFY(f.dspCanvas->ImageHandle() != shown);
        COMPARE_IMAGES(canvasImage(f), before, "whole-turns");
    }
};

ZORVAT_TEST_MAIN(RotationTest)
#include "test_rotation.moc"
