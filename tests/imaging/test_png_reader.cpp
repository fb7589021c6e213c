// The PNG reader's limits: a file cut anywhere in its image data is refused
// with a reason, one that only lacks its end chunk still opens, and a real
// but enormous 1-bit picture from a small file costs what its stored form
// needs, with its size known from the header before it is read.
#include "imaging/effects/effectcore.h"
#include "imaging/io/imageread.h"
#include "imaging/io/gf5file.h"
#include "imaging/io/pngcodec.h"
#include "imaging/store/imagestore.h"
#include "testsupport/testmain.h"
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

using namespace gf5;

namespace {

QByteArray pngOf(const QImage& img)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(img) ? bytes : QByteArray();
}

io::PngImage decode(const QByteArray& bytes)
{
    return io::decodePng(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), nullptr);
}

} // namespace

class TestPngReader : public QObject {
    Q_OBJECT

private slots:
    void cutFilesAreRefusedUnlessOnlyTheEndIsMissing()
    {
        QImage img(300, 200, QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, qRgb((x * 7 + y) % 256, (y * 3) % 256, (x * y) % 256));
        const QByteArray whole = pngOf(img);
        const int idat = whole.indexOf("IDAT");
        const int iend = whole.indexOf("IEND");
        QVERIFY(idat > 0 && iend > idat);

        const io::PngImage full = decode(whole);
        QVERIFY2(full.error.isEmpty(), qPrintable(full.error));
        QCOMPARE(full.image.pixel(299, 199), img.pixel(299, 199));

        for (const int cut : {idat + 10, (idat + iend) / 2, iend - 10}) {
            const io::PngImage r = decode(whole.left(cut));
            QVERIFY2(r.image.isNull(), qPrintable(QString::number(cut)));
            QVERIFY(r.error.contains(QStringLiteral("PNG")));
        }
        // Every row is there; only the end chunk is missing.
        const io::PngImage noEnd = decode(whole.left(iend - 4));
        QVERIFY2(noEnd.error.isEmpty(), qPrintable(noEnd.error));
        QCOMPARE(noEnd.image.pixel(150, 100), img.pixel(150, 100));
    }

    void aHugeOneBitPictureCostsItsStoredSize()
    {
        QImage blank(16000, 16000, QImage::Format_Mono);
        blank.fill(1);
        blank.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        const QByteArray bytes = pngOf(blank);
        blank = QImage();
        QVERIFY(!bytes.isEmpty() && bytes.size() < 64 * 1024);

        QCOMPARE(io::pngSize(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size()), QSize(16000, 16000));
        fx::resetLargestAllocation();
        const io::PngImage r = decode(bytes);
        QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
        QCOMPARE(r.image.format(), QImage::Format_Mono);
        QCOMPARE(r.bitDepth, 1);
        QVERIFY(r.image.sizeInBytes() <= 32 * 1000 * 1000);
        QVERIFY(fx::largestAllocation() <= 300 * 1000 * 1000); // the layer counts a byte a pixel
        QCOMPARE(r.image.pixel(15999, 15999) & 0xFFFFFF, 0xFFFFFFu);

        // Opening it as a document asks first, before anything is made.
        QTemporaryDir dir;
        QFile f(dir.filePath("huge.png"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        QSize asked;
        qint64 askedBytes = 0;
        bool answer = false;
        Gf5File::largePictureQuestion = [&](const QString&, const QSize& size, qint64 memory) {
            asked = size;
            askedBytes = memory;
            return answer;
        };
        Gf5File reader;
        reader.FileName = f.fileName();
        reader.FileOperation = Gf5File::Read;
        fx::resetLargestAllocation();
        QCOMPARE(reader.Execute(), 0);
        QVERIFY(reader.Declined);
        QCOMPARE(fx::largestAllocation(), 0);
        QCOMPARE(asked, QSize(16000, 16000));
        QCOMPARE(askedBytes, qint64(16000) * 16000 * 4);
        answer = true;
        QCOMPARE(reader.Execute(), 1);
        QVERIFY(!reader.Declined);
        ImageStore::release(reader.ImageHandle);
        // Ordinary pictures are not asked about.
        asked = QSize();
        reader.FileName = QStringLiteral(ZORVAT_SOURCE_DIR "/tests/imaging/data/jpeg/huffman.jpg");
        QCOMPARE(reader.Execute(), 1);
        ImageStore::release(reader.ImageHandle);
        QVERIFY(!asked.isValid());
        Gf5File::largePictureQuestion = nullptr;
    }
};

ZORVAT_TEST_MAIN(TestPngReader)
#include "test_png_reader.moc"
