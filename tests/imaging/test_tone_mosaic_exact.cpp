// Tone tables, grey scale and mosaic give exactly the pixels of the plain
// per-pixel formulas (kept here as the reference) on noisy pictures, over the
// whole image and inside a slanted region.
#include "imaging/effects/gf5effect.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QRandomGenerator>
#include <algorithm>
#include <functional>
#include <vector>

using namespace gf5;

namespace {

QImage noisy(int w, int h, quint32 seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    testsupport::fillNoise(img, seed);
    return img;
}

int clampByte(int v) { return std::clamp(v, 0, 255); }

// Each channel mapped on its own.
QImage mapChannels(const QImage& src, const std::function<QRgb(QRgb)>& f)
{
    QImage out = src.copy();
    for (int y = 0; y < out.height(); ++y) {
        QRgb* p = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            p[x] = 0xFF000000u | (f(p[x]) & 0xFFFFFF);
    }
    return out;
}

// Mosaic as block sums: blocks counted from the top-left corner.
QImage referenceMosaic(const QImage& src, int bw, int bh)
{
    QImage out = src.copy();
    for (int by = 0; by < src.height(); by += bh)
        for (int bx = 0; bx < src.width(); bx += bw) {
            const int x1 = std::min(src.width(), bx + bw), y1 = std::min(src.height(), by + bh);
            quint64 s[3] = {};
            for (int y = by; y < y1; ++y)
                for (int x = bx; x < x1; ++x) {
                    const QRgb p = src.pixel(x, y);
                    s[0] += qRed(p);
                    s[1] += qGreen(p);
                    s[2] += qBlue(p);
                }
            const quint64 n = quint64(x1 - bx) * quint64(y1 - by);
            const QRgb c = qRgb(int((s[0] + n / 2) / n), int((s[1] + n / 2) / n), int((s[2] + n / 2) / n));
            for (int y = by; y < y1; ++y)
                for (int x = bx; x < x1; ++x)
                    out.setPixel(x, y, c);
        }
    return out;
}

QImage resultOf(int32_t handle)
{
    const QImage* img = ImageStore::image(handle);
    return img ? *img : QImage();
}

const int32_t kNone[4] = {};

} // namespace

class TestToneMosaicExact : public QObject {
    Q_OBJECT

private slots:
    void init() { ImageStore::clear(); }

    void brightnessAndCurvesMatchTheFormula()
    {
        const QImage src = noisy(301, 173, 7);
        const int32_t h = ImageStore::add(src);
        for (int delta : {-300, -37, 0, 8, 120}) {
            Gf5Effect fx;
            fx.SourceImage = h;
            QVERIFY(fx.Brightness(kNone, kNone, 0, delta, 0, 0));
            const int d = std::clamp(delta, -255, 255);
            const QImage expected = mapChannels(src, [d](QRgb p) {
                return qRgb(clampByte(qRed(p) + d), clampByte(qGreen(p) + d), clampByte(qBlue(p) + d));
            });
            COMPARE_IMAGES(resultOf(fx.ResultImage), expected, QString("brightness %1").arg(delta));
            ImageStore::release(fx.ResultImage);
        }
        // A curve through (0,0) (255,255) with a kink, on each single channel:
        // the other channels keep their values.
        const int32_t in[3] = {0, 100, 255}, out[3] = {0, 200, 255};
        auto curve = [](int v) { return v <= 100 ? clampByte(int(v * 2.0 + 0.5)) : clampByte(int(200 + (v - 100) * 55.0 / 155.0 + 0.5)); };
        for (int ch = 0; ch < 3; ++ch) {
            Gf5Effect fx;
            fx.SourceImage = h;
            QVERIFY(fx.ToneCurve(kNone, kNone, 0, in, out, 3, ch == 0, ch == 1, ch == 2));
            const QImage expected = mapChannels(src, [&](QRgb p) {
                return qRgb(ch == 0 ? curve(qRed(p)) : qRed(p), ch == 1 ? curve(qGreen(p)) : qGreen(p),
                            ch == 2 ? curve(qBlue(p)) : qBlue(p));
            });
            COMPARE_IMAGES(resultOf(fx.ResultImage), expected, QString("curve on channel %1").arg(ch));
            ImageStore::release(fx.ResultImage);
        }
        QCOMPARE(ImageStore::liveCount(), 1);
    }

    void greyScaleMatchesTheWeightedSum()
    {
        const QImage src = noisy(257, 131, 11);
        const int32_t h = ImageStore::add(src);
        Gf5Effect fx;
        fx.SourceImage = h;
        QVERIFY(fx.Saturation(kNone, kNone, 0, -100));
        const QImage expected = mapChannels(src, [](QRgb p) {
            const int g = (29 * qBlue(p) + 150 * qGreen(p) + 77 * qRed(p) + 128) >> 8;
            return qRgb(g, g, g);
        });
        COMPARE_IMAGES(resultOf(fx.ResultImage), expected, "grey");
        // Inside a triangle only: outside pixels stay, inside ones are grey.
        Gf5Effect part;
        part.SourceImage = h;
        part.AreaMode = 2;
        const int32_t xs[3] = {10, 240, 30}, ys[3] = {5, 60, 125};
        QVERIFY(part.Saturation(xs, ys, 3, -100));
        const QImage got = resultOf(part.ResultImage);
        int inside = 0;
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x) {
                const QRgb p = got.pixel(x, y);
                if (p == src.pixel(x, y))
                    continue;
                QCOMPARE(p, expected.pixel(x, y));
                ++inside;
            }
        QVERIFY(inside > 5000);
    }

    void mosaicMatchesBlockAverages_data()
    {
        QTest::addColumn<int>("bw");
        QTest::addColumn<int>("bh");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("light");
        const QSize small(203, 151);
        QTest::newRow("10 x 10") << 10 << 10 << small << false;
        QTest::newRow("7 x 3, blocks cut at the edges") << 7 << 3 << small << false;
        QTest::newRow("one pixel") << 1 << 1 << small << false;
        QTest::newRow("larger than the image") << 500 << 400 << small << false;
        // Light pixels summed over many rows exceed 16 bits per column.
        QTest::newRow("light, 300 rows high") << 5 << 300 << QSize(41, 611) << true;
        QTest::newRow("light, 257 rows high") << 6 << 257 << QSize(37, 600) << true;
    }

    void mosaicMatchesBlockAverages()
    {
        QFETCH(int, bw);
        QFETCH(int, bh);
        QFETCH(QSize, size);
        QFETCH(bool, light);
        QImage src = noisy(size.width(), size.height(), 13);
        if (light)
            for (int y = 0; y < src.height(); ++y) {
                QRgb* p = reinterpret_cast<QRgb*>(src.scanLine(y));
                for (int x = 0; x < src.width(); ++x)
                    p[x] |= 0xE0E0E0u;
            }
        const int32_t h = ImageStore::add(src);
        Gf5Effect fx;
        fx.SourceImage = h;
        QVERIFY(fx.Mosaic(kNone, kNone, 0, bw, bh));
        COMPARE_IMAGES(resultOf(fx.ResultImage), referenceMosaic(src, bw, bh), "mosaic");
        // A selection: blocks count from its corner and average what lies
        // inside its bounds.
        Gf5Effect sel;
        sel.SourceImage = h;
        sel.AreaMode = 2;
        const int32_t right = size.width() - 13, bottom = size.height() - 11;
        const int32_t xs[4] = {13, right, right, 13}, ys[4] = {9, 9, bottom, bottom};
        QVERIFY(sel.Mosaic(xs, ys, 4, bw, bh));
        QImage expected = src.copy();
        const QImage inner = referenceMosaic(src.copy(13, 9, right - 13, bottom - 9), bw, bh);
        for (int y = 0; y < inner.height(); ++y)
            for (int x = 0; x < inner.width(); ++x)
                expected.setPixel(13 + x, 9 + y, inner.pixel(x, y));
        COMPARE_IMAGES(resultOf(sel.ResultImage), expected, "mosaic in a selection");
    }
};

ZORVAT_TEST_MAIN(TestToneMosaicExact)
#include "test_tone_mosaic_exact.moc"
