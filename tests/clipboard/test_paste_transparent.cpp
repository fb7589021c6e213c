// Transparent confirms of a floating part: stretched parts leave no pale
// fringe on a tinted plan, and a confirm after the selection was cleared
// still leaves white out where the picture floats.
#include "imaging/store/imagestore.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>

using namespace testsupport;

namespace {
const QRgb kGrey = qRgb(128, 128, 128);

// A door part: 2-pixel black frame lines, a leaf and a quarter arc on white.
QImage doorPart()
{
    QImage img(60, 40, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(0, 38, 59, 38);
    p.drawLine(4, 38, 4, 2);
    p.drawArc(QRect(4 - 34, 38 - 34, 68, 68), 0, 90 * 16);
    p.drawLine(10, 30, 40, 8);
    return img;
}

struct Scene {
    ProgramDir dir;
    MainWindow f{QStringList{}, dir.path()};
    Scene()
    {
        QImage plan(400, 300, QImage::Format_RGB32);
        plan.fill(kGrey);
        showOnCanvas(f, plan);
        f.dspCanvas->setZoomMode(2);
        f.dspCanvas->setZoomFactor(1.0);
        f.dspCanvas->setDisplayMode(0);
        f.dspCanvas->Refresh();
        f.TakeUndoSnapshot();
        QGuiApplication::clipboard()->setImage(doorPart());
    }

    // Drags the selection's bottom-right corner to the image point `to`.
    void dragCorner(const QPoint& from, const QPoint& to)
    {
        QWidget* vp = f.dspCanvas->viewport();
        const QPoint a = f.dspCanvas->imageToView(from), b = f.dspCanvas->imageToView(to);
        QTest::mousePress(vp, Qt::LeftButton, {}, a);
        QTest::mouseMove(vp, a + (b - a) / 2);
        QTest::mouseMove(vp, b);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, b);
    }
};

// Pixels lighter than the grey plan in any channel.
int lighterThanPlan(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            n += qRed(c) > 128 || qGreen(c) > 128 || qBlue(c) > 128;
        }
    return n;
}

int darkPixels(const QImage& img, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += qGray(img.pixel(x, y)) < 40;
    return n;
}
} // namespace

class PasteTransparentTest : public QObject {
    Q_OBJECT

private slots:
    void stretchedPartLeavesNoFringe_data()
    {
        QTest::addColumn<double>("factor");
        QTest::addColumn<bool>("widen");
        QTest::newRow("1.5x") << 1.5 << false;
        QTest::newRow("2.3x") << 2.3 << false;
        QTest::newRow("2.3x, widened white") << 2.3 << true;
        QTest::newRow("shrunk to 0.7x") << 0.7 << false;
    }
    void stretchedPartLeavesNoFringe()
    {
        QFETCH(double, factor);
        QFETCH(bool, widen);
        Scene s;
        MainWindow& f = s.f;
        const int live = gf5::ImageStore::liveCount();
        setSelection(f, 100, 100, 110, 110);
        f.btnClipPaste->click();
        QCOMPARE(selectionRect(f), QRect(QPoint(100, 100), QPoint(160, 140)));
        const QPoint corner(100 + int(60 * factor), 100 + int(40 * factor));
        s.dragCorner({160, 140}, corner);
        QCOMPARE(selectionRect(f), QRect(QPoint(100, 100), corner));
        f.chkToka->setChecked(true);
        f.chkKakudai->setChecked(widen);
        f.btnClipSet->click();
        const QImage img = canvasImage(f);
        QCOMPARE(lighterThanPlan(img), 0);
        // The lines are there, dark, and only inside the stretched rectangle.
        const QRect pasted(QPoint(100, 100), corner - QPoint(1, 1));
        QVERIFY(darkPixels(img, pasted) > int(100 * factor));
        QCOMPARE(darkPixels(img, img.rect()), darkPixels(img, pasted));
        // Paper shows the plan untouched.
        QCOMPARE(img.pixel(pasted.center().x() + pasted.width() / 4, pasted.top() + pasted.height() / 2), kGrey);
        QCOMPARE(gf5::ImageStore::liveCount(), live);
        f.btnUndo_Click();
        QCOMPARE(countColour(canvasImage(f), kGrey), 400 * 300);
    }

    // The user clicked far from the floating part, which cleared the
    // selection but left the part floating; 貼 with 純白を透過 then lays it
    // where it was last drawn, white left out, instead of covering the plan.
    void confirmAfterTheSelectionWasCleared_data()
    {
        QTest::addColumn<bool>("stretchedFirst");
        QTest::newRow("where it was pasted") << false;
        QTest::newRow("where it was stretched to") << true;
    }
    void confirmAfterTheSelectionWasCleared()
    {
        QFETCH(bool, stretchedFirst);
        Scene s;
        MainWindow& f = s.f;
        const int live = gf5::ImageStore::liveCount();
        setSelection(f, 100, 100, 110, 110);
        f.btnClipPaste->click();
        QRect drawn(QPoint(100, 100), QPoint(159, 139));
        if (stretchedFirst) {
            s.dragCorner({160, 140}, {220, 180});
            drawn = QRect(QPoint(100, 100), QPoint(219, 179));
        }
        QWidget* vp = f.dspCanvas->viewport();
        QTest::mouseClick(vp, Qt::LeftButton, {}, f.dspCanvas->imageToView({350, 260}));
        QCOMPARE(selectionRect(f), QRect(QPoint(0, 0), QPoint(0, 0)));
        QVERIFY(f.PasteFloating);
        f.chkToka->setChecked(true);
        f.btnClipSet->click();
        QVERIFY(!f.PasteFloating);
        const QImage img = canvasImage(f);
        QCOMPARE(countColour(img, qRgb(255, 255, 255)), 0);
        QCOMPARE(lighterThanPlan(img), 0);
        QVERIFY(darkPixels(img, drawn) > 100);
        QCOMPARE(darkPixels(img, img.rect()), darkPixels(img, drawn));
        QCOMPARE(gf5::ImageStore::liveCount(), live);
    }
};

ZORVAT_TEST_MAIN(PasteTransparentTest)
#include "test_paste_transparent.moc"
