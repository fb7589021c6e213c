// The display: display modes and committing, scale and scrolling, what the
// view shows, the user's selection by mouse, clicks, drops, and that the
// display never releases images.
#include "imaging/draw/gf5print.h"
#include "imaging/store/bufferpool.h"
#include "imaging/store/imagestore.h"
#include "imaging/widgets/gf5disp.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QUrl>
#include <memory>

using namespace gf5;

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

int32_t addWhite(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return ImageStore::add(img);
}

// A shown display whose viewport is exactly vw x vh.
std::unique_ptr<Gf5Disp> shownDisplay(int vw = 510, int vh = 466)
{
    auto d = std::make_unique<Gf5Disp>();
    d->setFrameShape(QFrame::NoFrame);
    d->resize(vw, vh);
    d->show();
    if (!QTest::qWaitForWindowExposed(d.get()))
        return nullptr;
    return d;
}

void fill(Gf5Disp& d, QRect r, int32_t colour)
{
    Gf5Print g;
    g.BrushStyle = 1;
    g.BrushColor = colour;
    g.FillRectangle(d.DrawingDC(), r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}

QImage viewShot(Gf5Disp& d)
{
    return d.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void drag(QWidget* w, QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton)
{
    QTest::mousePress(w, b, Qt::NoModifier, from);
    QTest::mouseMove(w, (from + to) / 2);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, b, Qt::NoModifier, to);
}

} // namespace

class TestDisp : public QObject {
    Q_OBJECT
private slots:
    void drawingShowsOnlyUntilDroppedOrCommitted()
    {
        const int32_t h = addWhite(40, 30);
        ImageStore::image(h)->setDotsPerMeterX(11811);
        Gf5Disp d;
        d.setImageHandle(h);
        QCOMPARE(d.DrawingDC(), 0); // not in the drawing state

        d.setDisplayMode(3);
        d.Refresh();
        QVERIFY(d.DrawingDC() != 0);
        fill(d, QRect(5, 5, 10, 10), 0);
        QCOMPARE(d.shownImage().pixel(7, 7), kBlack);
        QCOMPARE(ImageStore::image(h)->pixel(7, 7), kWhite); // the image itself is untouched
        QVERIFY(d.hasPendingDrawing());

        d.setDisplayMode(2);
        QCOMPARE(d.DrawingDC(), 0);
        d.Refresh();
        QCOMPARE(d.shownImage().pixel(7, 7), kBlack); // mode 2 still shows the drawing

        d.setDisplayMode(1);
        d.Refresh();
        QVERIFY(!d.hasPendingDrawing());
        QCOMPARE(testsupport::countColour(d.shownImage(), kBlack), 0);

        d.setDisplayMode(3);
        d.Refresh();
        QCOMPARE(testsupport::countColour(d.shownImage(), kBlack), 0); // the dropped drawing stays gone
        fill(d, QRect(20, 10, 5, 5), 0);
        d.CommitDrawing();
        QVERIFY(!d.hasPendingDrawing());
        const QImage* stored = ImageStore::image(h);
        QCOMPARE(stored->pixel(22, 12), kBlack);
        QCOMPARE(testsupport::countColour(*stored, kBlack), 25);
        QCOMPARE(stored->dotsPerMeterX(), 11811);
        QCOMPARE(ImageStore::get(h)->bitDepth, 24);

        // A new working copy starts from the committed image.
        d.setDisplayMode(3);
        d.Refresh();
        COMPARE_IMAGES(d.shownImage(), *ImageStore::image(h), "work-after-commit");
        d.setDisplayMode(1);
        d.Refresh();
        d.setImageHandle(0);
        ImageStore::release(h);
    }

    void spentWorkingCopyGivesWayToANewImageOfItsSize()
    {
        // Large enough for recycled buffers.
        const int w = 1200, h = 1000;
        const int32_t plan = ImageStore::add(ImageStore::copy(testsupport::whiteImage(w, h)));
        Gf5Disp d;
        d.setImageHandle(plan);
        auto draw = [&](QRect r, int32_t colour) {
            d.setDisplayMode(3);
            d.Refresh();
            fill(d, r, colour);
            d.CommitDrawing();
            d.setDisplayMode(1);
            d.Refresh();
        };
        draw(QRect(10, 10, 20, 20), 0); // the display now keeps the old pixels as a spare
        BufferPool::trim();
        const qint64 reused = BufferPool::reuseCount();
        // An image of that size takes the spare's memory instead of fresh pages.
        QImage result = ImageStore::allocate(w, h, QImage::Format_RGB32);
        QCOMPARE(BufferPool::reuseCount(), reused + 1);
        result.fill(qRgb(0, 0, 255));
        // Drawing goes on correctly without the spare, and the new image is its own.
        draw(QRect(100, 100, 5, 5), 0xFF); // red
        const QImage* stored = ImageStore::image(plan);
        QCOMPARE(testsupport::countColour(*stored, kBlack), 20 * 20);
        QCOMPARE(testsupport::countColour(*stored, qRgb(255, 0, 0)), 25);
        QCOMPARE(testsupport::countColour(*stored, kWhite), w * h - 425);
        QCOMPARE(testsupport::countColour(result, qRgb(0, 0, 255)), w * h);
        // Other sizes leave the spare alone.
        draw(QRect(200, 200, 5, 5), 0);
        const qint64 before = BufferPool::reuseCount();
        QImage other = ImageStore::allocate(w, h + 1, QImage::Format_RGB32);
        QCOMPARE(BufferPool::reuseCount(), before);
        d.setImageHandle(0);
        ImageStore::release(plan);
    }

    void workingCopyFollowsChangesMadeElsewhere()
    {
        const int32_t h = addWhite(30, 20);
        Gf5Disp d;
        d.setImageHandle(h);
        d.setDisplayMode(3);
        d.Refresh();
        fill(d, QRect(0, 0, 5, 5), 0);
        d.setDisplayMode(1);
        d.Refresh();
        ImageStore::image(h)->fill(qRgb(0, 0, 255)); // changed in place by someone else
        d.setDisplayMode(3);
        d.Refresh();
        QCOMPARE(testsupport::countColour(d.shownImage(), qRgb(0, 0, 255)), 30 * 20);

        // An image of another depth becomes full colour when drawing is committed.
        QImage grey(10, 10, QImage::Format_Grayscale8);
        grey.fill(200);
        const int32_t g8 = ImageStore::add(grey, 8);
        d.setImageHandle(g8);
        d.setDisplayMode(3);
        d.Refresh();
        fill(d, QRect(1, 1, 2, 2), 0);
        d.CommitDrawing();
        QCOMPARE(ImageStore::image(g8)->format(), QImage::Format_RGB32);
        QCOMPARE(ImageStore::get(g8)->bitDepth, 24);
        QCOMPARE(ImageStore::image(g8)->pixel(5, 5), qRgb(200, 200, 200));
        QCOMPARE(ImageStore::image(g8)->pixel(1, 1), kBlack);
        d.setImageHandle(0);
        ImageStore::release(h);
        ImageStore::release(g8);
    }

    void fitsAndZooms()
    {
        auto d = shownDisplay(510, 466);
        QVERIFY(d);
        const int32_t h = addWhite(600, 600);
        d->setImageHandle(h);
        QCOMPARE(d->viewport()->size(), QSize(510, 466));
        QVERIFY(qAbs(d->currentScale() - 466.0 / 600.0) < 1e-9);
        QCOMPARE(d->imageToView(QPoint(600, 600)), QPoint(466, 466));
        QVERIFY(!d->horizontalScrollBar()->isVisible());
        QCOMPARE(d->ViewOriginX(), 0);

        d->setZoomMode(2);
        d->setZoomFactor(2.0);
        QCOMPARE(d->currentScale(), 2.0);
        QTest::qWait(1);
        QVERIFY(d->horizontalScrollBar()->isVisible());
        QVERIFY(d->verticalScrollBar()->isVisible());
        QCOMPARE(d->horizontalScrollBar()->maximum(), 1200 - d->viewport()->width());
        d->horizontalScrollBar()->setValue(200);
        d->verticalScrollBar()->setValue(101);
        QCOMPARE(d->ViewOriginX(), 100);
        QCOMPARE(d->ViewOriginY(), 50);
        QCOMPARE(d->viewToImage(QPoint(10, 0)), QPoint(105, 50));

        d->setZoomFactor(0); // not positive: the factor stays
        QCOMPARE(d->ZoomFactor(), 2.0);
        d->setZoomMode(0);
        QCOMPARE(d->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(d->ViewOriginX(), 0);
        d->setImageHandle(0);
        ImageStore::release(h);
    }

    void viewShowsDrawingAndFrame()
    {
        // Shown at about 0.42: the view goes through the scaled-down copy.
        auto d = shownDisplay(510, 466);
        QVERIFY(d);
        const int32_t h = addWhite(1200, 1000);
        d->setImageHandle(h);
        const double s = d->currentScale();
        QVERIFY(s < 0.5);
        auto viewOf = [&](int x, int y) { return viewShot(*d).pixel(int(x * s), int(y * s)); };
        QCOMPARE(viewOf(550, 450), kWhite);

        d->setDisplayMode(3);
        d->Refresh();
        fill(*d, QRect(500, 400, 100, 100), 0);
        QVERIFY(qRed(viewOf(550, 450)) < 60);

        d->setDisplayMode(1);
        d->Refresh(); // dropped: the view shows the plain image again
        QCOMPARE(viewOf(550, 450), kWhite);

        d->setDisplayMode(3);
        d->Refresh();
        fill(*d, QRect(100, 700, 100, 100), 0);
        d->CommitDrawing();
        d->setDisplayMode(1);
        d->Refresh();
        QVERIFY(qRed(viewOf(150, 750)) < 60);
        QCOMPARE(viewOf(550, 450), kWhite);

        // The selection frame shows in mode 2 and not in mode 1.
        d->setSelectionLeft(200);
        d->setSelectionTop(100);
        d->setSelectionRight(400);
        d->setSelectionBottom(300);
        d->Refresh();
        const QRect band(int(190 * s), int(150 * s), int(20 * s) + 2, int(100 * s));
        QCOMPARE(testsupport::countColour(viewShot(*d), kWhite, band), band.width() * band.height());
        d->setDisplayMode(2);
        d->Refresh();
        QVERIFY(testsupport::countColour(viewShot(*d), kBlack, band) > 10);
        d->setImageHandle(0);
        ImageStore::release(h);
    }

    void userDragsOutMovesAndResizesTheSelection()
    {
        auto d = shownDisplay(510, 466);
        QVERIFY(d);
        const int32_t h = addWhite(300, 200);
        d->setImageHandle(h);
        d->setZoomMode(2);
        d->setZoomFactor(1.0);
        QSignalSpy changed(d.get(), &Gf5Disp::SelectionChanged);
        QSignalSpy clicks(d.get(), &Gf5Disp::CanvasClick);
        QWidget* vp = d->viewport();
        QCOMPARE(d->DisplayMode(), int16_t(1));

        drag(vp, QPoint(150, 120), QPoint(50, 40)); // dragged up-left: put in order
        QCOMPARE(QRect(QPoint(d->SelectionLeft(), d->SelectionTop()), QPoint(d->SelectionRight(), d->SelectionBottom())),
                 QRect(QPoint(50, 40), QPoint(150, 120)));
        QVERIFY(changed.count() >= 1);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(d->DisplayMode(), int16_t(2)); // the frame shows after the user's drag

        changed.clear();
        drag(vp, QPoint(100, 80), QPoint(130, 90)); // inside: moved, same size
        QCOMPARE(d->SelectionLeft(), 80);
        QCOMPARE(d->SelectionTop(), 50);
        QCOMPARE(d->SelectionRight(), 180);
        QCOMPARE(d->SelectionBottom(), 130);
        QVERIFY(changed.count() >= 1);

        drag(vp, QPoint(180, 100), QPoint(220, 100)); // right edge
        QCOMPARE(d->SelectionLeft(), 80);
        QCOMPARE(d->SelectionRight(), 220);
        QCOMPARE(d->SelectionBottom(), 130);

        drag(vp, QPoint(260, 150), QPoint(400, 300)); // outside: a new one, clipped to the image
        QCOMPARE(QRect(QPoint(d->SelectionLeft(), d->SelectionTop()), QPoint(d->SelectionRight(), d->SelectionBottom())),
                 QRect(QPoint(260, 150), QPoint(300, 200)));

        drag(vp, QPoint(200, 10), QPoint(500, 10)); // moved past the image's edge: stays on it
        QCOMPARE(d->SelectionRight(), 300);
        QCOMPARE(clicks.count(), 0);

        // A press whose release went elsewhere does not lock the mouse out.
        QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        QTest::mouseMove(vp, QPoint(30, 30));
        drag(vp, QPoint(10, 10), QPoint(40, 30));
        QCOMPARE(QRect(QPoint(d->SelectionLeft(), d->SelectionTop()), QPoint(d->SelectionRight(), d->SelectionBottom())),
                 QRect(QPoint(10, 10), QPoint(40, 30)));
        d->setImageHandle(0);
        ImageStore::release(h);
    }

    void clicksReportImagePixels()
    {
        auto d = shownDisplay(510, 466);
        QVERIFY(d);
        const int32_t h = addWhite(300, 200);
        d->setImageHandle(h);
        d->setZoomMode(2);
        d->setZoomFactor(2.0);
        d->setSelectionLeft(10);
        d->setSelectionTop(10);
        d->setSelectionRight(50);
        d->setSelectionBottom(40);
        d->setDisplayMode(2);
        d->Refresh();
        QSignalSpy changed(d.get(), &Gf5Disp::SelectionChanged);
        QSignalSpy clicks(d.get(), &Gf5Disp::CanvasClick);
        QWidget* vp = d->viewport();

        drag(vp, QPoint(201, 151), QPoint(202, 152)); // hardly moved: a click
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks[0], (QList<QVariant>{1, 100, 75}));
        QTest::mouseClick(vp, Qt::RightButton, Qt::NoModifier, QPoint(41, 61));
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(clicks[1], (QList<QVariant>{2, 20, 30}));
        QCOMPARE(d->SelectionRight(), 50);
        QCOMPARE(changed.count(), 0);

        // The program setting the selection is no user change.
        d->setSelectionLeft(0);
        d->setSelectionRight(70);
        d->setDisplayMode(2);
        d->Refresh();
        QCOMPARE(changed.count(), 0);

        // With dragging switched off a drag is a click where it started.
        d->setSelectionDragEnabled(false);
        drag(vp, QPoint(300, 300), QPoint(400, 360));
        QCOMPARE(clicks.count(), 3);
        QCOMPARE(clicks[2], (QList<QVariant>{1, 150, 150}));
        QCOMPARE(d->SelectionLeft(), 0);
        QCOMPARE(d->SelectionRight(), 70);
        QCOMPARE(changed.count(), 0);
        d->setImageHandle(0);
        ImageStore::release(h);
    }

    void selectionAndImagesOutliveHandleChanges()
    {
        const int before = ImageStore::liveCount();
        const int32_t a = addWhite(100, 80);
        const int32_t b = addWhite(50, 50);
        {
            Gf5Disp d;
            d.setImageHandle(a);
            d.setSelectionLeft(10);
            d.setSelectionTop(20);
            d.setSelectionRight(30);
            d.setSelectionBottom(40);
            d.setDisplayMode(3);
            d.Refresh();
            fill(d, QRect(0, 0, 5, 5), 0);
            d.setImageHandle(b); // the drawing belonged to the other image
            QVERIFY(!d.hasPendingDrawing());
            QCOMPARE(d.SelectionLeft(), 10);
            QCOMPARE(d.SelectionBottom(), 40);
            QCOMPARE(d.shownImage().size(), QSize(50, 50));
            d.CommitDrawing();
            d.setImageHandle(0);
            QVERIFY(d.shownImage().isNull());
            QCOMPARE(ImageStore::liveCount(), before + 2); // nothing released by the display
        }
        QCOMPARE(ImageStore::image(a)->pixel(1, 1), kWhite);
        QCOMPARE(ImageStore::liveCount(), before + 2);
        ImageStore::release(a);
        ImageStore::release(b);
        QCOMPARE(ImageStore::liveCount(), before);
    }

    void dropsOfFilesAndDisplays()
    {
        Gf5Disp canvas, preview;
        QSignalSpy files(&canvas, &Gf5Disp::FileDropped);
        QSignalSpy displays(&canvas, &Gf5Disp::DisplayDropped);
        auto dropOn = [](Gf5Disp& target, QMimeData* mime) {
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target.viewport(), &enter);
            const bool accepted = enter.isAccepted();
            if (accepted) {
                QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(target.viewport(), &drop);
            }
            return accepted;
        };

        QMimeData file;
        file.setUrls({QUrl::fromLocalFile("/tmp/plan.jpg")});
        QVERIFY(dropOn(canvas, &file));
        QCOMPARE(files.count(), 1);
        QCOMPARE(files[0][0].toString(), QString("/tmp/plan.jpg"));

        std::unique_ptr<QMimeData> fromPreview(preview.dragMimeData());
        QVERIFY(dropOn(canvas, fromPreview.get()));
        QCOMPARE(displays.count(), 1);
        QCOMPARE(displays[0][0].value<QObject*>(), &preview);

        std::unique_ptr<QMimeData> fromItself(canvas.dragMimeData());
        QVERIFY(!dropOn(canvas, fromItself.get()));
        QMimeData text;
        text.setText("hello");
        QVERIFY(!dropOn(canvas, &text));
        QCOMPARE(files.count(), 1);
        QCOMPARE(displays.count(), 1);
    }
};

ZORVAT_TEST_MAIN(TestDisp)
#include "test_disp.moc"
