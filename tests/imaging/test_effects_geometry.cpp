// Whole-image operations: rotation and mirroring, resizing, cut-out, overlay,
// new images, bit depths, copies and the clipboard.
#include "imaging/effects/gf5effect.h"
#include "imaging/store/gf5common.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>

using namespace gf5;

namespace {

QRgb at(const QImage& img, int x, int y) { return reinterpret_cast<const QRgb*>(img.constScanLine(y))[x] & 0xFFFFFF; }
QRgb rgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFF; }

QImage resultOf(const Gf5Effect& fx)
{
    const QImage* img = ImageStore::image(fx.ResultImage);
    return img ? *img : QImage();
}

// Every pixel a different colour, so any misplaced pixel shows.
QImage numbered(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, (x + y * w) % 256));
    return img;
}

QImage solid(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

} // namespace

class TestEffectsGeometry : public QObject {
    Q_OBJECT

private slots:
    void init() { ImageStore::clear(); }

    void quarterTurnsAndMirrorsMoveEveryPixelExactly_data()
    {
        QTest::addColumn<int>("angle");
        QTest::addColumn<int>("flipH");
        QTest::addColumn<int>("flipV");
        QTest::newRow("90 ccw") << 9000 << 0 << 0;
        QTest::newRow("180") << 18000 << 0 << 0;
        QTest::newRow("90 cw") << -9000 << 0 << 0;
        QTest::newRow("270 ccw") << 27000 << 0 << 0;
        QTest::newRow("450 ccw") << 45000 << 0 << 0;
        QTest::newRow("mirror left-right") << 0 << 1 << 0;
        QTest::newRow("mirror top-bottom") << 0 << 0 << 1;
        QTest::newRow("none") << 0 << 0 << 0;
    }

    void quarterTurnsAndMirrorsMoveEveryPixelExactly()
    {
        QFETCH(int, angle);
        QFETCH(int, flipH);
        QFETCH(int, flipV);
        const int w = 5, h = 3;
        QImage src = numbered(w, h);
        src.setDotsPerMeterX(3000);
        src.setDotsPerMeterY(4000);
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(src);
        QVERIFY(fx.Rotate(angle, flipH, flipV, -1, 255, 255, 255, 0));
        const QImage res = resultOf(fx);
        const int quarters = ((angle / 9000) % 4 + 4) % 4;
        QCOMPARE(res.size(), quarters % 2 ? QSize(h, w) : QSize(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sx = flipH ? w - 1 - x : x, sy = flipV ? h - 1 - y : y;
                // Where source pixel (sx, sy) lands after counter-clockwise quarter turns.
                QPoint to;
                switch (quarters) {
                case 0: to = QPoint(sx, sy); break;
                case 1: to = QPoint(sy, w - 1 - sx); break;
                case 2: to = QPoint(w - 1 - sx, h - 1 - sy); break;
                default: to = QPoint(h - 1 - sy, sx); break;
                }
                QCOMPARE(at(res, to.x(), to.y()), at(src, x, y));
            }
        QCOMPARE(res.dotsPerMeterX(), quarters % 2 ? 4000 : 3000);
        QCOMPARE(ImageStore::get(fx.ResultImage)->bitDepth, 24);
    }

    void otherAnglesGrowTheCanvasAndTurnCounterClockwise()
    {
        // White image with a black dot 40 pixels right of the centre.
        QImage src = solid(201, 101, qRgb(255, 255, 255));
        QPainter(&src).fillRect(138, 48, 5, 5, Qt::black);
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(src);
        QVERIFY(fx.Rotate(3000, 0, 0, -1, 255, 0, 0, 0));
        const QImage res = resultOf(fx);
        const double a = 30 * M_PI / 180;
        QCOMPARE(res.width(), int(std::ceil(201 * std::cos(a) + 101 * std::sin(a) - 1e-6)));
        QCOMPARE(res.height(), int(std::ceil(201 * std::sin(a) + 101 * std::cos(a) - 1e-6)));
        // Uncovered corners take the fill colour; the centre stays white.
        QCOMPARE(at(res, 0, 0), rgb(255, 0, 0));
        QCOMPARE(at(res, res.width() - 1, res.height() - 1), rgb(255, 0, 0));
        const double cx = (res.width() - 1) / 2.0, cy = (res.height() - 1) / 2.0;
        QCOMPARE(at(res, int(cx), int(cy)), rgb(255, 255, 255));
        // Counter-clockwise on screen: the dot moves up and a little left.
        const int dx = int(std::lround(cx + 40 * std::cos(a))), dy = int(std::lround(cy - 40 * std::sin(a)));
        QVERIFY2(qRed(at(res, dx, dy)) < 60, qPrintable(QString::number(at(res, dx, dy), 16)));
        QCOMPARE(at(res, int(std::lround(cx + 40 * std::cos(a))), int(std::lround(cy + 40 * std::sin(a)))),
                 rgb(255, 255, 255));
        // Every source corner is still inside the canvas: no black lost at the edges.
        QImage corners = solid(60, 40, qRgb(0, 0, 0));
        fx.SourceImage = ImageStore::add(corners);
        QVERIFY(fx.Rotate(-4000, 0, 0, -1, 255, 255, 255, 0));
        const QImage turned = resultOf(fx);
        QVERIFY(testsupport::countColour(turned, qRgb(0, 0, 0)) > 60 * 40 * 8 / 10);
    }

    void resizeScalesAndRefusesBadSizes()
    {
        // Alternate black and white columns average to mid grey when halved.
        QImage stripes(1000, 600, QImage::Format_RGB32);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 1000; ++x)
                stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        stripes.setDotsPerMeterX(11811);
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(stripes);
        QVERIFY(fx.Resize(500, 300, -1));
        QImage res = resultOf(fx);
        QCOMPARE(res.size(), QSize(500, 300));
        QVERIFY(std::abs(qRed(at(res, 250, 150)) - 128) <= 1);
        QCOMPARE(res.dotsPerMeterX(), 11811);
        QVERIFY(fx.Resize(2000, 1200, -1));
        QCOMPARE(resultOf(fx).size(), QSize(2000, 1200));
        QVERIFY(fx.Resize(300, 1000, -1)); // narrower and taller at once
        QCOMPARE(resultOf(fx).size(), QSize(300, 1000));
        const int live = ImageStore::liveCount();
        const int32_t before = fx.ResultImage;
        QCOMPARE(fx.Resize(0, 300, -1), 0);
        QCOMPARE(fx.Resize(500, -1, -1), 0);
        QCOMPARE(fx.Resize(2000000000, 2000000000, -1), 0);
        QCOMPARE(ImageStore::liveCount(), live);
        QCOMPARE(fx.ResultImage, before);
    }

    void cutOutTakesTheSelectionExactly()
    {
        const QImage src = numbered(40, 30);
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(src);
        fx.AuxImage = 99;
        fx.AreaMode = 2;
        int32_t xs[6] = {5, 17, 17, 5}, ys[6] = {4, 4, 20, 20};
        QVERIFY(fx.CutOutRegion(xs, ys, 4, 255, 255, 255));
        QCOMPARE(fx.AuxImage, 0);
        COMPARE_IMAGES(resultOf(fx), src.copy(5, 4, 12, 16), "cutout-rect");

        // A triangle: its bounding rectangle, outside the triangle in the colour.
        int32_t tx[6] = {0, 10, 0}, ty[6] = {0, 0, 10};
        QVERIFY(fx.CutOutRegion(tx, ty, 3, 0, 0, 255));
        QImage res = resultOf(fx);
        QCOMPARE(res.size(), QSize(10, 10));
        QCOMPARE(at(res, 0, 0), at(src, 0, 0));
        QCOMPARE(at(res, 4, 4), at(src, 4, 4));
        QCOMPARE(at(res, 9, 9), rgb(0, 0, 255));
        QCOMPARE(at(res, 5, 5), rgb(0, 0, 255));

        // Partly outside: clipped. Wholly outside: refused.
        int32_t cx[6] = {30, 60, 60, 30}, cy[6] = {-5, -5, 10, 10};
        QVERIFY(fx.CutOutRegion(cx, cy, 4, 255, 255, 255));
        COMPARE_IMAGES(resultOf(fx), src.copy(30, 0, 10, 10), "cutout-clipped");
        int32_t ox[6] = {50, 60, 60, 50}, oy[6] = {0, 0, 10, 10};
        const int32_t before = fx.ResultImage;
        QCOMPARE(fx.CutOutRegion(ox, oy, 4, 255, 255, 255), 0);
        QCOMPARE(fx.ResultImage, before);

        // Whole image with no corners, or with AreaMode 1.
        QVERIFY(fx.CutOutRegion(xs, ys, 0, 255, 255, 255));
        COMPARE_IMAGES(resultOf(fx), src, "cutout-whole");
        fx.AreaMode = 1;
        QVERIFY(fx.CutOutRegion(xs, ys, 4, 255, 255, 255));
        COMPARE_IMAGES(resultOf(fx), src, "cutout-areamode1");
    }

    void overlayLeavesKeyColourOut()
    {
        const QImage base = numbered(30, 20);
        QImage over = solid(10, 6, qRgb(255, 255, 255));
        over.setPixel(1, 1, qRgb(0, 0, 0));
        over.setPixel(2, 1, qRgb(254, 255, 255));
        over.setPixel(9, 5, qRgb(10, 20, 30));
        over.setPixel(0, 0, qRgb(40, 50, 60));
        const int32_t hb = ImageStore::add(base), ho = ImageStore::add(over);
        Gf5Effect fx;
        QVERIFY(fx.OverlayWithKey(hb, ho, 255, 255, 255, 255, 255, 255, 255, 12, 8, 0));
        QImage res = resultOf(fx);
        QCOMPARE(res.size(), base.size());
        QCOMPARE(at(res, 13, 9), rgb(0, 0, 0));
        QCOMPARE(at(res, 14, 9), rgb(254, 255, 255));
        QCOMPARE(at(res, 21, 13), rgb(10, 20, 30));
        QCOMPARE(at(res, 15, 10), at(base, 15, 10)); // white left out
        QCOMPARE(at(res, 11, 8), at(base, 11, 8));
        QCOMPARE(at(res, 22, 13), at(base, 22, 13));
        COMPARE_IMAGES(*ImageStore::image(hb), base, "overlay-base-untouched");

        // Placement beyond the edges is clipped.
        QVERIFY(fx.OverlayWithKey(hb, ho, 255, 255, 255, 255, 255, 255, 255, -9, -5, 0));
        res = resultOf(fx);
        QCOMPARE(at(res, 0, 0), rgb(10, 20, 30));
        QCOMPARE(at(res, 1, 1), at(base, 1, 1));
        QVERIFY(fx.OverlayWithKey(hb, ho, 255, 255, 255, 255, 255, 255, 255, 29, 19, 0));
        QCOMPARE(at(resultOf(fx), 29, 19), rgb(40, 50, 60));
        QVERIFY(fx.OverlayWithKey(hb, ho, 255, 255, 255, 255, 255, 255, 255, 2000000000, 2000000000, 0));
        COMPARE_IMAGES(resultOf(fx), base, "overlay-far-away");
        // A key range: everything from (250, 250, 250) up is left out.
        QVERIFY(fx.OverlayWithKey(hb, ho, 250, 250, 250, 255, 255, 255, 255, 12, 8, 0));
        QCOMPARE(at(resultOf(fx), 14, 9), at(base, 14, 9));
        QCOMPARE(fx.OverlayWithKey(hb, 4321, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0), 0);
    }

    void createImageFillsOrRefuses()
    {
        Gf5Effect fx;
        QVERIFY(fx.CreateImage(700, 500, 24, 255, 255, 255));
        Gf5Common common;
        common.ImageHandle = fx.ResultImage;
        QCOMPARE(common.ImageWidth(), 700);
        QCOMPARE(common.ImageHeight(), 500);
        QCOMPARE(common.BitDepth(), int16_t(24));
        QCOMPARE(resultOf(fx).format(), QImage::Format_RGB32);
        QCOMPARE(testsupport::countColour(resultOf(fx), qRgb(255, 255, 255)), 700 * 500);
        QVERIFY(fx.CreateImage(3, 2, 24, 10, 20, 30));
        QCOMPARE(at(resultOf(fx), 2, 1), rgb(10, 20, 30));
        const int live = ImageStore::liveCount();
        QCOMPARE(fx.CreateImage(0, 10, 24, 255, 255, 255), 0);
        QCOMPARE(fx.CreateImage(10, -3, 24, 255, 255, 255), 0);
        QCOMPARE(fx.CreateImage(2000000000, 2000000000, 24, 255, 255, 255), 0);
        QCOMPARE(fx.CreateImage(100000, 100000, 24, 255, 255, 255), 0); // 40 GB
        QCOMPARE(fx.CreateImage(10, 10, 13, 255, 255, 255), 0);
        QCOMPARE(ImageStore::liveCount(), live);
    }

    void convertBitDepthAndDuplicate()
    {
        QImage indexed(4, 4, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(0, 0, 0), qRgb(200, 100, 50)});
        indexed.fill(1);
        indexed.setPixel(0, 0, 0);
        indexed.setDotsPerMeterX(11811);
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(indexed, 8);

        QVERIFY(fx.Duplicate());
        QCOMPARE(ImageStore::get(fx.ResultImage)->bitDepth, 8);
        QCOMPARE(resultOf(fx).format(), QImage::Format_Indexed8);
        QImage* copy = ImageStore::image(fx.ResultImage);
        copy->setPixel(1, 1, 0); // the copy is independent
        QCOMPARE(ImageStore::image(fx.SourceImage)->pixelIndex(1, 1), 1);

        QVERIFY(fx.ConvertBitDepth(24, 0, 0, 0));
        const StoredImage* full = ImageStore::get(fx.ResultImage);
        QCOMPARE(full->bitDepth, 24);
        QCOMPARE(full->image.format(), QImage::Format_RGB32);
        QCOMPARE(at(full->image, 0, 0), rgb(0, 0, 0));
        QCOMPARE(at(full->image, 3, 3), rgb(200, 100, 50));
        QCOMPARE(full->image.dotsPerMeterX(), 11811);

        // Full colour to 8 and 1 bits.
        QImage two = solid(4, 2, qRgb(255, 255, 255));
        two.setPixel(0, 0, qRgb(0, 0, 0));
        fx.SourceImage = ImageStore::add(two);
        QVERIFY(fx.ConvertBitDepth(8, 0, 0, 0));
        QCOMPARE(ImageStore::get(fx.ResultImage)->bitDepth, 8);
        QCOMPARE(resultOf(fx).depth(), 8);
        COMPARE_IMAGES(resultOf(fx), two, "to-8-bit");
        QVERIFY(fx.ConvertBitDepth(1, 0, 0, 0));
        QCOMPARE(resultOf(fx).format(), QImage::Format_Mono);
        COMPARE_IMAGES(resultOf(fx), two, "to-1-bit");
        QCOMPARE(fx.ConvertBitDepth(12, 0, 0, 0), 0);

        // Transparent pixels become paper white.
        QImage alpha(2, 1, QImage::Format_ARGB32);
        alpha.setPixel(0, 0, qRgba(0, 0, 0, 0));
        alpha.setPixel(1, 0, qRgba(10, 20, 30, 255));
        fx.SourceImage = ImageStore::add(alpha, 32);
        QVERIFY(fx.ConvertBitDepth(24, 0, 0, 0));
        QCOMPARE(at(resultOf(fx), 0, 0), rgb(255, 255, 255));
        QCOMPARE(at(resultOf(fx), 1, 0), rgb(10, 20, 30));
    }

    void clipboardRoundTripAndEmptyClipboard()
    {
        QClipboard* clip = QGuiApplication::clipboard();
        clip->clear();
        Gf5Effect fx;
        fx.ResultImage = 0;
        QCOMPARE(fx.GetClipboardImage(), 0);
        QCOMPARE(fx.ResultImage, 0);

        const QImage src = numbered(23, 17);
        fx.SourceImage = ImageStore::add(src);
        QVERIFY(fx.CopySourceToClipboard());
        QVERIFY(fx.GetClipboardImage());
        QCOMPARE(ImageStore::get(fx.ResultImage)->bitDepth, 24);
        QCOMPARE(resultOf(fx).format(), QImage::Format_RGB32);
        COMPARE_IMAGES(resultOf(fx), src, "clipboard-round-trip");

        QImage alpha(3, 1, QImage::Format_ARGB32);
        alpha.fill(qRgba(0, 0, 0, 0));
        alpha.setPixel(2, 0, qRgba(0, 0, 255, 255));
        clip->setImage(alpha);
        QVERIFY(fx.GetClipboardImage());
        QCOMPARE(at(resultOf(fx), 0, 0), rgb(255, 255, 255));
        QCOMPARE(at(resultOf(fx), 2, 0), rgb(0, 0, 255));
    }
};

ZORVAT_TEST_MAIN(TestEffectsGeometry)
#include "test_effects_geometry.moc"
