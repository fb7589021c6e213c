// The underlay passes give, pixel for pixel, the green curve followed by the
// marking rule (making) or the removal rule, inside the area only, on
// pictures of pure greys, near greys and colours.
#include "floorplan/underlay_pass.h"
#include "floorplan/underlay_rules.h"
#include "imaging/effects/tonerows.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"

namespace {

// Noise with every third pixel a pure grey and some near greys, white included.
QImage mixed(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    testsupport::fillNoise(img, 9);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int v = qRed(row[x]);
            if ((x + y) % 3 == 0)
                row[x] = qRgb(v, v, v);
            else if ((x + y) % 7 == 1)
                row[x] = qRgb(v, v, std::min(255, v + 1));
            else if ((x * y) % 11 == 0)
                row[x] = qRgb(255, 255, 255);
        }
    }
    return img;
}

} // namespace

class TestUnderlayPass : public QObject {
    Q_OBJECT

private slots:
    void passesFollowTheRules_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::newRow("whole picture") << QRect(0, 0, 133, 71);
        QTest::newRow("inner area") << QRect(17, 9, 60, 40);
        QTest::newRow("area beyond the edges") << QRect(-5, 50, 500, 100);
        QTest::newRow("no area") << QRect();
    }

    void passesFollowTheRules()
    {
        QFETCH(QRect, area);
        const QImage src = mixed(133, 71);
        const int32_t in[5] = {0, 64, 128, 192, 255}, out[5] = {80, 100, 160, 192, 255};
        uchar curve[256];
        gf5::fx::curveMap(in, out, 5, curve);

        QImage made = src.copy(), removed = src.copy();
        int lastRow = -1;
        QVERIFY(floorplan::makeUnderlay(made, curve, area, [&](int row) { lastRow = row; }));
        QCOMPARE(lastRow, src.height() - 1);
        QVERIFY(floorplan::removeUnderlay(removed, area));

        QImage expectMade = src.copy(), expectRemoved = src.copy();
        const QRect inside = area.intersected(src.rect());
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) {
                const QRgb p = src.pixel(x, y);
                const QRgb toned = qRgb(qRed(p), curve[qGreen(p)], qBlue(p));
                const bool in = inside.contains(x, y);
                expectMade.setPixel(x, y, in ? floorplan::markUnderlayPixel(toned) : toned);
                expectRemoved.setPixel(x, y, in ? floorplan::removeUnderlayPixel(p) : p);
            }
        COMPARE_IMAGES(made, expectMade, "made");
        COMPARE_IMAGES(removed, expectRemoved, "removed");

        // From the picture into another image: the same result, every pixel
        // of the target written, the source left as it was.
        QImage madeInto(src.size(), QImage::Format_RGB32), removedInto(src.size(), QImage::Format_RGB32);
        madeInto.fill(qRgb(1, 2, 3));
        removedInto.fill(qRgb(1, 2, 3));
        const QImage untouched = src.copy();
        QVERIFY(floorplan::makeUnderlay(src, madeInto, curve, area));
        QVERIFY(floorplan::removeUnderlay(src, removedInto, area));
        COMPARE_IMAGES(madeInto, expectMade, "made-into");
        COMPARE_IMAGES(removedInto, expectRemoved, "removed-into");
        COMPARE_IMAGES(src, untouched, "source");
    }

    void otherFormatsAreLeftAlone()
    {
        QImage grey(20, 10, QImage::Format_Grayscale8);
        grey.fill(100);
        uchar curve[256] = {};
        QVERIFY(!floorplan::makeUnderlay(grey, curve, grey.rect()));
        QVERIFY(!floorplan::removeUnderlay(grey, grey.rect()));
        QCOMPARE(grey.pixel(3, 3), qRgb(100, 100, 100));
        QImage colour(20, 10, QImage::Format_RGB32), smaller(20, 9, QImage::Format_RGB32);
        colour.fill(Qt::white);
        QVERIFY(!floorplan::makeUnderlay(colour, smaller, curve, colour.rect()));
        QVERIFY(!floorplan::removeUnderlay(grey, colour, colour.rect()));
    }
};

ZORVAT_TEST_MAIN(TestUnderlayPass)
#include "test_underlay_pass.moc"
