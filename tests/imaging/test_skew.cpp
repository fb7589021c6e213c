// Skew measurement on synthetic 300-dpi plans drawn turned by known angles,
// and the size-keeping turn that straightens them.
#include "imaging/effects/gf5effect.h"
#include "imaging/effects/skew.h"
#include "imaging/effects/turn.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QFont>
#include <QPainter>
#include <QRandomGenerator>
#include <cmath>

using namespace gf5;

namespace {

constexpr int kDpm300 = 11811;

// An A5 plan at 300 dpi (walls, thin lines, a dotted line, room names, a
// pale tint, dust) drawn turned counter-clockwise by `degrees`.
QImage plan(double degrees, bool longLines = true)
{
    QImage img(1748, 2480, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(kDpm300);
    img.setDotsPerMeterY(kDpm300);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(img.width() / 2.0, img.height() / 2.0);
    p.rotate(-degrees); // QPainter turns clockwise on screen
    p.translate(-img.width() / 2.0, -img.height() / 2.0);
    QRandomGenerator rng(7);
    if (longLines) {
        p.fillRect(QRect(300, 400, 900, 700), QColor(235, 242, 250)); // tint
        p.setPen(QPen(Qt::black, 24, Qt::SolidLine, Qt::SquareCap));
        p.drawRect(250, 300, 1250, 1900);
        p.drawLine(250, 1100, 1500, 1100);
        p.drawLine(900, 300, 900, 1100);
        p.drawLine(250, 1650, 900, 1650);
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(950, 1200, 1450, 1200);
        p.setPen(QPen(Qt::black, 3, Qt::DotLine));
        p.drawLine(300, 1400, 880, 1400);
    } else {
        // Only short strokes at every angle and round shapes.
        p.setPen(QPen(Qt::black, 6));
        for (int i = 0; i < 40; ++i) {
            const QPointF a(200 + rng.bounded(1300), 300 + rng.bounded(1900));
            const double t = rng.bounded(360.0) * M_PI / 180;
            p.drawLine(a, a + QPointF(120 * std::cos(t), 120 * std::sin(t)));
        }
        for (int i = 0; i < 12; ++i)
            p.drawEllipse(QPointF(300 + rng.bounded(1100), 400 + rng.bounded(1700)), 90, 90);
    }
    QFont font;
    font.setPixelSize(40);
    p.setFont(font);
    p.setPen(QColor(60, 60, 60));
    p.drawText(QPointF(400, 700), QStringLiteral("洋室 6畳"));
    p.drawText(QPointF(1000, 700), QStringLiteral("DK"));
    p.drawText(QPointF(400, 1400 + 80), QStringLiteral("押入"));
    p.end();
    for (int i = 0; i < 3000; ++i) {
        const int x = rng.bounded(img.width() - 2), y = rng.bounded(img.height() - 2);
        img.setPixel(x, y, qRgb(40, 40, 40));
        img.setPixel(x + 1, y, qRgb(40, 40, 40));
    }
    return img;
}

} // namespace

class SkewTest : public QObject {
    Q_OBJECT
private slots:
    void measuresKnownAnglesWithinATenthOfADegree()
    {
        QString misses;
        for (int step = 0; step <= 14; ++step) {
            const double truth = -5.0 + 0.7 * step;
            const std::optional<double> found = measureSkew(plan(truth));
            if (!found || std::abs(*found - truth) > 0.1)
                misses += QString(" %1 -> %2").arg(truth).arg(found ? QString::number(*found, 'f', 3) : "none");
        }
        QVERIFY2(misses.isEmpty(), qPrintable("off by more than 0.1 degree:" + misses));
    }

    void darkBandsAlongTheScanFrameDoNotHoldTheSkewAtZero()
    {
        // The sheet lies turned; the lid's shadow runs straight along the frame.
        QImage img = plan(3.5);
        QPainter p(&img);
        p.fillRect(0, 0, img.width(), 40, QColor(30, 30, 30));
        p.fillRect(0, 0, 35, img.height(), QColor(30, 30, 30));
        p.fillRect(img.width() - 20, 0, 20, img.height(), QColor(50, 50, 50));
        p.end();
        const std::optional<double> found = measureSkew(img);
        QVERIFY(found);
        QVERIFY2(std::abs(*found - 3.5) < 0.1, qPrintable(QString::number(*found)));
    }

    void aPlanWithoutLongLinesHasNoSkew()
    {
        QVERIFY(!measureSkew(plan(3.0, false)));
        QImage blank(400, 300, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QVERIFY(!measureSkew(blank));
        QVERIFY(!measureSkew(QImage()));
    }

    void turnMovesPixelsWhereTheAngleSaysAndKeepsFlatAreasExact()
    {
        for (const Resampling how : {Resampling::Linear, Resampling::Cubic, Resampling::Lanczos}) {
            // A dot 100 px right of the centre of a grey sheet.
            QImage img(401, 301, QImage::Format_RGB32);
            img.fill(qRgb(200, 180, 160));
            QPainter(&img).fillRect(298, 148, 5, 5, Qt::black);
            const QImage out = turnKeepingSize(img, 7.0, qRgb(255, 255, 255), how);
            QCOMPARE(out.size(), img.size());
            double sx = 0, sy = 0, sw = 0;
            for (int y = 100; y < 200; ++y)
                for (int x = 250; x < 350; ++x) {
                    const double d = std::max(0, 180 - qGreen(out.pixel(x, y)));
                    sx += d * x;
                    sy += d * y;
                    sw += d;
                }
            // Counter-clockwise on screen: up and a little left.
            const double a = 7.0 * M_PI / 180;
            QVERIFY(std::abs(sx / sw - (200 + 100 * std::cos(a))) < 0.3);
            QVERIFY(std::abs(sy / sw - (150 - 100 * std::sin(a))) < 0.3);
            // Paper away from the dot and the edges keeps its exact colour;
            // the corners the turn uncovers take the fill.
            QCOMPARE(testsupport::countColour(out, qRgb(200, 180, 160), QRect(100, 60, 120, 180)), 120 * 180);
            QCOMPARE(out.pixel(0, 0), qRgb(255, 255, 255));
            QCOMPARE(out.pixel(400, 300), qRgb(255, 255, 255));
        }
        // No turn is an exact copy.
        const QImage same = plan(0);
        COMPARE_IMAGES(turnKeepingSize(same, 0, qRgb(255, 255, 255)), same, "turn-none");
    }

    void turningByTheMeasuredAngleStraightensAndKeepsTheSize()
    {
        const QImage skewed = plan(2.1);
        const std::optional<double> found = measureSkew(skewed);
        QVERIFY(found);
        const QImage straight = turnKeepingSize(skewed, -*found, 0xFFFFFFFF);
        QCOMPARE(straight.size(), skewed.size());
        QCOMPARE(straight.dotsPerMeterX(), kDpm300);
        const std::optional<double> left = measureSkew(straight);
        QVERIFY(left);
        QVERIFY2(std::abs(*left) < 0.1, qPrintable(QString::number(*left)));
        // The uncovered corners are white, not black.
        QCOMPARE(straight.pixel(0, 0), 0xFFFFFFFFu);
        QCOMPARE(straight.pixel(straight.width() - 1, straight.height() - 1), 0xFFFFFFFFu);
    }
};

ZORVAT_TEST_MAIN(SkewTest)
#include "test_skew.moc"
