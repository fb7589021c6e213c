// The straightening command of the canvas edit menu.
#include "imaging/effects/skew.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QAction>
#include <QMenu>
#include <QPainter>
#include <cmath>

using namespace testsupport;

namespace {

// Walls of a room and a partition, drawn turned counter-clockwise by degrees.
QImage room(double degrees)
{
    QImage img(900, 700, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(450, 350);
    p.rotate(-degrees);
    p.translate(-450, -350);
    p.setPen(QPen(Qt::black, 12));
    p.drawRect(120, 100, 660, 500);
    p.drawLine(120, 330, 780, 330);
    p.drawLine(450, 100, 450, 330);
    return img;
}

void straighten(MainWindow& f)
{
    QAction* action = f.mnuEditDisp->findChild<QAction*>("mnuEditDeskew");
    QVERIFY(action);
    QCOMPARE(action->text(), QString("傾き補正"));
    action->trigger();
}

} // namespace

class DeskewTest : public QObject {
    Q_OBJECT
private slots:
    void aSkewedPlanIsStraightenedInOneUndoStep()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        const QImage skewed = room(-2.6);
        showOnCanvas(f, skewed);
        straighten(f);
        const QImage straight = canvasImage(f);
        QCOMPARE(straight.size(), skewed.size());
        const std::optional<double> left = gf5::measureSkew(straight);
        QVERIFY(left);
        QVERIFY2(std::abs(*left) < 0.1, qPrintable(QString::number(*left)));
        // The top wall now runs along one row: its ends are at the same height.
        auto topWallRow = [&](int x) {
            for (int y = 0; y < straight.height(); ++y)
                if (qGray(straight.pixel(x, y)) < 128)
                    return y;
            return -1;
        };
        QVERIFY(std::abs(topWallRow(200) - topWallRow(700)) <= 1);
        QCOMPARE(straight.pixel(0, 0), qRgb(255, 255, 255));
        f.btnUndo_Click();
        COMPARE_IMAGES(canvasImage(f), skewed, "deskew-undone");
    }

    void aStraightPlanOrOneWithoutLinesIsLeftAlone()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        for (const QImage& img : {room(0.02), QImage()}) {
            QImage picture = img;
            if (picture.isNull()) {
                // Only round shapes: nothing to straighten by.
                picture = QImage(600, 400, QImage::Format_RGB32);
                picture.fill(Qt::white);
                QPainter p(&picture);
                p.setPen(QPen(Qt::black, 6));
                for (int i = 0; i < 5; ++i)
                    p.drawEllipse(QPointF(100 + i * 100, 200), 40, 40);
            }
            showOnCanvas(f, picture);
            const int32_t shown = f.dspCanvas->ImageHandle();
            const int live = gf5::ImageStore::liveCount();
            straighten(f);
            QCOMPARE(f.dspCanvas->ImageHandle(), shown);
            QCOMPARE(gf5::ImageStore::liveCount(), live); // no snapshot, no result
            COMPARE_IMAGES(canvasImage(f), picture, "deskew-left-alone");
        }
    }
};

ZORVAT_TEST_MAIN(DeskewTest)
#include "test_deskew.moc"
