// Recycled buffers of the image store: a buffer is reused only once no live
// image holds it, copies never share pixels with their source, and the store
// counts exactly the images alive.
#include "imaging/effects/gf5effect.h"
#include "imaging/store/bufferpool.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QRandomGenerator>

using namespace gf5;

namespace {

// Large enough for the pool (more than 4 MB as RGB32).
constexpr int kW = 1100, kH = 1000;

QImage pattern(int w, int h, quint32 seed)
{
    QImage img = ImageStore::allocate(w, h, QImage::Format_RGB32);
    testsupport::fillNoise(img, seed);
    return img;
}

} // namespace

class TestBufferPool : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ImageStore::clear();
        BufferPool::trim();
    }

    void releasedBufferIsReusedOnlyWhenNoImageHoldsIt()
    {
        const int32_t a = ImageStore::add(pattern(kW, kH, 1));
        const uchar* bitsA = ImageStore::image(a)->constBits();
        const QImage reference = ImageStore::image(a)->copy();
        QImage outside = *ImageStore::image(a); // shares a's pixels
        QVERIFY(ImageStore::release(a));
        QCOMPARE(ImageStore::liveCount(), 0);
        // The copy still uses the buffer: it must not be handed out.
        QCOMPARE(BufferPool::pooledCount(), 0);
        QImage fresh = ImageStore::allocate(kW, kH, QImage::Format_RGB32);
        QVERIFY(fresh.constBits() != bitsA);
        fresh.fill(Qt::black);
        COMPARE_IMAGES(outside, reference, "image still holding the released pixels");

        outside = QImage();
        QCOMPARE(BufferPool::pooledCount(), 1);
        const qint64 reused = BufferPool::reuseCount();
        QImage again = ImageStore::allocate(kW, kH, QImage::Format_RGB32);
        QCOMPARE(again.constBits(), bitsA);
        QCOMPARE(BufferPool::reuseCount(), reused + 1);
        QCOMPARE(BufferPool::pooledCount(), 0);
        // Writing into a recycled image detaches nothing and changes only it.
        again.fill(Qt::white);
        QCOMPARE(again.constBits(), bitsA);
        QCOMPARE(fresh.pixel(0, 0), qRgb(0, 0, 0));
    }

    void poolKeepsOneBufferOfTheLargestSize()
    {
        {
            QImage a = ImageStore::allocate(kW, kH, QImage::Format_RGB32);
            QImage b = ImageStore::allocate(kW, kH, QImage::Format_RGB32);
            QImage c = ImageStore::allocate(kW, kH, QImage::Format_RGB32);
        }
        QCOMPARE(BufferPool::pooledCount(), BufferPool::kMaxPooled);
        QCOMPARE(BufferPool::pooledBytes(), std::size_t(kW) * kH * 4);
        // A smaller image dying does not displace it.
        ImageStore::allocate(kW, kH - 10, QImage::Format_RGB32) = QImage();
        QCOMPARE(BufferPool::pooledCount(), BufferPool::kMaxPooled);
        QCOMPARE(BufferPool::pooledBytes(), std::size_t(kW) * kH * 4);
        // A larger one in use gives the smaller buffers back.
        QImage big = ImageStore::allocate(kW, kH + 10, QImage::Format_RGB32);
        QCOMPARE(BufferPool::pooledCount(), 0);
        big = QImage();
        QCOMPARE(BufferPool::pooledCount(), 1);
        QCOMPARE(BufferPool::pooledBytes(), std::size_t(kW) * (kH + 10) * 4);
        BufferPool::trim();
        QCOMPARE(BufferPool::pooledCount(), 0);
        // Small images and other formats are Qt's own.
        QImage small = ImageStore::allocate(100, 100, QImage::Format_RGB32);
        QImage grey = ImageStore::allocate(kW * 4, kH, QImage::Format_Grayscale8);
        small = QImage();
        grey = QImage();
        QCOMPARE(BufferPool::pooledCount(), 0);
    }

    void duplicateIsAnIndependentEqualCopy()
    {
        QImage src = pattern(kW, kH, 2);
        src.setDotsPerMeterX(15748);
        src.setDotsPerMeterY(11811);
        const int32_t h = ImageStore::add(src, 24);
        // A dead image's buffer waits in the pool and must be the copy's.
        ImageStore::allocate(kW, kH, QImage::Format_RGB32) = QImage();
        Gf5Effect fx;
        fx.SourceImage = h;
        QVERIFY(fx.Duplicate());
        QCOMPARE(ImageStore::liveCount(), 2);
        QImage* copy = ImageStore::image(fx.ResultImage);
        QVERIFY(copy->constBits() != ImageStore::image(h)->constBits());
        COMPARE_IMAGES(*copy, src, "duplicate");
        QCOMPARE(copy->dotsPerMeterX(), 15748);
        QCOMPARE(copy->dotsPerMeterY(), 11811);
        copy->fill(Qt::red);
        COMPARE_IMAGES(*ImageStore::image(h), src, "duplicate source");
        ImageStore::release(fx.ResultImage);
        ImageStore::release(h);
        QCOMPARE(ImageStore::liveCount(), 0);
    }

    void copyPixelsRenewsAnImageInPlace()
    {
        const QImage first = pattern(kW, kH, 3), second = pattern(kW, kH, 4);
        const int32_t canvas = ImageStore::add(second, 24);
        const int32_t snapshot = ImageStore::add(ImageStore::copy(first), 24);
        const uchar* snapBits = ImageStore::image(snapshot)->constBits();
        QImage held = *ImageStore::image(snapshot); // someone still shows the old one

        QVERIFY(ImageStore::copyPixels(canvas, snapshot));
        QCOMPARE(ImageStore::liveCount(), 2);
        COMPARE_IMAGES(*ImageStore::image(snapshot), second, "renewed snapshot");
        COMPARE_IMAGES(held, first, "the old picture held elsewhere");
        QVERIFY(ImageStore::image(snapshot)->constBits() != ImageStore::image(canvas)->constBits());
        held = QImage();
        // Without an outside holder the buffer itself is reused.
        ImageStore::image(canvas)->fill(Qt::blue);
        const uchar* now = ImageStore::image(snapshot)->constBits();
        QVERIFY(ImageStore::copyPixels(canvas, snapshot));
        QCOMPARE(ImageStore::image(snapshot)->constBits(), now);
        QCOMPARE(ImageStore::image(snapshot)->pixel(5, 5), qRgb(0, 0, 255));
        Q_UNUSED(snapBits);

        // Different sizes, a missing handle or the same handle change nothing.
        const int32_t other = ImageStore::add(pattern(kW, kH - 1, 5), 24);
        QVERIFY(!ImageStore::copyPixels(canvas, other));
        QVERIFY(!ImageStore::copyPixels(canvas, 0));
        QVERIFY(!ImageStore::copyPixels(canvas, canvas));
        QVERIFY(!ImageStore::copyPixels(9999, snapshot));
        COMPARE_IMAGES(*ImageStore::image(other), pattern(kW, kH - 1, 5), "untouched");
        QCOMPARE(ImageStore::liveCount(), 3);
    }

    void effectResultsNeverShareTheSourcesPixels()
    {
        const int32_t src = ImageStore::add(pattern(kW, kH, 6), 24);
        const int32_t none[4] = {};
        QList<int32_t> results;
        for (int round = 0; round < 4; ++round) {
            Gf5Effect fx;
            fx.SourceImage = src;
            QVERIFY(fx.Brightness(none, none, 0, 8, 0, 0));
            results << fx.ResultImage;
            // The oldest result dies; its buffer is recycled by the next.
            if (results.size() > 2)
                ImageStore::release(results.takeFirst());
        }
        QCOMPARE(ImageStore::liveCount(), 3);
        QSet<const uchar*> buffers;
        buffers << ImageStore::image(src)->constBits();
        for (int32_t r : results)
            buffers << ImageStore::image(r)->constBits();
        QCOMPARE(buffers.size(), 3);
        QVERIFY(BufferPool::reuseCount() > 0);
    }
};

ZORVAT_TEST_MAIN(TestBufferPool)
#include "test_bufferpool.moc"
