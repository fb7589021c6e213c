// The in-memory flood fills of the click fill.
#include "canvas/floodfill.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QPainter>

using testsupport::countColour;
using testsupport::whiteImage;

namespace {
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

// A 1-pixel outline of (l, t)-(r, b) inclusive in the colour.
void outline(QImage& img, int l, int t, int r, int b, QRgb c)
{
    for (int x = l; x <= r; ++x) {
        img.setPixel(x, t, c);
        img.setPixel(x, b, c);
    }
    for (int y = t; y <= b; ++y) {
        img.setPixel(l, y, c);
        img.setPixel(r, y, c);
    }
}
} // namespace

class TestFloodFill : public QObject {
    Q_OBJECT
private slots:
    void borderFillStaysInsideABlackOutline()
    {
        QImage img = whiteImage(100, 80);
        outline(img, 10, 10, 40, 30, kBlack);
        img.setPixel(20, 20, qRgb(200, 200, 200)); // grey inside is filled too
        const QRect r = canvas::floodFillToBlack(img, {20, 15}, kRed);
        QCOMPARE(countColour(img, kRed), 29 * 19);
        QCOMPARE(countColour(img, kRed, QRect(11, 11, 29, 19)), 29 * 19);
        QCOMPARE(r, QRect(11, 11, 29, 19));
        QCOMPARE(countColour(img, kBlack), 2 * 31 + 2 * 19);
    }

    void aOnePixelGapLetsTheFillOut()
    {
        QImage img = whiteImage(100, 80);
        outline(img, 10, 10, 40, 30, kBlack);
        img.setPixel(40, 20, kWhite);
        canvas::floodFillToBlack(img, {20, 15}, kRed);
        QCOMPARE(img.pixel(90, 70), kRed);
        QCOMPARE(img.pixel(0, 0), kRed);
    }

    void aDiagonalGapDoesNotLetItOut()
    {
        QImage img = whiteImage(60, 60);
        // A closed staircase ring: neighbours only across corners.
        for (int i = 0; i < 20; ++i) {
            img.setPixel(10 + i, 10, kBlack);
            img.setPixel(10, 10 + i, kBlack);
            img.setPixel(30, 10 + i, kBlack);
        }
        for (int i = 0; i <= 20; ++i)
            img.setPixel(10 + i, 30 - (i % 2), kBlack); // zig-zag bottom
        canvas::floodFillToBlack(img, {20, 20}, kRed);
        QCOMPARE(img.pixel(50, 50), kWhite);
        QCOMPARE(img.pixel(20, 20), kRed);
    }

    void greyOutlineDoesNotStopTheBorderFill()
    {
        QImage img = whiteImage(100, 80);
        outline(img, 10, 10, 40, 30, qRgb(1, 1, 1));
        canvas::floodFillToBlack(img, {20, 15}, kRed);
        QCOMPARE(countColour(img, kRed), 100 * 80);
    }

    void borderFillOnBlackFillsNothing()
    {
        QImage img = whiteImage(50, 50);
        outline(img, 10, 10, 40, 30, kBlack);
        const QImage before = img.copy();
        QVERIFY(canvas::floodFillToBlack(img, {10, 10}, kRed).isEmpty());
        QVERIFY(canvas::floodFillToBlack(img, {-1, 5}, kRed).isEmpty());
        QVERIFY(canvas::floodFillToBlack(img, {50, 5}, kRed).isEmpty());
        COMPARE_IMAGES(img, before, "floodfill_black_seed");
    }

    void sameColourFillStopsAtNearWhite()
    {
        QImage img = whiteImage(100, 80);
        outline(img, 10, 10, 40, 30, qRgb(254, 255, 255));
        canvas::floodFillSameColour(img, {20, 15}, kRed);
        QCOMPARE(countColour(img, kRed), 29 * 19);
        QCOMPARE(img.pixel(5, 5), kWhite);
        // From outside, the fill takes everything white around the ring.
        canvas::floodFillSameColour(img, {0, 0}, qRgb(0, 0, 255));
        QCOMPARE(countColour(img, qRgb(0, 0, 255)), 100 * 80 - 29 * 19 - (2 * 31 + 2 * 19));
    }

    void sameColourFillOfBlackStaysOnTheLine()
    {
        QImage img = whiteImage(100, 80);
        outline(img, 10, 10, 40, 30, kBlack);
        outline(img, 60, 10, 90, 30, kBlack);
        canvas::floodFillSameColour(img, {10, 20}, kRed);
        QCOMPARE(countColour(img, kRed), 2 * 31 + 2 * 19);
        QCOMPARE(img.pixel(60, 20), kBlack); // the other outline is not connected
        // Filling with the colour already there changes nothing.
        const QImage before = img.copy();
        QVERIFY(canvas::floodFillSameColour(img, {0, 0}, kWhite).isEmpty());
        COMPARE_IMAGES(img, before, "floodfill_same_colour_noop");
    }
};

ZORVAT_TEST_MAIN(TestFloodFill)
#include "test_floodfill.moc"
