// Tone commands, effect buttons and fine rotation on the canvas.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace testsupport;

namespace {
// A busy picture that every smoothing effect changes.
QImage checkerboard(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, ((x / 2 + y / 2) % 2) ? qRgb(230, 40, 90) : qRgb(20, 200, 60));
    return img;
}

// Mean row of the dark pixels in a column (for the direction of a turn).
double darkCentre(const QImage& img, int x)
{
    double sum = 0, weight = 0;
    for (int y = 0; y < img.height(); ++y) {
        const double d = 255 - qGray(img.pixel(x, y));
        sum += d * y;
        weight += d;
    }
    return weight > 0 ? sum / weight : -1;
}
}

class EffectSequenceTest : public QObject {
    Q_OBJECT
private slots:
    void effectInsideSelectionLeavesTheRestAlone()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const QImage before = checkerboard(200, 100);
        showOnCanvas(f, before);
        setSelection(f, 50, 20, 150, 80);
        f.btnBlur_Click(); // blur
        const QImage after = canvasImage(f);
        QCOMPARE(after.size(), before.size());
        int changedInside = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) {
                const bool inside = x >= 50 && x < 150 && y >= 20 && y < 80;
                if (inside)
                    changedInside += after.pixel(x, y) != before.pixel(x, y);
                else if (after.pixel(x, y) != before.pixel(x, y))
                    QFAIL(qPrintable(QString("outside pixel (%1, %2) changed").arg(x).arg(y)));
            }
        QVERIFY(changedInside > 1000);
        // One undo step brings the picture back.
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), before, "blur-undo");
    }

    void brightnessTwiceAddsSixteenAndBottomZeroMeansWholeImage()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QImage img(60, 40, QImage::Format_RGB32);
        img.fill(qRgb(100, 110, 120));
        showOnCanvas(f, img);
        setSelection(f, 10, 0, 30, 0); // right > 0 but bottom 0: no selection
        f.findChild<QPushButton*>("Command14")->click();
        f.findChild<QPushButton*>("Command14")->click();
        const QImage after = canvasImage(f);
        QCOMPARE(after.pixel(0, 0), qRgb(116, 126, 136));
        QCOMPARE(after.pixel(59, 39), qRgb(116, 126, 136));
        // Only the second press is undone.
        f.btnUndo_Click();
        QCOMPARE(canvasImage(f).pixel(5, 5), qRgb(108, 118, 128));
    }

    void contrastRaisesUpperLevelsOnly()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QImage img(20, 10, QImage::Format_RGB32);
        img.fill(qRgb(192, 100, 255));
        showOnCanvas(f, img);
        f.btnContlast_Click();
        QCOMPARE(canvasImage(f).pixel(3, 3), qRgb(215, 100, 255));
    }

    void greyScaleMakesEveryPixelGrey()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showOnCanvas(f, checkerboard(40, 30));
        f.btnGreyscale_Click();
        const QImage after = canvasImage(f);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const QRgb c = after.pixel(x, y);
                QVERIFY(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c));
            }
    }

    void fineRotationTurnsClockwiseThenBack()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QImage img(1000, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        for (int y = 98; y < 102; ++y)
            for (int x = 0; x < 1000; ++x)
                img.setPixel(x, y, qRgb(0, 0, 0));
        showOnCanvas(f, img);
        setSelection(f, 0, 0, 100, 100); // ignored by the turn
        f.findChild<QPushButton*>("Command13(1)")->click();
        const QImage once = canvasImage(f);
        QCOMPARE(once.size(), QSize(1000, 200)); // the plan keeps its size
        // Clockwise on screen: the right end of the bar goes down.
        const double drop = darkCentre(once, once.width() - 80) - darkCentre(once, 80);
        QVERIFY2(drop > 4.5 && drop < 7.5, qPrintable(QString::number(drop))); // 0.4 degrees over ~850 px
        f.btnFineTurn_Click(2);
        const QImage back = canvasImage(f);
        const double left = darkCentre(back, back.width() / 2 - 400), right = darkCentre(back, back.width() / 2 + 400);
        QVERIFY2(std::abs(right - left) < 0.5, qPrintable(QString::number(right - left)));

        // "微" halves the step.
        f.chkBI->setChecked(true);
        f.btnFineTurn_Click(2);
        const QImage fine = canvasImage(f);
        const double rise = darkCentre(fine, fine.width() / 2 - 400) - darkCentre(fine, fine.width() / 2 + 400);
        QVERIFY2(rise > 2.0 && rise < 3.6, qPrintable(QString::number(rise))); // 0.2 degrees over 800 px
    }

    void fineRotationKeepsSizeWhiteCornersAndThinLines()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QImage img(600, 300, QImage::Format_RGB32);
        img.fill(Qt::black); // uncovered corners must not stay black
        for (int y = 20; y < 280; ++y)
            for (int x = 20; x < 580; ++x)
                img.setPixel(x, y, y == 150 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        showOnCanvas(f, img);
        for (int i = 0; i < 5; ++i)
            f.btnFineTurn_Click(1);
        for (int i = 0; i < 5; ++i)
            f.btnFineTurn_Click(2);
        const QImage back = canvasImage(f);
        QCOMPARE(back.size(), img.size());
        QCOMPARE(back.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(back.pixel(599, 299), qRgb(255, 255, 255));
        // The one-pixel line stays dark after ten resamplings (linear
        // resampling leaves it near 160).
        int darkest = 255;
        for (int y = 140; y < 160; ++y)
            darkest = std::min(darkest, qGray(back.pixel(300, y)));
        QVERIFY2(darkest < 100, qPrintable(QString::number(darkest)));
        // The 任意回転 button still grows the image to hold its corners.
        f.cmbRotate->setText("3");
        f.btnRoteteAndTurn_Click(0);
        QVERIFY(canvasImage(f).width() > 600);
    }

    void cancelFromTheProgressWindowKeepsTheCanvas()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const QImage before = checkerboard(400, 300);
        showOnCanvas(f, before);
        const int32_t shown = f.dspCanvas->ImageHandle();
        bool reported = false;
        const auto cancel = connect(&f.fxCanvas, &gf5::Gf5Effect::Progress, &f, [&] {
            reported = true;
            f.progressCancel_Click(); // "中止"
        });
        f.btnBlur_Click();
        QVERIFY(reported);
        QCOMPARE(f.dspCanvas->ImageHandle(), shown);
        COMPARE_IMAGES(canvasImage(f), before, "cancelled-blur");
        // The next command runs again.
        disconnect(cancel);
        f.btnBlur_Click();
        QVERIFY(f.dspCanvas->ImageHandle() != shown);
    }

    void commandsReleaseWhatTheyReplace()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showOnCanvas(f, checkerboard(80, 60));
        f.btnSharpen_Click(); // from here on a snapshot exists
        const int live = gf5::ImageStore::liveCount();
        f.btnDenoise_Click();
        f.btnMosaic_Click();
        f.btnAntiAlias_Click();
        f.btnRGB_Click();
        f.btnUndo_Click();
        f.btnFineTurn_Click(1);
        QCOMPARE(gf5::ImageStore::liveCount(), live);
    }
};

ZORVAT_TEST_MAIN(EffectSequenceTest)
#include "test_effects_sequence.moc"
