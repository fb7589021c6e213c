// Margins, resizing, cut-out and the preview's clipboard transfers.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "processing/size_rules.h"
#include <QClipboard>
#include <QComboBox>
#include <QRadioButton>

using namespace testsupport;

namespace {
QImage gradient(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    return img;
}

QImage planWithSquare(int w, int h)
{
    QImage img = whiteImage(w, h);
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 30; ++x)
            img.setPixel(x, y, qRgb(0, 0, 0));
    return img;
}
}

class SizesTest : public QObject {
    Q_OBJECT
private slots:
    void fitLongerSide_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("ew");
        QTest::addColumn<int>("eh");
        QTest::newRow("wide") << 1000 << 600 << 500 << 500 << 300;
        QTest::newRow("tall") << 600 << 1000 << 500 << 300 << 500;
        QTest::newRow("square") << 700 << 700 << 500 << 500 << 500;
        QTest::newRow("half to even") << 1000 << 333 << 500 << 500 << 166;
        QTest::newRow("already there") << 1000 << 600 << 1000 << 1000 << 600;
        QTest::newRow("grows") << 500 << 300 << 1000 << 1000 << 600;
    }
    void fitLongerSide()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, target);
        int32_t width = w, height = h;
        processing::FitLongerSide(width, height, target);
        QFETCH(int, ew);
        QFETCH(int, eh);
        QCOMPARE(width, ew);
        QCOMPARE(height, eh);
    }

    void resizeFitsTheLongerSideInOneUndoStep()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const QImage before = gradient(1000, 600);
        showOnCanvas(f, before);
        f.optResize[4]->setChecked(true); // "500"
        f.btnResize_Click();
        QCOMPARE(canvasImage(f).size(), QSize(500, 300));
        f.optResize[5]->setChecked(true); // " 900"
        f.btnResize_Click();
        QCOMPARE(canvasImage(f).size(), QSize(900, 540));
        f.btnUndo_Click();
        QCOMPARE(canvasImage(f).size(), QSize(500, 300));
    }

    void marginAddsWhiteAndFloatsTheOldPicture()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        showOnCanvas(f, planWithSquare(800, 600));
        f.cmbYohaku->setCurrentText("100");
        f.optYohaku[2]->setChecked(true); // "横に"
        f.btnYohaku_Click();
        const QImage sheet = canvasImage(f);
        QCOMPARE(sheet.size(), QSize(900, 600));
        QCOMPARE(countColour(sheet, qRgb(255, 255, 255)), 900 * 600); // nothing pasted yet
        QVERIFY(f.PasteFloating);
        const QImage shown = f.dspCanvas->shownImage();
        QCOMPARE(shown.pixel(20, 20), qRgb(0, 0, 0));
        QCOMPARE(shown.pixel(40, 40), qRgb(255, 255, 255));

        f.ConfirmPaste(true, false);
        f.optYohaku[1]->setChecked(true); // "縦に"
        f.btnYohaku_Click();
        QCOMPARE(canvasImage(f).size(), QSize(900, 700));
        f.ConfirmPaste(true, false);

        // A typed 12.5 gives 812.5, which rounds to the even 812.
        showOnCanvas(f, planWithSquare(800, 600));
        f.cmbYohaku->setCurrentText("12.5");
        f.optYohaku[2]->setChecked(true);
        f.btnYohaku_Click();
        QCOMPARE(canvasImage(f).size(), QSize(812, 600));
    }

    void cutOutKeepsExactlyTheSelection()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const QImage before = gradient(200, 100);
        showOnCanvas(f, before);
        const int32_t shown = f.dspCanvas->ImageHandle();
        setSelection(f, 30, 20, 130, 0); // bottom 0: no selection, nothing happens
        f.btnCut_Click();
        QCOMPARE(f.dspCanvas->ImageHandle(), shown);
        setSelection(f, 30, 20, 130, 70);
        f.btnCut_Click();
        COMPARE_IMAGES(canvasImage(f), before.copy(30, 20, 100, 50), "cut-out");
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), before, "cut-out-undo");
    }

    void clipboardIntoPreviewIsTwentyFourBit()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QImage picture(37, 23, QImage::Format_Indexed8);
        picture.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
        picture.fill(0);
        picture.setPixel(5, 6, 1);
        QApplication::clipboard()->setImage(picture);
        const int live = gf5::ImageStore::liveCount();
        f.btnClip2Disp2_Click();
        const int32_t preview = f.dspPreview->ImageHandle();
        QVERIFY(preview != 0);
        gf5::Gf5Common info;
        info.ImageHandle = preview;
        QCOMPARE(info.ImageWidth(), 37);
        QCOMPARE(info.ImageHeight(), 23);
        QCOMPARE(info.BitDepth(), int16_t(24));
        const QImage shownPreview = *gf5::ImageStore::image(preview);
        QCOMPARE(shownPreview.pixel(5, 6), qRgb(0, 0, 255));
        QCOMPARE(shownPreview.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(gf5::ImageStore::liveCount(), live + 1); // only the preview picture stays

        // A second paste replaces the preview picture; the preview goes back out.
        f.btnClip2Disp2_Click();
        QCOMPARE(gf5::ImageStore::liveCount(), live + 1);
        QApplication::clipboard()->clear();
        f.CopyPreviewToClipboard();
        const QImage back = QApplication::clipboard()->image();
        QCOMPARE(back.size(), QSize(37, 23));
        QCOMPARE(back.pixel(5, 6) & 0xFFFFFF, 0x0000FFu);
        QCOMPARE(gf5::ImageStore::liveCount(), live + 1);
    }

    void emptyClipboardLeavesThePreview()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QApplication::clipboard()->clear();
        const int live = gf5::ImageStore::liveCount();
        f.btnClip2Disp2_Click();
        QCOMPARE(f.dspPreview->ImageHandle(), 0);
        QCOMPARE(gf5::ImageStore::liveCount(), live);
    }
};

ZORVAT_TEST_MAIN(SizesTest)
#include "test_sizes.moc"
