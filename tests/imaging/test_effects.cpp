// Region effects: tone, filters, noise removal, the region rule, progress
// and cancellation, and what each operation adds to the image store.
#include "imaging/effects/effectcore.h"
#include "imaging/effects/gf5effect.h"
#include "imaging/store/gf5common.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QPainter>
#include <QRandomGenerator>
#include <opencv2/imgproc.hpp>
#include <functional>

using namespace gf5;

namespace {

QImage noisyImage(int w, int h, quint32 seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    testsupport::fillNoise(img, seed);
    return img;
}

QImage solid(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

QRgb at(const QImage& img, int x, int y) { return reinterpret_cast<const QRgb*>(img.constScanLine(y))[x] & 0xFFFFFF; }

QImage resultOf(const Gf5Effect& fx)
{
    const QImage* img = ImageStore::image(fx.ResultImage);
    return img ? *img : QImage();
}

// The four corners of a selection, as the editor passes them.
struct Poly {
    int32_t xs[6] = {};
    int32_t ys[6] = {};
    int n = 0;
};

Poly rect(int l, int t, int r, int b) { return Poly{{l, r, r, l}, {t, t, b, b}, 4}; }
Poly triangle(int x0, int y0, int x1, int y1, int x2, int y2) { return Poly{{x0, x1, x2}, {y0, y1, y2}, 3}; }

// Every pixel outside mask (CV_8U, 0 = outside) equal in a and b; returns
// how many pixels inside differ.
int checkOutsideUnchanged(const QImage& a, const QImage& b, const cv::Mat& mask, QString* problem)
{
    int changedInside = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool same = at(a, x, y) == at(b, x, y);
            if (mask.at<uchar>(y, x))
                changedInside += !same;
            else if (!same && problem->isEmpty())
                *problem = QString("pixel (%1, %2) outside the region changed").arg(x).arg(y);
        }
    return changedInside;
}

using Operation = std::function<int32_t(Gf5Effect&, const Poly&)>;

} // namespace

class TestEffects : public QObject {
    Q_OBJECT

private slots:
    void init() { ImageStore::clear(); }

    void regionMaskFollowsPixelCentres()
    {
        const QRect area(0, 0, 20, 20);
        cv::Mat mask;
        // A selection (L,T)-(R,B) covers x in [L, R), y in [T, B), in either turning direction.
        for (const Poly& p : {rect(2, 3, 7, 9), Poly{{2, 2, 7, 7}, {3, 9, 9, 3}, 4}}) {
            fx::fillPolygonMask(p.xs, p.ys, p.n, area, mask);
            QCOMPARE(cv::countNonZero(mask), 5 * 6);
            QCOMPARE(int(mask.at<uchar>(3, 2)), 255);
            QCOMPARE(int(mask.at<uchar>(8, 6)), 255);
            QCOMPARE(int(mask.at<uchar>(8, 7)), 0);
            QCOMPARE(int(mask.at<uchar>(9, 6)), 0);
            QCOMPARE(int(mask.at<uchar>(3, 1)), 0);
            QCOMPARE(int(mask.at<uchar>(2, 2)), 0);
        }
        // Triangle: a pixel is inside when its centre is.
        const Poly t = triangle(0, 0, 10, 0, 0, 10);
        fx::fillPolygonMask(t.xs, t.ys, t.n, area, mask);
        QCOMPARE(int(mask.at<uchar>(4, 4)), 255); // centre (4.5, 4.5): 9 < 10
        QCOMPARE(int(mask.at<uchar>(5, 5)), 0);   // centre (5.5, 5.5): 11 > 10
        QCOMPARE(int(mask.at<uchar>(0, 8)), 255);
        QCOMPARE(int(mask.at<uchar>(0, 9)), 0); // centre (9.5, 0.5) lies on the right edge
        // The mask of a sub-area uses image coordinates; corners far outside are clipped.
        const Poly huge = rect(-2000000000, -2000000000, 2000000000, 2000000000);
        fx::fillPolygonMask(huge.xs, huge.ys, huge.n, QRect(5, 5, 10, 10), mask);
        QCOMPARE(cv::countNonZero(mask), 100);
        const Poly r = rect(2, 3, 7, 9);
        fx::fillPolygonMask(r.xs, r.ys, r.n, QRect(4, 4, 10, 10), mask);
        QCOMPARE(cv::countNonZero(mask), 3 * 5);
        QCOMPARE(int(mask.at<uchar>(0, 0)), 255);
        QCOMPARE(int(mask.at<uchar>(0, 3)), 0);
    }

    void regionBoundsClipToTheImage()
    {
        Gf5Effect fx;
        fx.AreaMode = 2;
        Poly p = rect(-10, 5, 30, 500);
        QCOMPARE(fx.regionBounds(p.xs, p.ys, p.n, 20, 40), QRect(0, 5, 20, 35));
        p = rect(50, 50, 60, 60);
        QVERIFY(fx.regionBounds(p.xs, p.ys, p.n, 20, 40).isEmpty());
        fx.AreaMode = 1;
        QCOMPARE(fx.regionBounds(p.xs, p.ys, p.n, 20, 40), QRect(0, 0, 20, 40));
        fx.AreaMode = 2;
        QCOMPARE(fx.regionBounds(p.xs, p.ys, 2, 20, 40), QRect(0, 0, 20, 40)); // fewer than 3 corners
    }

    void regionOperationsLeaveOutsideUntouched_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("antialias") << 0;
        QTest::newRow("sharpen") << 1;
        QTest::newRow("denoise") << 2;
        QTest::newRow("mosaic") << 3;
        QTest::newRow("blur") << 4;
        QTest::newRow("saturation") << 5;
        QTest::newRow("brightness") << 6;
        QTest::newRow("tone curve") << 7;
    }

    void regionOperationsLeaveOutsideUntouched()
    {
        QFETCH(int, which);
        const int32_t in[] = {0, 64, 128, 192, 255}, out[] = {0, 64, 128, 215, 255};
        const Operation ops[] = {
            [](Gf5Effect& f, const Poly& p) { return f.Antialias(p.xs, p.ys, p.n); },
            [](Gf5Effect& f, const Poly& p) { return f.Sharpen(p.xs, p.ys, p.n, 2); },
            [](Gf5Effect& f, const Poly& p) { return f.Denoise(p.xs, p.ys, p.n, 0, 100); },
            [](Gf5Effect& f, const Poly& p) { return f.Mosaic(p.xs, p.ys, p.n, 10, 10); },
            [](Gf5Effect& f, const Poly& p) { return f.Blur(p.xs, p.ys, p.n, 1); },
            [](Gf5Effect& f, const Poly& p) { return f.Saturation(p.xs, p.ys, p.n, -100); },
            [](Gf5Effect& f, const Poly& p) { return f.Brightness(p.xs, p.ys, p.n, 8, 0, 0); },
            [&](Gf5Effect& f, const Poly& p) { return f.ToneCurve(p.xs, p.ys, p.n, in, out, 5, 1, 1, 1); },
        };
        // Noise for the filters; for noise removal, dark specks on white
        // paper, apart and unevenly spaced, so that they make no dotted line.
        QImage src = noisyImage(90, 70, 7);
        if (which == 2) {
            src = solid(90, 70, qRgb(255, 255, 255));
            for (const int y : {2, 9, 21, 40, 66})
                for (const int x : {2, 9, 21, 40, 70})
                    src.setPixel(x, y, qRgb(0, 0, 0));
        }
        const int32_t h = ImageStore::add(src);
        // A selection rectangle (partly off the image) and a slanted polygon.
        for (const Poly& p : {rect(20, 10, 200, 40), triangle(5, 5, 80, 20, 30, 65)}) {
            Gf5Effect fx;
            fx.SourceImage = h;
            fx.AreaMode = 2;
            QVERIFY(ops[which](fx, p));
            const QImage res = resultOf(fx);
            QCOMPARE(res.size(), src.size());
            QCOMPARE(res.format(), QImage::Format_RGB32);
            cv::Mat mask;
            fx::fillPolygonMask(p.xs, p.ys, p.n, src.rect(), mask);
            QString problem;
            const int changed = checkOutsideUnchanged(res, src, mask, &problem);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
            QVERIFY2(changed > 0, "nothing changed inside the region");
            ImageStore::release(fx.ResultImage);
        }
        COMPARE_IMAGES(*ImageStore::image(h), src, "source-untouched");
    }

    void brightnessAddsAndClamps()
    {
        QImage src = solid(10, 10, qRgb(10, 100, 250));
        const int32_t h = ImageStore::add(src);
        Gf5Effect fx;
        fx.SourceImage = h;
        const Poly sel = rect(2, 2, 5, 5);
        fx.AreaMode = 2;
        QVERIFY(fx.Brightness(sel.xs, sel.ys, 4, 8, 0, 0));
        QImage res = resultOf(fx);
        QCOMPARE(at(res, 2, 2), qRgb(18, 108, 255) & 0xFFFFFF);
        QCOMPARE(at(res, 4, 4), qRgb(18, 108, 255) & 0xFFFFFF);
        QCOMPARE(at(res, 5, 5), qRgb(10, 100, 250) & 0xFFFFFF);
        // Twice adds twice; whole image without a region.
        fx.SourceImage = fx.ResultImage;
        fx.AreaMode = 1;
        QVERIFY(fx.Brightness(sel.xs, sel.ys, 4, 8, 0, 0));
        res = resultOf(fx);
        QCOMPARE(at(res, 3, 3), qRgb(26, 116, 255) & 0xFFFFFF);
        QCOMPARE(at(res, 9, 0), qRgb(18, 108, 255) & 0xFFFFFF);
        QVERIFY(fx.Brightness(sel.xs, sel.ys, 4, -50, 0, 0));
        QCOMPARE(at(resultOf(fx), 9, 0), qRgb(0, 50, 200) & 0xFFFFFF); // from the first result
    }

    void toneCurveMapsThroughStraightPieces()
    {
        QImage src(6, 1, QImage::Format_RGB32);
        const int levels[] = {0, 64, 128, 192, 215, 255};
        for (int i = 0; i < 6; ++i)
            src.setPixel(i, 0, qRgb(levels[i], levels[i], levels[i]));
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(src);

        // The underlay curve on green only.
        const int32_t uIn[] = {0, 64, 128, 192, 255}, uOut[] = {80, 100, 160, 192, 255};
        QVERIFY(fx.ToneCurve(nullptr, nullptr, 0, uIn, uOut, 5, 0, 1, 0));
        QImage res = resultOf(fx);
        QCOMPARE(at(res, 0, 0), qRgb(0, 80, 0) & 0xFFFFFF);
        QCOMPARE(at(res, 1, 0), qRgb(64, 100, 64) & 0xFFFFFF);
        QCOMPARE(at(res, 2, 0), qRgb(128, 160, 128) & 0xFFFFFF);
        QCOMPARE(at(res, 3, 0), qRgb(192, 192, 192) & 0xFFFFFF);
        QCOMPARE(at(res, 5, 0), qRgb(255, 255, 255) & 0xFFFFFF);

        // Widening white: 210..220 stretched to 210..255 (215 -> 232.5 rounds up), 220+ -> 255.
        const int32_t wIn[] = {0, 64, 128, 210, 220, 255}, wOut[] = {0, 64, 128, 210, 255, 255};
        QVERIFY(fx.ToneCurve(nullptr, nullptr, 0, wIn, wOut, 6, 1, 1, 1));
        res = resultOf(fx);
        QCOMPARE(at(res, 4, 0), qRgb(233, 233, 233) & 0xFFFFFF);
        QCOMPARE(at(res, 2, 0), qRgb(128, 128, 128) & 0xFFFFFF);
        QCOMPARE(at(res, 5, 0), qRgb(255, 255, 255) & 0xFFFFFF);
        QImage near(3, 1, QImage::Format_RGB32);
        near.setPixel(0, 0, qRgb(220, 230, 254));
        near.setPixel(1, 0, qRgb(210, 212, 219));
        near.setPixel(2, 0, qRgb(219, 221, 209));
        fx.SourceImage = ImageStore::add(near);
        QVERIFY(fx.ToneCurve(nullptr, nullptr, 0, wIn, wOut, 6, 1, 1, 1));
        res = resultOf(fx);
        QCOMPARE(at(res, 0, 0), qRgb(255, 255, 255) & 0xFFFFFF);
        QCOMPARE(at(res, 1, 0), qRgb(210, 219, 251) & 0xFFFFFF);
        QCOMPARE(at(res, 2, 0), qRgb(251, 255, 209) & 0xFFFFFF);
        QVERIFY(!fx.ToneCurve(nullptr, nullptr, 0, wIn, wOut, 0, 1, 1, 1));
    }

    void saturationMinus100GivesExactGrey()
    {
        const QImage src = noisyImage(64, 48, 3);
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(src);
        QVERIFY(fx.Saturation(nullptr, nullptr, 0, -100));
        const QImage res = resultOf(fx);
        for (int y = 0; y < res.height(); ++y)
            for (int x = 0; x < res.width(); ++x) {
                const QRgb c = at(res, x, y);
                QVERIFY2(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c), qPrintable(QString("(%1, %2)").arg(x).arg(y)));
            }
        // Pure red becomes its luminance; amount 0 keeps colours; +100 moves away from grey.
        QImage red = solid(2, 2, qRgb(200, 40, 40));
        fx.SourceImage = ImageStore::add(red);
        QVERIFY(fx.Saturation(nullptr, nullptr, 0, -100));
        QCOMPARE(at(resultOf(fx), 0, 0), qRgb(88, 88, 88) & 0xFFFFFF);
        QVERIFY(fx.Saturation(nullptr, nullptr, 0, 0));
        QCOMPARE(at(resultOf(fx), 0, 0), qRgb(200, 40, 40) & 0xFFFFFF);
        QVERIFY(fx.Saturation(nullptr, nullptr, 0, 100));
        QCOMPARE(at(resultOf(fx), 0, 0), qRgb(255, 0, 0) & 0xFFFFFF);
    }

    void blurAndSharpenActOnEdgesOnly()
    {
        // A vertical step from 100 to 200 at x = 20.
        QImage step(40, 30, QImage::Format_RGB32);
        step.fill(qRgb(100, 100, 100));
        QPainter(&step).fillRect(20, 0, 20, 30, QColor(200, 200, 200));
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(step);
        QVERIFY(fx.Blur(nullptr, nullptr, 0, 1));
        QImage res = resultOf(fx);
        QCOMPARE(qRed(at(res, 19, 15)), 133); // (100 * 2 + 200) / 3
        QCOMPARE(qRed(at(res, 20, 15)), 167);
        QCOMPARE(qRed(at(res, 5, 15)), 100);
        QVERIFY(fx.Sharpen(nullptr, nullptr, 0, 2));
        res = resultOf(fx);
        QVERIFY(qRed(at(res, 19, 15)) < 100);
        QVERIFY(qRed(at(res, 20, 15)) > 200);
        QCOMPARE(qRed(at(res, 5, 15)), 100);
        QCOMPARE(qRed(at(res, 35, 15)), 200);
    }

    void bandsJoinWithoutSeams()
    {
        // Tall enough for many bands: the banded blur equals one whole-image blur.
        const QImage src = noisyImage(120, 900, 11);
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(src);
        QVERIFY(fx.Blur(nullptr, nullptr, 0, 2));
        QImage expected = src.copy();
        cv::Mat e = fx::viewOf(expected);
        cv::blur(fx::constViewOf(src), e, cv::Size(5, 5));
        COMPARE_IMAGES(resultOf(fx), expected, "banded-blur");
    }

    void antialiasSmoothsOutlinesAndKeepsFlatAreas()
    {
        QImage src = solid(60, 60, qRgb(255, 255, 255));
        {
            QPainter p(&src);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            p.drawPolygon(QPolygon({QPoint(10, 10), QPoint(50, 25), QPoint(20, 50)}));
        }
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(src);
        QVERIFY(fx.Antialias(nullptr, nullptr, 0));
        const QImage res = resultOf(fx);
        int greys = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x) {
                const int v = qRed(at(res, x, y));
                greys += v > 0 && v < 255;
            }
        QVERIFY(greys > 40);
        QCOMPARE(at(res, 2, 2), 0xFFFFFFu);   // paper far from the outline
        QCOMPARE(at(res, 25, 28), 0u);        // inside the solid shape
        QCOMPARE(at(res, 55, 55), 0xFFFFFFu);
    }

    void mosaicAveragesBlocks()
    {
        QImage src(5, 3, QImage::Format_RGB32);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                src.setPixel(x, y, qRgb(10 * (x + 5 * y), 0, 0));
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(src);
        QVERIFY(fx.Mosaic(nullptr, nullptr, 0, 2, 2));
        const QImage res = resultOf(fx);
        // Block (0..1, 0..1): 0, 10, 50, 60 -> 30. Cut block (4, 0..1): 40, 90 -> 65.
        QCOMPARE(qRed(at(res, 0, 0)), 30);
        QCOMPARE(qRed(at(res, 1, 1)), 30);
        QCOMPARE(qRed(at(res, 4, 1)), 65);
        QCOMPARE(qRed(at(res, 2, 2)), 125); // bottom row block (2..3, 2): 120, 130
        QVERIFY(!fx.Mosaic(nullptr, nullptr, 0, 0, 2));
    }

    void denoiseRemovesSpecksButKeepsThinLines()
    {
        QImage src = solid(120, 80, qRgb(255, 255, 255));
        auto dot = [&](int x, int y, int w, int h) {
            for (int yy = y; yy < y + h; ++yy)
                for (int xx = x; xx < x + w; ++xx)
                    src.setPixel(xx, yy, qRgb(20, 20, 20));
        };
        dot(5, 5, 1, 1);   // specks, not in a row
        dot(15, 12, 2, 2);
        dot(25, 3, 3, 3);
        dot(35, 9, 2, 1);
        dot(10, 20, 60, 1);  // one-pixel lines
        dot(80, 10, 1, 50);
        for (int i = 0; i < 30; ++i)
            dot(90 + i % 30, 20 + i, 1, 1); // diagonal line
        for (int x = 10; x < 70; x += 3)
            dot(x, 40, 1, 1);               // dotted line with two-pixel gaps
        dot(10, 60, 4, 4);                  // a blob wider than a speck
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(src);
        QVERIFY(fx.Denoise(nullptr, nullptr, 0, 0, 100));
        const QImage res = resultOf(fx);
        for (const QPoint p : {QPoint(5, 5), QPoint(16, 13), QPoint(26, 4), QPoint(35, 9)})
            QCOMPARE(at(res, p.x(), p.y()), 0xFFFFFFu);
        QCOMPARE(testsupport::countColour(res, qRgb(20, 20, 20), QRect(10, 20, 60, 1)), 60);
        QCOMPARE(testsupport::countColour(res, qRgb(20, 20, 20), QRect(80, 10, 1, 50)), 50);
        QCOMPARE(testsupport::countColour(res, qRgb(20, 20, 20), QRect(90, 20, 30, 30)), 30);
        QCOMPARE(testsupport::countColour(res, qRgb(20, 20, 20), QRect(10, 40, 60, 1)), 20);
        QCOMPARE(testsupport::countColour(res, qRgb(20, 20, 20), QRect(10, 60, 4, 4)), 16);

        // A speck on grey paper takes the paper's colour.
        QImage grey = solid(20, 20, qRgb(200, 210, 220));
        grey.setPixel(10, 10, qRgb(0, 0, 0));
        fx.SourceImage = ImageStore::add(grey);
        QVERIFY(fx.Denoise(nullptr, nullptr, 0, 0, 100));
        QCOMPARE(at(resultOf(fx), 10, 10), qRgb(200, 210, 220) & 0xFFFFFF);
    }

    void otherSourceFormatsGiveFullColourResults()
    {
        QImage indexed(8, 8, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(0, 0, 0), qRgb(100, 150, 200)});
        indexed.fill(1);
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(indexed, 8);
        QVERIFY(fx.Brightness(nullptr, nullptr, 0, 8, 0, 0));
        const StoredImage* res = ImageStore::get(fx.ResultImage);
        QCOMPARE(res->bitDepth, 24);
        QCOMPARE(res->image.format(), QImage::Format_RGB32);
        QCOMPARE(at(res->image, 3, 3), qRgb(108, 158, 208) & 0xFFFFFF);
    }

    void cancelFromProgressStopsAndLeaksNothing_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("brightness") << 0;
        QTest::newRow("blur") << 1;
        QTest::newRow("denoise") << 2;
        QTest::newRow("rotate") << 3;
        QTest::newRow("mosaic") << 4;
    }

    void cancelFromProgressStopsAndLeaksNothing()
    {
        QFETCH(int, which);
        const QImage src = noisyImage(800, 1200, 5);
        const int32_t h = ImageStore::add(src);
        Gf5Effect fx;
        fx.SourceImage = h;
        fx.ResultImage = 0;
        fx.ReportProgress = true;
        QList<int> seen;
        connect(&fx, &Gf5Effect::Progress, this, [&](int16_t percent) {
            seen << percent;
            if (percent >= 20)
                fx.CancelRequested = true;
        });
        auto run = [&]() -> int32_t {
            switch (which) {
            case 0: return fx.Brightness(nullptr, nullptr, 0, 8, 0, 0);
            case 1: return fx.Blur(nullptr, nullptr, 0, 1);
            case 2: return fx.Denoise(nullptr, nullptr, 0, 0, 100);
            case 3: return fx.Rotate(1000, 0, 0, -1, 255, 255, 255, 0);
            default: return fx.Mosaic(nullptr, nullptr, 0, 10, 10);
            }
        };
        const int live = ImageStore::liveCount();
        QCOMPARE(run(), 0);
        QCOMPARE(fx.ResultImage, 0);
        QCOMPARE(ImageStore::liveCount(), live);
        QVERIFY(seen.size() >= 2);
        QVERIFY(seen.last() < 100);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        COMPARE_IMAGES(*ImageStore::image(h), src, "cancelled-source");

        // The next run starts afresh and reports up to 100.
        disconnect(&fx, &Gf5Effect::Progress, this, nullptr);
        seen.clear();
        connect(&fx, &Gf5Effect::Progress, this, [&](int16_t percent) { seen << percent; });
        QVERIFY(run());
        QCOMPARE(ImageStore::liveCount(), live + 1);
        QVERIFY(seen.size() >= 10);
        QCOMPARE(seen.last(), 100);
    }

    void failuresLeaveResultAndStoreAlone()
    {
        Gf5Effect fx;
        fx.SourceImage = 12345; // no such image
        fx.ResultImage = 77;
        const int live = ImageStore::liveCount();
        QCOMPARE(fx.Blur(nullptr, nullptr, 0, 1), 0);
        QCOMPARE(fx.Duplicate(), 0);
        QCOMPARE(fx.Rotate(9000, 0, 0, -1, 255, 255, 255, 0), 0);
        QCOMPARE(fx.ResultImage, 77);
        QCOMPARE(ImageStore::liveCount(), live);
        // Each success adds exactly one image.
        fx.SourceImage = ImageStore::add(solid(4, 4, qRgb(1, 2, 3)));
        QVERIFY(fx.Blur(nullptr, nullptr, 0, 1));
        QVERIFY(fx.Saturation(nullptr, nullptr, 0, -100));
        QCOMPARE(ImageStore::liveCount(), live + 3);
        QVERIFY(fx.ResultImage != 77 && fx.ResultImage != fx.SourceImage);
    }
};

ZORVAT_TEST_MAIN(TestEffects)
#include "test_effects.moc"
