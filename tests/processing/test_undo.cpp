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
        Form1 f({}, dir.path());
        const int32_t sheet = f.Gf5Disp1->ImageHandle();
        setSelection(f, 5, 6, 50, 60);
        f.btnUndo_Click();
        QCOMPARE(f.Gf5Disp1->ImageHandle(), sheet);
        QCOMPARE(f.SavedSelRight, 50);
        QCOMPARE(f.SavedSelBottom, 60);
    }

    void undoGoesBackOneStepOnly()
    {
        ProgramDir dir;
        Form1 f({}, dir.path());
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
        Form1 f({}, dir.path());
        paintOnCanvas(f, QRect(0, 0, 10, 10), qRgb(0, 0, 0));
        setSelection(f, 10, 20, 30, 40);
        f.btnUndo_Click();
        QCOMPARE(f.Gf5Disp1->SelectionLeft(), 10);
        QCOMPARE(f.Gf5Disp1->SelectionBottom(), 40);
        QCOMPARE(f.Gf5Disp1->DisplayMode(), int16_t(2));
    }

    void newImageAfterUndoLeavesNoReleasedSnapshot()
    {
        ProgramDir dir;
        Form1 f({}, dir.path());
        paintOnCanvas(f, QRect(0, 0, 10, 10), qRgb(0, 0, 0));
        f.btnUndo_Click(); // the canvas now shows the snapshot itself
        f.btnNewImage_Click();
        const int32_t sheet = f.Gf5Disp1->ImageHandle();
        f.btnUndo_Click();
        QCOMPARE(f.Gf5Disp1->ImageHandle(), sheet);
        QCOMPARE(canvasImage(f).size(), QSize(600, 600));
    }

    void undoAfterNewImageShowsTheEarlierSnapshot()
    {
        ProgramDir dir;
        Form1 f({}, dir.path());
        paintOnCanvas(f, QRect(0, 0, 10, 10), qRgb(0, 0, 0));
        f.btnNewImage_Click();
        f.btnUndo_Click();
        QCOMPARE(canvasImage(f).pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
        QCOMPARE(canvasImage(f).size(), QSize(600, 600));
        QVERIFY(f.Gf5Disp1->ImageHandle() != 0);
    }

    void editsAndUndosDoNotPileUpImages()
    {
        ProgramDir dir;
        Form1 f({}, dir.path());
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
