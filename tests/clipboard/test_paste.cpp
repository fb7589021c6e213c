// Copying to the clipboard, the floating paste and confirming it.
#include "canvas/canvas_support.h"
#include "imaging/store/imagestore.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace testsupport;
using namespace canvastest;

namespace {
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kNearWhite = qRgb(254, 255, 255);

// 120 x 80: left half pure white, right half (254, 255, 255), a red block
// (50, 30)-(70, 50) in the middle.
QImage picture()
{
    QImage img(120, 80, QImage::Format_RGB32);
    img.fill(kWhite);
    QPainter p(&img);
    p.fillRect(60, 0, 60, 80, QColor(kNearWhite));
    p.fillRect(50, 30, 20, 20, Qt::red);
    return img;
}

// The picture as it sits on the canvas at (x, y): a canvas-sized image.
QImage withPictureAt(const QImage& canvas, const QImage& pic, QRect target)
{
    QImage out = canvas.copy();
    QPainter p(&out);
    p.drawImage(target, pic);
    return out;
}

// A window whose canvas is black under (150, 50)-(450, 350), with a
// snapshot already taken so that image counts stay comparable.
struct Scene {
    ProgramDir dir;
    MainWindow f{QStringList{}, dir.path()};
    Scene()
    {
        f.FillRect(150, 50, 450, 350, 0);
        f.TakeUndoSnapshot();
        QGuiApplication::clipboard()->setImage(picture());
    }
};
} // namespace

class TestPaste : public QObject {
    Q_OBJECT

private slots:
    void copyPutsTheSelectionOrTheWholeImageOnTheClipboard()
    {
        Scene s;
        MainWindow& f = s.f;
        const QImage canvas = canvasImage(f);
        const int live = gf5::ImageStore::liveCount();
        select(f, 100, 40, 200, 90);
        f.btnClipCopy->click();
        QImage clip = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        COMPARE_IMAGES(clip, canvas.copy(100, 40, 100, 50), "copy_selection");
        QCOMPARE(selection(f), QRect(QPoint(100, 40), QPoint(200, 90)));
        COMPARE_IMAGES(canvasImage(f), canvas, "copy_leaves_image");
        QCOMPARE(gf5::ImageStore::liveCount(), live);

        // A selection with right edge 0 copies the whole image.
        select(f, 100, 40, 0, 90);
        f.mnuEditClipCopy->trigger();
        clip = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        COMPARE_IMAGES(clip, canvas, "copy_whole");
        QCOMPARE(gf5::ImageStore::liveCount(), live);
    }

    void pasteFloatsAtTheSelectionCorner()
    {
        Scene s;
        MainWindow& f = s.f;
        const QImage canvas = canvasImage(f);
        const int live = gf5::ImageStore::liveCount();
        select(f, 200, 100, 250, 150);
        f.btnClipPaste->click();
        QVERIFY(f.PasteFloating);
        QCOMPARE(selection(f), QRect(QPoint(200, 100), QPoint(320, 180)));
        // Shown, not yet in the image.
        COMPARE_IMAGES(f.dspCanvas->shownImage(), withPictureAt(canvas, picture(), QRect(200, 100, 120, 80)),
                       "paste_shown");
        COMPARE_IMAGES(canvasImage(f), canvas, "paste_not_committed");
        QCOMPARE(gf5::ImageStore::liveCount(), live + 1);

        // Pasting again lets the first picture go.
        f.mnuEditClipInsert->trigger();
        QCOMPARE(gf5::ImageStore::liveCount(), live + 1);
    }

    void pasteWithoutSelectionGoesToTheViewOriginPlus100()
    {
        Scene s;
        MainWindow& f = s.f;
        f.dspCanvas->setZoomMode(2);
        f.dspCanvas->setZoomFactor(2.0);
        f.dspCanvas->setDisplayMode(0);
        f.dspCanvas->Refresh();
        f.dspCanvas->horizontalScrollBar()->setValue(f.dspCanvas->horizontalScrollBar()->maximum() / 2);
        f.dspCanvas->verticalScrollBar()->setValue(f.dspCanvas->verticalScrollBar()->maximum() / 3);
        const int ox = f.dspCanvas->ViewOriginX(), oy = f.dspCanvas->ViewOriginY();
        QVERIFY(ox > 0 && oy > 0);
        f.btnClipPaste->click();
        QCOMPARE(selection(f), QRect(QPoint(ox + 100, oy + 100), QPoint(ox + 220, oy + 180)));
    }

    void draggingACornerStretchesThePictureAndConfirmKeepsIt()
    {
        Scene s;
        MainWindow& f = s.f;
        const QImage canvas = canvasImage(f);
        const int live = gf5::ImageStore::liveCount();
        f.dspCanvas->setZoomMode(2);
        f.dspCanvas->setZoomFactor(1.0);
        f.dspCanvas->setDisplayMode(0);
        f.dspCanvas->Refresh();
        select(f, 20, 30, 60, 60);
        f.btnClipPaste->click();
        QCOMPARE(selection(f), QRect(QPoint(20, 30), QPoint(140, 110)));
        // The user drags the bottom-right corner from (140, 110) to (260, 190).
        QWidget* vp = f.dspCanvas->viewport();
        const QPoint from = f.dspCanvas->imageToView({140, 110}), to = f.dspCanvas->imageToView({260, 190});
        QTest::mousePress(vp, Qt::LeftButton, {}, from);
        QTest::mouseMove(vp, from + (to - from) / 2);
        QTest::mouseMove(vp, to);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, to);
        QCOMPARE(selection(f), QRect(QPoint(20, 30), QPoint(260, 190)));
        QVERIFY(f.PasteFloating);
        // The red block doubled: (120, 90)-(160, 130) is red on screen and
        // no red lies beyond its edges (the scaling filter may soften them).
        const QImage shown = f.dspCanvas->shownImage();
        QCOMPARE(countColour(shown, kRed, QRect(122, 92, 36, 36)), 36 * 36);
        QCOMPARE(countColour(shown, kRed), countColour(shown, kRed, QRect(118, 88, 44, 44)));

        f.mnuEditClipPaste->trigger();
        QVERIFY(!f.PasteFloating);
        QCOMPARE(selection(f), QRect(QPoint(0, 0), QPoint(0, 0)));
        const QImage confirmed = canvasImage(f);
        QCOMPARE(countColour(confirmed, kRed, QRect(122, 92, 36, 36)), 36 * 36);
        QCOMPARE(countColour(confirmed, kRed), countColour(shown, kRed));
        QCOMPARE(countColour(confirmed, kBlack, QRect(150, 50, 110, 140)), 0); // covered by the picture
        // Picture released, snapshot replaced by a new one: the count holds.
        QCOMPARE(gf5::ImageStore::liveCount(), live);
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), canvas, "stretch_undo");
    }

    void plainConfirmCoversWhatIsUnder()
    {
        Scene s;
        MainWindow& f = s.f;
        const QImage canvas = canvasImage(f);
        const int live = gf5::ImageStore::liveCount();
        select(f, 200, 100, 210, 110);
        f.btnClipPaste->click();
        f.chkToka->setChecked(false);
        f.btnClipSet->click();
        COMPARE_IMAGES(canvasImage(f), withPictureAt(canvas, picture(), QRect(200, 100, 120, 80)),
                       "confirm_plain");
        QCOMPARE(gf5::ImageStore::liveCount(), live);
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), canvas, "confirm_plain_undo");
    }

    void transparentConfirmLetsPureWhiteThrough_data()
    {
        QTest::addColumn<bool>("widen");
        QTest::addColumn<bool>("fromButton");
        QTest::newRow("menu, no widening") << false << false;
        QTest::newRow("menu, widening") << true << false;
        QTest::newRow("button with 純白を透過") << false << true;
    }

    void transparentConfirmLetsPureWhiteThrough()
    {
        QFETCH(bool, widen);
        QFETCH(bool, fromButton);
        Scene s;
        MainWindow& f = s.f;
        const QImage canvas = canvasImage(f);
        const int live = gf5::ImageStore::liveCount();
        select(f, 100, 100, 110, 110); // the picture straddles the black area's left edge at 150
        f.btnClipPaste->click();
        f.chkKakudai->setChecked(widen);
        if (fromButton) {
            f.chkToka->setChecked(true);
            f.btnClipSet->click();
        } else {
            f.mnuEditClipPasteToka->trigger();
        }
        const QImage img = canvasImage(f);
        // Pure white: what was under shows (white left of 150, black right).
        QCOMPARE(countColour(img, kWhite, QRect(100, 100, 50, 80)), 50 * 80);
        QCOMPARE(countColour(img, kBlack, QRect(150, 100, 10, 80)), 10 * 80 - 10 * 20); // red block at 150..170
        // (254, 255, 255) covers it, unless near-white was widened to white.
        if (widen)
            QCOMPARE(countColour(img, kBlack, QRect(160, 100, 60, 80)), 60 * 80 - 10 * 20);
        else
            QCOMPARE(countColour(img, kNearWhite, QRect(160, 100, 60, 80)), 60 * 80 - 10 * 20);
        QCOMPARE(countColour(img, kRed), 20 * 20);
        QCOMPARE(countColour(img, kRed, QRect(150, 130, 20, 20)), 20 * 20);
        // Nothing outside the picture changed.
        QImage outside = img.copy();
        QImage expectedOutside = canvas.copy();
        QPainter(&outside).fillRect(100, 100, 120, 80, Qt::blue);
        QPainter(&expectedOutside).fillRect(100, 100, 120, 80, Qt::blue);
        COMPARE_IMAGES(outside, expectedOutside, "transparent_outside");
        QCOMPARE(selection(f), QRect(QPoint(0, 0), QPoint(0, 0)));
        // Every image the confirmation made was released once; the canvas
        // and the snapshot are alive.
        QCOMPARE(gf5::ImageStore::liveCount(), live);
        QVERIFY(gf5::ImageStore::image(f.dspCanvas->ImageHandle()));
        QVERIFY(gf5::ImageStore::image(f.fxUndo.ResultImage));
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), canvas, "transparent_undo");
    }

    void transparentConfirmAtTheImageEdgeKeepsTheBackgroundInPlace()
    {
        Scene s;
        MainWindow& f = s.f;
        f.FillRect(560, 0, 570, 600, 0); // a stripe the pasted picture's white half lies over
        f.TakeUndoSnapshot();
        const QImage canvas = canvasImage(f);
        const int live = gf5::ImageStore::liveCount();
        select(f, 520, 540, 530, 550); // the picture runs 40 pixels past both far edges
        f.btnClipPaste->click();
        QCOMPARE(selection(f), QRect(QPoint(520, 540), QPoint(640, 620)));
        f.mnuEditClipPasteToka->trigger();
        const QImage img = canvasImage(f);
        // Under the pure white half the background is exactly as it was.
        COMPARE_IMAGES(img.copy(520, 540, 50, 30), canvas.copy(520, 540, 50, 30), "edge_background");
        QCOMPARE(countColour(img, kRed, QRect(570, 570, 20, 20)), 20 * 20);
        QCOMPARE(gf5::ImageStore::liveCount(), live);
    }

    void transparentConfirmWithoutASelectionLeavesTheImageAlone()
    {
        Scene s;
        s.f.FillRect(10, 10, 40, 40, 215 + 215 * 256 + 215 * 65536); // light grey plan content
        s.f.chkToka->setChecked(true);
        s.f.chkKakudai->setChecked(true);
        const QImage before = canvasImage(s.f);
        s.f.btnClipSet->click(); // nothing floats and nothing is selected
        COMPARE_IMAGES(canvasImage(s.f), before, "transparent_confirm_no_selection");
    }

    void fillFormDrawsAtTheOriginWithoutASelection()
    {
        Scene s;
        MainWindow& f = s.f;
        select(f, 200, 100, 250, 150);
        const int live = gf5::ImageStore::liveCount();
        f.PasteFromClipboard(true);
        QVERIFY(f.PasteFloating);
        QCOMPARE(selection(f), QRect(QPoint(200, 100), QPoint(250, 150))); // untouched
        QCOMPARE(countColour(f.dspCanvas->shownImage(), kRed, QRect(50, 30, 20, 20)), 400);
        f.ConfirmPaste(false, false);
        QCOMPARE(countColour(canvasImage(f), kRed, QRect(50, 30, 20, 20)), 400);
        QCOMPARE(gf5::ImageStore::liveCount(), live);
    }

    void selectionChangeOutsideTheSelectionStateAbandonsThePaste()
    {
        Scene s;
        MainWindow& f = s.f;
        const int live = gf5::ImageStore::liveCount();
        select(f, 200, 100, 250, 150);
        f.btnClipPaste->click();
        f.dspCanvas->setDisplayMode(1);
        emit f.dspCanvas->SelectionChanged();
        QVERIFY(!f.PasteFloating);
        QCOMPARE(gf5::ImageStore::liveCount(), live);
    }

    void emptySelectionDiscardsThePaste()
    {
        Scene s;
        MainWindow& f = s.f;
        const QImage canvas = canvasImage(f);
        const int live = gf5::ImageStore::liveCount();
        select(f, 200, 100, 250, 150);
        f.btnClipPaste->click();
        select(f, 0, 0, 0, 0);
        emit f.dspCanvas->SelectionChanged();
        QVERIFY(!f.PasteFloating);
        COMPARE_IMAGES(canvasImage(f), canvas, "discard_image");
        COMPARE_IMAGES(f.dspCanvas->shownImage(), canvas, "discard_shown");
        QCOMPARE(gf5::ImageStore::liveCount(), live);
        // A later confirm has nothing to put in.
        f.ConfirmPaste(true, false);
        COMPARE_IMAGES(canvasImage(f), canvas, "discard_confirm");
    }

    void noPictureOnTheClipboardPastesNothing()
    {
        Scene s;
        MainWindow& f = s.f;
        QGuiApplication::clipboard()->setText("words");
        const int live = gf5::ImageStore::liveCount();
        select(f, 200, 100, 250, 150);
        f.btnClipPaste->click();
        QVERIFY(!f.PasteFloating);
        QCOMPARE(selection(f), QRect(QPoint(200, 100), QPoint(250, 150)));
        QCOMPARE(gf5::ImageStore::liveCount(), live);
    }

    // Needs a real X display and xclip: run under xvfb-run with
    // QT_QPA_PLATFORM=xcb; skipped elsewhere.
    void pictureCopiedInAnotherProgramPastes()
    {
        if (QGuiApplication::platformName() != "xcb" || QStandardPaths::findExecutable("xclip").isEmpty())
            QSKIP("needs the xcb platform and xclip");
        Scene s;
        MainWindow& f = s.f;
        QTemporaryDir tmp;
        const QString png = tmp.filePath("picture.png");
        QVERIFY(picture().save(png));
        QGuiApplication::clipboard()->clear();
        // xclip forks a child that owns the clipboard until someone else takes it.
        QCOMPARE(QProcess::execute("xclip", {"-selection", "clipboard", "-t", "image/png", "-i", png}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!QGuiApplication::clipboard()->image().isNull(), 5000);
        select(f, 200, 100, 210, 110);
        f.btnClipPaste->click();
        QVERIFY(f.PasteFloating);
        f.mnuEditClipPaste->trigger();
        COMPARE_IMAGES(canvasImage(f).copy(200, 100, 120, 80), picture(), "pasted_from_xclip");
        QGuiApplication::clipboard()->setText("done"); // the xclip child ends when it loses the clipboard
    }

    void picturesWithTransparencyPasteOnWhite()
    {
        Scene s;
        MainWindow& f = s.f;
        QImage argb(40, 30, QImage::Format_ARGB32);
        argb.fill(Qt::transparent);
        QPainter(&argb).fillRect(10, 10, 10, 10, Qt::red);
        QGuiApplication::clipboard()->setImage(argb);
        select(f, 300, 100, 310, 110);
        f.btnClipPaste->click();
        f.mnuEditClipPaste->trigger();
        const QImage img = canvasImage(f);
        QCOMPARE(countColour(img, kRed, QRect(310, 110, 10, 10)), 100);
        QCOMPARE(countColour(img, kWhite, QRect(300, 100, 40, 30)), 40 * 30 - 100);
    }
};

ZORVAT_TEST_MAIN(TestPaste)
#include "test_paste.moc"
