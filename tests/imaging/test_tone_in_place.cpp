// Tone operations on paper-like pictures (long white runs between noisy
// pixels, odd widths) give the per-pixel formula's bytes whichever pass they
// take, and in place give the same pixels as into a new image, changing
// nothing outside the region.
#include "imaging/effects/gf5effect.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

using namespace gf5;

namespace {

// White with noisy rows, noisy specks and a few columns of grey: most blocks
// are pure white, others mix white and colour.
QImage paper(int w, int h)
{
    QImage noise(w, h, QImage::Format_RGB32);
    testsupport::fillNoise(noise, 5);
    QImage img = testsupport::whiteImage(w, h);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        const auto* n = reinterpret_cast<const QRgb*>(noise.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (y % 7 == 3 || (x * 13 + y * 7) % 29 == 0)
                row[x] = n[x];
            else if (x % 50 == 17)
                row[x] = qRgb(128, 128, 128);
    }
    return img;
}

struct Curve {
    std::vector<int32_t> in, out;
    int r, g, b;
};

// The curve's value at v as documented: straight pieces, ends held, halves up.
int curveAt(const Curve& c, int v)
{
    std::vector<std::pair<int, int>> pts;
    for (size_t i = 0; i < c.in.size(); ++i)
        pts.emplace_back(c.in[i], c.out[i]);
    std::stable_sort(pts.begin(), pts.end(), [](auto p, auto q) { return p.first < q.first; });
    double y = pts.front().second;
    if (v >= pts.back().first)
        y = pts.back().second;
    else
        for (size_t i = 0; i + 1 < pts.size(); ++i)
            if (v > pts[i].first && v <= pts[i + 1].first)
                y = pts[i].second + double(v - pts[i].first) * (pts[i + 1].second - pts[i].second) /
                                        (pts[i + 1].first - pts[i].first);
    return std::clamp(int(std::lround(y)), 0, 255);
}

QImage mapped(const QImage& src, const std::function<int(int channel, int v)>& f)
{
    QImage out = src.copy();
    for (int y = 0; y < out.height(); ++y) {
        auto* p = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            p[x] = qRgb(f(0, qRed(p[x])), f(1, qGreen(p[x])), f(2, qBlue(p[x])));
    }
    return out;
}

using Op = std::function<int32_t(Gf5Effect&, const int32_t*, const int32_t*, int)>;

} // namespace

Q_DECLARE_METATYPE(Curve)
Q_DECLARE_METATYPE(Op)

class TestToneInPlace : public QObject {
    Q_OBJECT

private slots:
    void init() { ImageStore::clear(); }

    void passesMatchTheFormula_data()
    {
        QTest::addColumn<Curve>("curve");
        // A brightness of 0 stands for identity maps (all channels off).
        QTest::newRow("green only, white kept") << Curve{{0, 64, 128, 192, 255}, {80, 100, 160, 192, 255}, 0, 1, 0};
        QTest::newRow("red only, white darkened") << Curve{{0, 255}, {0, 200}, 1, 0, 0};
        QTest::newRow("blue only") << Curve{{0, 100, 255}, {0, 200, 255}, 0, 0, 1};
        QTest::newRow("all three, contrast") << Curve{{0, 64, 128, 192, 255}, {0, 64, 128, 215, 255}, 1, 1, 1};
        QTest::newRow("red and blue, white darkened") << Curve{{0, 255}, {40, 180}, 1, 0, 1};
        QTest::newRow("all three, a plain shift up") << Curve{{0, 247}, {8, 255}, 1, 1, 1};
        QTest::newRow("all three, a plain shift down") << Curve{{20, 255}, {0, 235}, 1, 1, 1};
        QTest::newRow("no channel") << Curve{{0, 255}, {255, 0}, 0, 0, 0};
    }

    void passesMatchTheFormula()
    {
        QFETCH(Curve, curve);
        const QImage src = paper(203, 61);
        const int32_t h = ImageStore::add(src);
        Gf5Effect fx;
        fx.SourceImage = h;
        QVERIFY(fx.ToneCurve(nullptr, nullptr, 0, curve.in.data(), curve.out.data(), int(curve.in.size()), curve.r,
                             curve.g, curve.b));
        const bool on[3] = {curve.r != 0, curve.g != 0, curve.b != 0};
        const QImage expected = mapped(src, [&](int ch, int v) { return on[ch] ? curveAt(curve, v) : v; });
        COMPARE_IMAGES(*ImageStore::image(fx.ResultImage), expected, "curve");
    }

    void brightnessMatchesTheFormula()
    {
        const QImage src = paper(131, 47);
        const int32_t h = ImageStore::add(src);
        for (int delta : {-400, -255, -9, 0, 8, 200, 255}) {
            Gf5Effect fx;
            fx.SourceImage = h;
            QVERIFY(fx.Brightness(nullptr, nullptr, 0, delta, 0, 0));
            const int d = std::clamp(delta, -255, 255);
            const QImage expected = mapped(src, [d](int, int v) { return std::clamp(v + d, 0, 255); });
            COMPARE_IMAGES(*ImageStore::image(fx.ResultImage), expected, QString("brightness %1").arg(delta));
            QVERIFY(ImageStore::release(fx.ResultImage));
        }
    }

    void inPlaceGivesTheNewImagesPixels_data()
    {
        QTest::addColumn<Op>("op");
        static const int32_t in[5] = {0, 64, 128, 192, 255}, out[5] = {80, 100, 160, 192, 255};
        QTest::newRow("brightness") << Op([](Gf5Effect& f, const int32_t* x, const int32_t* y, int n) {
            return f.Brightness(x, y, n, 8, 0, 0);
        });
        QTest::newRow("green curve") << Op([](Gf5Effect& f, const int32_t* x, const int32_t* y, int n) {
            return f.ToneCurve(x, y, n, in, out, 5, 0, 1, 0);
        });
        QTest::newRow("grey") << Op([](Gf5Effect& f, const int32_t* x, const int32_t* y, int n) {
            return f.Saturation(x, y, n, -100);
        });
        QTest::newRow("saturation") << Op([](Gf5Effect& f, const int32_t* x, const int32_t* y, int n) {
            return f.Saturation(x, y, n, 40);
        });
    }

    void inPlaceGivesTheNewImagesPixels()
    {
        QFETCH(Op, op);
        const QImage src = paper(157, 93);
        // Whole image, a rectangle, a slanted triangle.
        const std::vector<std::vector<int32_t>> xs{{}, {20, 140, 140, 20}, {5, 150, 40}};
        const std::vector<std::vector<int32_t>> ys{{}, {10, 10, 80, 80}, {3, 50, 90}};
        for (size_t i = 0; i < xs.size(); ++i) {
            const int n = int(xs[i].size());
            const int32_t ref = ImageStore::add(src.copy());
            Gf5Effect aside;
            aside.SourceImage = ref;
            aside.AreaMode = n ? 2 : 1;
            QVERIFY(op(aside, xs[i].data(), ys[i].data(), n));
            QVERIFY(aside.ResultImage != ref);

            const int32_t h = ImageStore::add(src.copy());
            Gf5Effect fx;
            fx.SourceImage = h;
            fx.AreaMode = n ? 2 : 1;
            fx.InPlace = true;
            fx.CancelRequested = true; // left from an earlier operation: no effect
            const int before = ImageStore::liveCount();
            QVERIFY(op(fx, xs[i].data(), ys[i].data(), n));
            QCOMPARE(fx.ResultImage, h);
            QCOMPARE(ImageStore::liveCount(), before);
            QCOMPARE(ImageStore::get(h)->bitDepth, 24);
            COMPARE_IMAGES(*ImageStore::image(h), *ImageStore::image(aside.ResultImage),
                           QString("region %1").arg(i));
            QVERIFY(*ImageStore::image(h) != src);
        }
    }

    void inPlaceLeavesOtherHoldersAndOtherFormatsAlone()
    {
        // A copy held elsewhere keeps its pixels: the stored image detaches.
        const QImage src = paper(64, 40);
        const int32_t h = ImageStore::add(src);
        Gf5Effect fx;
        fx.SourceImage = h;
        fx.InPlace = true;
        QVERIFY(fx.Brightness(nullptr, nullptr, 0, -50, 0, 0));
        QCOMPARE(fx.ResultImage, h);
        QCOMPARE(src.pixel(1, 0), qRgb(255, 255, 255));
        QCOMPARE(ImageStore::image(h)->pixel(1, 0), qRgb(205, 205, 205));

        // A grey-scale source cannot hold the 24-bit result: a new image.
        QImage grey(30, 20, QImage::Format_Grayscale8);
        grey.fill(200);
        const int32_t g = ImageStore::add(grey, 8);
        Gf5Effect other;
        other.SourceImage = g;
        other.InPlace = true;
        QVERIFY(other.Brightness(nullptr, nullptr, 0, 10, 0, 0));
        QVERIFY(other.ResultImage != g);
        QCOMPARE(ImageStore::image(g)->format(), QImage::Format_Grayscale8);
        QCOMPARE(ImageStore::image(other.ResultImage)->pixel(3, 3), qRgb(210, 210, 210));
    }
};

ZORVAT_TEST_MAIN(TestToneInPlace)
#include "test_tone_in_place.moc"
