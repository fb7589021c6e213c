// The one-level undo.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include <QPushButton>

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

    // After an undo the canvas shows the restored picture: the view kept
    // with the snapshot is the one a fresh rebuild gives, for a drawing, a
    // step that changes the canvas in place and one that replaces it.
    void undoShowsTheRestoredPicture_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("drawing") << "draw";
        QTest::newRow("in place (brightness)") << "Command14";
        QTest::newRow("replacing (underlay)") << "btnRGB";
    }

    void undoShowsTheRestoredPicture()
    {
        QFETCH(QString, step);
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.show();
        paintOnCanvas(f, QRect(0, 0, 600, 500), qRgb(90, 90, 90));
        QWidget* view = f.dspCanvas->viewport();
        QVERIFY(f.dspCanvas->currentScale() < 1.0);
        view->grab();
        const QImage before = view->grab().toImage();
        setSelection(f, 0, 0, 0, 0);
        if (step == "draw")
            paintOnCanvas(f, QRect(100, 100, 800, 700), qRgb(0, 0, 0));
        else
        {
            auto* button = f.findChild<QPushButton*>(step);
            QVERIFY(button);
            button->click();
        }
        QCoreApplication::processEvents();
        QVERIFY(view->grab().toImage() != before);
        f.btnUndo_Click();
        const QImage shown = view->grab().toImage();
        f.dspCanvas->setImageHandle(f.dspCanvas->ImageHandle()); // a view worked out afresh
        COMPARE_IMAGES(shown, view->grab().toImage(), "undo-view");
        COMPARE_IMAGES(shown, before, "undo-view-before");
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
