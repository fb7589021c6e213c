// At ×2 and 実寸 the view follows the selection: keypad walks, Alt resizes
// and mouse drags past the view's edge scroll just enough to keep it seen.
#include "plan_keys.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QRadioButton>
#include <QScrollBar>

using namespace plantest;

namespace {
struct View {
    testsupport::ProgramDir dir;
    MainWindow f{QStringList{}, dir.path()};
    gf5::Gf5Disp* d = f.dspCanvas;

    explicit View(int scaleOption)
    {
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        testsupport::showOnCanvas(f, testsupport::whiteImage(3000, 2000));
        f.selectDisplayScale(scaleOption);
        // The walks start from the sheet's top-left corner.
        d->horizontalScrollBar()->setValue(0);
        d->verticalScrollBar()->setValue(0);
        f.optSize[1]->setChecked(true); // keypad step 10
    }
    int h() const { return d->horizontalScrollBar()->value(); }
    int v() const { return d->verticalScrollBar()->value(); }
    // The selection's rectangle on screen lies inside the viewport.
    bool selectionSeen() const
    {
        const QRect s = selection(f);
        const QPoint a = d->imageToView(s.topLeft()), b = d->imageToView(s.bottomRight());
        const QSize vs = d->viewport()->size();
        return a.x() >= 0 && a.y() >= 0 && b.x() <= vs.width() && b.y() <= vs.height();
    }
};
} // namespace

class ViewFollowsTest : public QObject {
    Q_OBJECT

private slots:
    void keypadWalkKeepsTheSelectionSeen_data()
    {
        QTest::addColumn<int>("scaleOption");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("alt");
        QTest::newRow("x2, walk right") << 4 << int(Qt::Key_6) << false;
        QTest::newRow("x2, walk down") << 4 << int(Qt::Key_2) << false;
        QTest::newRow("actual size, walk right") << 1 << int(Qt::Key_6) << false;
        QTest::newRow("x2, Alt grows the bottom") << 4 << int(Qt::Key_2) << true;
    }
    void keypadWalkKeepsTheSelectionSeen()
    {
        QFETCH(int, scaleOption);
        QFETCH(int, key);
        QFETCH(bool, alt);
        View w(scaleOption);
        MainWindow& f = w.f;
        select(f, 100, 100, 120, 120);
        QVERIFY(w.selectionSeen());
        const int h0 = w.h(), v0 = w.v();
        // The first steps stay in view: nothing scrolls.
        pad(f, Qt::Key(key), alt ? Qt::AltModifier : Qt::NoModifier);
        QCOMPARE(w.h(), h0);
        QCOMPARE(w.v(), v0);
        const int presses = alt ? 600 : 150;
        for (int i = 0; i < presses; ++i) {
            pad(f, Qt::Key(key), alt ? Qt::AltModifier : Qt::NoModifier);
            if (!alt)
                QVERIFY2(w.selectionSeen(), qPrintable(QString("after %1 presses").arg(i + 2)));
        }
        QVERIFY(w.h() > h0 || w.v() > v0);
        const QRect s = selection(f);
        const QSize vs = w.d->viewport()->size();
        if (alt) {
            // Taller than the view: the view shows its far edge, just reached.
            QVERIFY(s.height() * 2 > vs.height());
            QCOMPARE(w.d->imageToView(s.bottomRight()).y(), vs.height());
        } else if (key == Qt::Key_6) {
            // Just enough: the selection touches the view's right edge.
            QVERIFY(std::abs(w.d->imageToView(s.bottomRight()).x() - vs.width()) <= 2);
        }
    }

    void fittedViewDoesNotScroll()
    {
        View w(0);
        select(w.f, 100, 100, 120, 120);
        for (int i = 0; i < 100; ++i)
            pad(w.f, Qt::Key_6);
        QCOMPARE(w.h(), 0);
        QCOMPARE(w.v(), 0);
        QCOMPARE(selection(w.f), ltrb(1100, 100, 1120, 120));
    }

    // Dragging the selection past the view's right edge scrolls while the
    // button is held, and the selection moves on with the view.
    void dragPastTheEdgeScrolls()
    {
        View w(4);
        MainWindow& f = w.f;
        select(f, 100, 100, 140, 140);
        QWidget* vp = w.d->viewport();
        const QSize vs = vp->size();
        const QPoint grab = w.d->imageToView({120, 120});
        QTest::mousePress(vp, Qt::LeftButton, {}, grab);
        QTest::mouseMove(vp, grab + QPoint(10, 0));
        const QPoint outside(vs.width() + 30, grab.y());
        QTest::mouseMove(vp, outside);
        const int leftAtEdge = selection(f).left();
        QTRY_VERIFY_WITH_TIMEOUT(w.h() > 200, 3000);
        QVERIFY(selection(f).left() > leftAtEdge + 50);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, outside);
        const int stopped = w.h();
        QTest::qWait(100);
        QCOMPARE(w.h(), stopped);
        // Dragging out a new rectangle past the bottom edge scrolls down.
        const QPoint start = w.d->imageToView({w.d->ViewOriginX() + 400, w.d->ViewOriginY() + 40});
        QTest::mousePress(vp, Qt::LeftButton, {}, start);
        QTest::mouseMove(vp, start + QPoint(10, 10));
        QTest::mouseMove(vp, QPoint(start.x() + 20, vs.height() + 30));
        QTRY_VERIFY_WITH_TIMEOUT(w.v() > 100, 3000);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(start.x() + 20, vs.height() + 30));
        QVERIFY(selection(f).bottom() > w.d->ViewOriginY());
    }
};

ZORVAT_TEST_MAIN(ViewFollowsTest)
#include "test_view_follows.moc"
