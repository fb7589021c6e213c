// The flood fills paint exactly the 4-connected area a whole-image search
// finds (kept here as the reference), fill after fill on the same and on
// differently sized pictures.
#include "canvas/floodfill.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QRandomGenerator>
#include <opencv2/imgproc.hpp>

namespace {

// Random blocks of black, white and two greys: many rooms, narrow passages,
// diagonal gaps.
QImage maze(int w, int h, quint32 seed, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(w, h, format);
    QRandomGenerator rng(seed);
    const QRgb colours[4] = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(200, 200, 200), qRgb(255, 255, 255)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int k = rng.bounded(10) < 4 ? 0 : 1 + rng.bounded(3);
            img.setPixel(x, y, colours[k]);
        }
    // Black with another fourth byte is still black.
    if (format == QImage::Format_ARGB32)
        reinterpret_cast<QRgb*>(img.scanLine(1))[1] = 0x40000000u;
    return img;
}

// Breadth-first search over the whole image: the pixels reachable from seed
// through pixels that pass, painted with fill (opaque).
QRect referenceFill(QImage& img, QPoint seed, QRgb fill, bool sameColour)
{
    const QRgb seedValue = img.pixel(seed);
    auto passes = [&](QRgb p) { return sameColour ? p == seedValue : (p & 0xFFFFFF) != 0; };
    if (!passes(seedValue) || (sameColour && seedValue == (fill | 0xFF000000u)))
        return {};
    std::vector<uchar> seen(size_t(img.width()) * img.height());
    std::vector<QPoint> queue{seed};
    seen[size_t(seed.y()) * img.width() + seed.x()] = 1;
    QRect box;
    for (size_t i = 0; i < queue.size(); ++i) {
        const QPoint p = queue[i];
        box |= QRect(p, QSize(1, 1));
        for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            const QPoint q = p + d;
            if (!img.rect().contains(q) || seen[size_t(q.y()) * img.width() + q.x()] || !passes(img.pixel(q)))
                continue;
            seen[size_t(q.y()) * img.width() + q.x()] = 1;
            queue.push_back(q);
        }
    }
    for (const QPoint& p : queue)
        reinterpret_cast<QRgb*>(img.scanLine(p.y()))[p.x()] = fill | 0xFF000000u;
    return box;
}

} // namespace

class TestFloodFillExact : public QObject {
    Q_OBJECT

private slots:
    void fillsMatchTheWholeImageSearch_data()
    {
        QTest::addColumn<bool>("sameColour");
        QTest::addColumn<int>("format");
        QTest::newRow("up to black, RGB32") << false << int(QImage::Format_RGB32);
        QTest::newRow("up to black, ARGB32") << false << int(QImage::Format_ARGB32);
        QTest::newRow("same colour, RGB32") << true << int(QImage::Format_RGB32);
    }

    void fillsMatchTheWholeImageSearch()
    {
        QFETCH(bool, sameColour);
        QFETCH(int, format);
        // Several sizes in turn: the marks kept between fills must never leak
        // from one fill (or one picture size) into the next.
        const QList<QSize> sizes = {QSize(97, 61), QSize(97, 61), QSize(40, 130), QSize(97, 61)};
        QRandomGenerator rng(3);
        int nonEmpty = 0;
        for (int round = 0; round < sizes.size(); ++round) {
            QImage ours = maze(sizes[round].width(), sizes[round].height(), 100 + round, QImage::Format(format));
            QImage expected = ours.copy();
            for (int click = 0; click < 25; ++click) {
                const QPoint seed(rng.bounded(ours.width()), rng.bounded(ours.height()));
                const QRgb fill = click % 5 == 0 ? qRgb(0, 0, 0) : qRgb(rng.bounded(256), 40, 90);
                const QRect want = referenceFill(expected, seed, fill, sameColour);
                const QRect got = sameColour ? canvas::floodFillSameColour(ours, seed, fill)
                                             : canvas::floodFillToBlack(ours, seed, fill);
                QCOMPARE(got, want);
                nonEmpty += !got.isEmpty();
                COMPARE_IMAGES(ours, expected, QString("round %1 click %2").arg(round).arg(click));
            }
        }
        QVERIFY(nonEmpty > 30);
    }

    void oneBigRoomIsFilledWhole()
    {
        // A room with a spiral wall: long runs, many turns, a deep stack.
        QImage img(300, 300, QImage::Format_RGB32);
        img.fill(Qt::white);
        for (int i = 0; i < 140; i += 6) {
            for (int x = i; x < 300 - i; ++x) {
                img.setPixel(x, i, qRgb(0, 0, 0));
                img.setPixel(x, 299 - i, qRgb(0, 0, 0));
            }
            for (int y = i + 3; y < 300 - i; ++y) {
                img.setPixel(i, y, qRgb(0, 0, 0));
                img.setPixel(299 - i, y, qRgb(0, 0, 0));
            }
        }
        QImage expected = img.copy();
        const QRect want = referenceFill(expected, QPoint(2, 2), qRgb(0, 0, 255), false);
        QCOMPARE(canvas::floodFillToBlack(img, QPoint(2, 2), qRgb(0, 0, 255)), want);
        COMPARE_IMAGES(img, expected, "spiral");
        // A seed on black changes nothing.
        QCOMPARE(canvas::floodFillToBlack(img, QPoint(0, 0), qRgb(0, 0, 255)), QRect());
        COMPARE_IMAGES(img, expected, "seed on black");
    }
};

ZORVAT_TEST_MAIN(TestFloodFillExact)
#include "test_floodfill_exact.moc"
