// The one-level undo.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"

using namespace testsupport;

class UndoTest : public QObject {
    Q_OBJECT
private slots:
    void undoWithoutSnapshotChangesNothing()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const int32_t sheet = f.dspCanvas->ImageHandle();
        setSelection(f, 5, 6, 50, 60);
        f.btnUndo_Click();
        QCOMPARE(f.dspCanvas->ImageHandle(), sheet);
        QCOMPARE(f.SavedSelRight, 50);
        QCOMPARE(f.SavedSelBottom, 60);
    }

    void undoGoesBackOneStepOnly()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(0, 0, 10, 10), qRgb(0, 0, 0));
        const QImage between = canvasImage(f);
        paintOnCanvas(f, QRect(20, 20, 10, 10), qRgb(0, 0, 0));
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), between, "undo-once");
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), between, "undo-twice");
        // After an undo the next edit starts from an independent copy.
        paintOnCanvas(f, QRect(40, 40, 10, 10), qRgb(0, 0, 0));
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), between, "undo-after-undo");
    }

    void undoRestoresTheSelection()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(0, 0, 10, 10), qRgb(0, 0, 0));
        setSelection(f, 10, 20, 30, 40);
        f.btnUndo_Click();
        QCOMPARE(f.dspCanvas->SelectionLeft(), 10);
        QCOMPARE(f.dspCanvas->SelectionBottom(), 40);
        QCOMPARE(f.dspCanvas->DisplayMode(), int16_t(2));
    }

    void newImageAfterUndoLeavesNoReleasedSnapshot()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(0, 0, 10, 10), qRgb(0, 0, 0));
        f.btnUndo_Click(); // the canvas now shows the snapshot itself
        f.btnNewImage_Click();
        const int32_t sheet = f.dspCanvas->ImageHandle();
        f.btnUndo_Click();
        QCOMPARE(f.dspCanvas->ImageHandle(), sheet);
        QCOMPARE(canvasImage(f).size(), QSize(600, 600));
    }

    void undoAfterNewImageShowsTheEarlierSnapshot()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(0, 0, 10, 10), qRgb(0, 0, 0));
        f.btnNewImage_Click();
        f.btnUndo_Click();
        QCOMPARE(canvasImage(f).pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
        QCOMPARE(canvasImage(f).size(), QSize(600, 600));
        QVERIFY(f.dspCanvas->ImageHandle() != 0);
    }

    void editsAndUndosDoNotPileUpImages()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        paintOnCanvas(f, QRect(0, 0, 1, 1), qRgb(0, 0, 0));
        const int alive = gf5::ImageStore::liveCount();
        for (int i = 0; i < 10; ++i) {
            paintOnCanvas(f, QRect(i, 0, 1, 1), qRgb(0, 0, 0));
            if (i % 3 == 0)
                f.btnUndo_Click();
        }
        QVERIFY(gf5::ImageStore::liveCount() <= alive);
    }
};

ZORVAT_TEST_MAIN(UndoTest)
#include "test_undo.moc"
