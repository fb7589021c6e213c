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
#include <QPainterPath>
#include <QPolygonF>
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

// A plan as printed from the web and scanned, at 200 dpi on A4, drawn
// turned counter-clockwise by `degrees`: walls drawn solid and heavy, rooms
// filled with a dark floor colour (one of them with a slanted side), a filled
// bath, a round table, a stair hatched at 45 degrees and a hatched balcony.
QImage heavyPlan(double degrees)
{
    QImage img(1654, 2339, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(7874);
    img.setDotsPerMeterY(7874);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(img.width() / 2.0, img.height() / 2.0);
    p.rotate(-degrees);
    p.translate(-img.width() / 2.0, -img.height() / 2.0);
    const QColor floor(150, 120, 90), ink(20, 20, 20);
    // Floors, wider than anything else on the sheet.
    p.setPen(Qt::NoPen);
    p.setBrush(floor);
    p.drawPolygon(QPolygonF({QPointF(260, 420), QPointF(900, 420), QPointF(900, 1100), QPointF(260, 1300)}));
    p.drawRect(QRectF(940, 420, 480, 560));
    p.drawRect(QRectF(260, 1340, 640, 520));
    p.setBrush(ink);
    p.drawRect(QRectF(1000, 1400, 380, 220)); // bath
    p.drawEllipse(QPointF(560, 800), 130, 130); // table
    // Heavy solid walls.
    p.setBrush(ink);
    for (const QRectF& wall : {QRectF(220, 380, 1240, 40), QRectF(220, 1860, 1240, 40), QRectF(220, 380, 40, 1520),
                               QRectF(1420, 380, 40, 1520), QRectF(900, 420, 40, 1440), QRectF(260, 1300, 640, 40),
                               QRectF(940, 980, 480, 30)})
        p.drawRect(wall);
    // Stair and balcony hatching, drawn upright on a sheet of their own and
    // laid on the turned plan (a clip would stay upright under the turn).
    auto hatch = [&](const QRectF& area, double step, bool rising) {
        QImage sheet(area.size().toSize(), QImage::Format_ARGB32_Premultiplied);
        sheet.fill(Qt::transparent);
        QPainter h(&sheet);
        h.setRenderHint(QPainter::Antialiasing);
        h.setPen(QPen(ink, 3));
        for (double x = -area.height(); x < area.width(); x += step)
            h.drawLine(QPointF(x, rising ? area.height() : 0), QPointF(x + area.height(), rising ? 0 : area.height()));
        h.end();
        p.drawImage(area.topLeft(), sheet);
    };
    hatch(QRectF(960, 1040, 440, 320), 22, false);
    hatch(QRectF(260, 1940, 1160, 200), 18, true);
    // Names as outlines, so they turn with the sheet (Qt draws glyphs
    // upright under a small turn).
    QFont font;
    font.setPixelSize(46);
    QPainterPath names;
    names.addText(QPointF(420, 600), font, QStringLiteral("LDK 16帖"));
    names.addText(QPointF(1050, 700), font, QStringLiteral("洋室 6帖"));
    p.fillPath(names, Qt::white);
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

    // Heavy ink (solid walls, floors, fills, hatching) must not pull the
    // measurement: such plans come out level, and straight ones stay.
    void heavyPlansComeOutLevel()
    {
        QString misses;
        for (const double truth : {0.0, 0.3, -0.8, 1.3, -2.6, 4.2, -7.5}) {
            const std::optional<double> found = measureSkew(heavyPlan(truth));
            if (!found || std::abs(*found - truth) > 0.1)
                misses += QString(" %1 -> %2").arg(truth).arg(found ? QString::number(*found, 'f', 3) : "none");
        }
        QVERIFY2(misses.isEmpty(), qPrintable("off by more than 0.1 degree:" + misses));
        QVERIFY(!straighteningTurn(heavyPlan(0)));
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

    void aTallPictureTurnsAlikeEverywhere()
    {
        // Dots down a tall sheet, some across the rows where the turn's
        // work joins: each lands where the angle says, as dark as the rest.
        QImage img(301, 1101, QImage::Format_RGB32);
        img.fill(qRgb(200, 180, 160));
        const int rows[] = {100, 255, 300, 512, 768, 1000};
        for (const int y : rows)
            QPainter(&img).fillRect(148, y - 2, 5, 5, Qt::black);
        const double degrees = 3.0, a = degrees * M_PI / 180;
        const QImage out = turnKeepingSize(img, degrees, qRgb(255, 255, 255));
        const double cx = 150, cy = 550;
        double firstWeight = 0;
        for (const int y : rows) {
            // Where the dot's centre goes, counter-clockwise on screen.
            const double ex = cx + (y - cy) * std::sin(a), ey = cy + (y - cy) * std::cos(a);
            double sx = 0, sy = 0, sw = 0;
            for (int yy = int(ey) - 6; yy <= int(ey) + 6; ++yy)
                for (int xx = int(ex) - 6; xx <= int(ex) + 6; ++xx) {
                    const double d = std::max(0, 180 - qGreen(out.pixel(xx, yy)));
                    sx += d * xx;
                    sy += d * yy;
                    sw += d;
                }
            QVERIFY2(sw > 0, qPrintable(QString::number(y)));
            QVERIFY2(std::abs(sx / sw - ex) < 0.3 && std::abs(sy / sw - ey) < 0.3, qPrintable(QString::number(y)));
            if (firstWeight == 0)
                firstWeight = sw;
            QVERIFY2(std::abs(sw - firstWeight) < 0.02 * firstWeight, qPrintable(QString::number(y)));
        }
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
