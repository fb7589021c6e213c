// The fill to black with bands that close door gaps while it runs.
#include "canvas/barrier_fill.h"
#include "canvas/floodfill.h"
#include "testsupport/testmain.h"
#include <QPainter>

namespace {
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

// Two rooms side by side, 4-pixel black walls, with a 20-pixel door gap in
// the wall between them (x 96..99, y 40..59) and a grey mark in the gap.
QImage twoRooms()
{
    QImage img(200, 100, QImage::Format_RGB32);
    img.fill(kWhite);
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(0, 0, 200, 4);
    p.drawRect(0, 96, 200, 4);
    p.drawRect(0, 0, 4, 100);
    p.drawRect(196, 0, 4, 100);
    p.drawRect(96, 0, 4, 40);
    p.drawRect(96, 60, 4, 40);
    p.end();
    img.setPixel(97, 50, qRgb(128, 128, 128));
    return img;
}

// A band along the wall's centre line across the gap.
QPolygonF doorBand() { return QPolygonF({{96, 36}, {100, 36}, {100, 64}, {96, 64}}); }
} // namespace

class BarrierFillTest : public QObject {
    Q_OBJECT

private slots:
    void bandsKeepTheFillInTheRoom()
    {
        QImage open = twoRooms();
        canvas::floodFillToBlack(open, {50, 50}, kRed);
        QCOMPARE(open.pixel(150, 50), kRed); // the gap lets it through

        QImage img = twoRooms();
        const QRect r = canvas::floodFillToBlackWithin(img, {50, 50}, kRed, {doorBand()});
        QCOMPARE(r, QRect(4, 4, 92, 92));
        QCOMPARE(img.pixel(50, 50), kRed);
        QCOMPARE(img.pixel(95, 50), kRed);
        QCOMPARE(img.pixel(150, 50), kWhite);
        // The band's pixels are back as they were: white, and the grey mark.
        QCOMPARE(img.pixel(96, 45), kWhite);
        QCOMPARE(img.pixel(99, 59), kWhite);
        QCOMPARE(img.pixel(97, 50), qRgb(128, 128, 128));
        QCOMPARE(img.pixel(97, 20), qRgb(0, 0, 0));
    }

    void aClickInTheDoorwayStillFills()
    {
        QImage img = twoRooms();
        const QRect r = canvas::floodFillToBlackWithin(img, {98, 45}, kRed, {doorBand()});
        QVERIFY(!r.isEmpty());
        QCOMPARE(img.pixel(98, 45), kRed);
    }

    void bandsOutsideTheImageAreHarmless()
    {
        QImage img = twoRooms();
        const QPolygonF outside({{-50, -50}, {-10, -50}, {-10, -10}, {-50, -10}});
        const QPolygonF edge({{190, -20}, {230, -20}, {230, 120}, {190, 120}});
        canvas::floodFillToBlackWithin(img, {50, 50}, kRed, {outside, edge});
        QCOMPARE(img.pixel(150, 50), kRed);
        QCOMPARE(img.pixel(196, 50), qRgb(0, 0, 0));
    }
};

ZORVAT_TEST_MAIN(BarrierFillTest)
#include "test_barrier_fill.moc"
