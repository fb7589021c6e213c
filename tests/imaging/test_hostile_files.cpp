// Damaged and hostile image files: each is refused before its image is
// allocated (or opened with every pixel defined), through the open path and
// the path that reads pictures for showing them; and the routine that makes
// outside pictures safe to paint.
#include "imaging/effects/effectcore.h"
#include "imaging/io/gf5file.h"
#include "imaging/io/normalise.h"
#include "imaging/store/imagestore.h"
#include "testsupport/testmain.h"
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

using namespace gf5;

namespace {

QString hostileFile(const QString& name)
{
    return QStringLiteral(ZORVAT_SOURCE_DIR "/tests/imaging/data/hostile/") + name;
}

bool writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QImage photo(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + y) % 256, (y * 5) % 256, (x * y) % 256));
    return img;
}

QByteArray encoded(const QImage& img, bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(90);
    return writer.write(img) ? bytes : QByteArray();
}

// Positions of the start-of-scan markers.
QList<int> scanStarts(const QByteArray& jpeg)
{
    QList<int> out;
    for (int at = jpeg.indexOf("\xFF\xDA"); at >= 0; at = jpeg.indexOf("\xFF\xDA", at + 2))
        out << at;
    return out;
}

// An 8-bit run-length coded BMP (bottom-up) with a grey colour table of
// `colours` entries and the given coded rows.
QByteArray rleBmp(int w, int h, int bpp, int colours, const QByteArray& rows)
{
    const int offBits = 54 + colours * 4;
    QByteArray data(offBits, '\0');
    uchar* d = reinterpret_cast<uchar*>(data.data());
    d[0] = 'B';
    d[1] = 'M';
    qToLittleEndian<quint32>(quint32(offBits + rows.size()), d + 2);
    qToLittleEndian<quint32>(quint32(offBits), d + 10);
    qToLittleEndian<quint32>(40, d + 14);
    qToLittleEndian<qint32>(w, d + 18);
    qToLittleEndian<qint32>(h, d + 22);
    qToLittleEndian<quint16>(1, d + 26);
    qToLittleEndian<quint16>(quint16(bpp), d + 28);
    qToLittleEndian<quint32>(bpp == 8 ? 1 : 2, d + 30);
    qToLittleEndian<quint32>(quint32(colours), d + 46);
    for (int i = 0; i < colours; ++i)
        d[54 + 4 * i] = d[55 + 4 * i] = d[56 + 4 * i] = uchar(i * 10);
    return data + rows;
}

// Width and height of an uncompressed 16-bit BMP whose pixel data hold
// `rowsPresent` rows.
QByteArray bmp16(int w, int h, int rowsPresent)
{
    const int stride = (w * 2 + 3) / 4 * 4;
    QByteArray data(54 + stride * rowsPresent, '\x11');
    uchar* d = reinterpret_cast<uchar*>(data.data());
    std::memset(d, 0, 54);
    d[0] = 'B';
    d[1] = 'M';
    qToLittleEndian<quint32>(quint32(data.size()), d + 2);
    qToLittleEndian<quint32>(54, d + 10);
    qToLittleEndian<quint32>(40, d + 14);
    qToLittleEndian<qint32>(w, d + 18);
    qToLittleEndian<qint32>(h, d + 22);
    qToLittleEndian<quint16>(1, d + 26);
    qToLittleEndian<quint16>(16, d + 28);
    return data;
}

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

    struct Outcome {
        bool opened = false;
        QImage image;
        QString error;
        qint64 largest = 0; // bytes of the largest image allocated
    };

    // Reads a file through the open path; the store gains exactly the image
    // read, or nothing.
    Outcome open(const QString& file)
    {
        Outcome out;
        const int live = ImageStore::liveCount();
        fx::resetLargestAllocation();
        Gf5File reader;
        reader.FileName = file;
        reader.FileOperation = Gf5File::Read;
        out.opened = reader.Execute() != 0;
        out.largest = fx::largestAllocation();
        out.error = reader.LastError;
        if (out.opened) {
            out.image = *ImageStore::image(reader.ImageHandle);
            ImageStore::release(reader.ImageHandle);
        }
        if (ImageStore::liveCount() != live)
            qWarning("the store kept an image it should not have");
        return out;
    }

    Outcome openBytes(const QByteArray& bytes, const QString& name)
    {
        if (!writeAll(path(name), bytes))
            qFatal("cannot write %s", qPrintable(path(name)));
        return open(path(name));
    }

private slots:
    void reproducersAreRefusedOrOpenedWithinTheirBytes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("refusedBeforeAllocating");
        auto row = [](const char* name, bool opens, bool early) {
            QTest::newRow(name) << QString::fromLatin1(name) << opens << early;
        };
        row("jpeg-30000x30000-baseline-premature-eoi.jpg", false, true);
        row("jpeg-30000x30000-grey-progressive-premature-eoi.jpg", false, true);
        row("jpeg-30000x30000-progressive-premature-eoi.jpg", false, true);
        row("jpeg-20000x20000-progressive-premature-eoi.jpg", false, true);
        row("jpeg-20000x20000-seed-with-enlarged-sof.jpg", false, true);
        row("jpeg-200x200-damaged-with-eoi-accepted.jpg", false, false);
        row("jpeg-200x200-damaged-without-eoi-refused.jpg", false, false);
        row("jpeg-truncated-refused.jpg", false, false);
        row("jpeg-truncated-with-junk-after-soi-accepted-by-qt.jpg", false, false);
        row("jpeg-arith-30000x30000-short.jpg", false, true);
        row("bmp-8bit-16colour-pixeloffset-beyond-eof.bmp", false, true);
        row("bmp-rle8-width31-short-data.bmp", true, false);
        row("bmp-rle8-invalid-runs.bmp", false, false);
        row("bmp-rle4-invalid-runs.bmp", false, false);
    }

    void reproducersAreRefusedOrOpenedWithinTheirBytes()
    {
        QFETCH(QString, name);
        QFETCH(bool, opens);
        QFETCH(bool, refusedBeforeAllocating);
        const QString file = hostileFile(name);
        QVERIFY2(QFile::exists(file), qPrintable(file));
        const qint64 bytes = QFile(file).size();

        const Outcome read = open(file);
        QCOMPARE(read.opened, opens);
        QCOMPARE(read.error.isEmpty(), opens);
        if (refusedBeforeAllocating)
            QCOMPARE(read.largest, 0);
        // Whatever is allocated, the file's bytes could hold those pixels.
        QVERIFY2(read.largest <= 4 * 512 * bytes, qPrintable(QString::number(read.largest)));

        // Showing the picture (thumbnails, previews) reads it the same way.
        fx::resetLargestAllocation();
        QString error;
        const QImage shown = io::readImageForDisplay(file, QSize(48, 48), &error);
        QCOMPARE(!shown.isNull(), opens);
        QCOMPARE(error.isEmpty(), opens);
        if (refusedBeforeAllocating)
            QCOMPARE(fx::largestAllocation(), 0);
        if (opens)
            QCOMPARE(shown.format(), QImage::Format_RGB32);
    }

    // Pixels an RLE file skips are colour 0, never left undefined, and the
    // table has an entry for every index.
    void shortRunLengthBmpHasEveryPixelDefined()
    {
        const Outcome a = open(hostileFile("bmp-rle8-width31-short-data.bmp"));
        QVERIFY(a.opened);
        QCOMPARE(a.image.size(), QSize(31, 5));
        QCOMPARE(a.image.colorCount(), 256);
        const QRgb first = a.image.color(0);
        // Row by row from the bottom: seven pixels of colours 0, 3, 6, 9, 12.
        for (int fromBottom = 0; fromBottom < 5; ++fromBottom) {
            const int y = 4 - fromBottom;
            QCOMPARE(a.image.pixelIndex(0, y), fromBottom * 3);
            QCOMPARE(a.image.pixelIndex(6, y), fromBottom * 3);
            for (int x = 7; x < 31; ++x)
                QCOMPARE(a.image.pixel(x, y), first);
        }
    }

    void runLengthBmpsDecodeExactly()
    {
        // 6 x 3, bottom row first: a run, literal pixels (padded), end of
        // row; a move two right and one up; a run; end of bitmap.
        const QByteArray rows("\x03\x01\x00\x03\x02\x03\x04\x00\x00\x00"
                              "\x00\x02\x02\x01\x02\x05\x00\x01",
                              18);
        Outcome r = openBytes(rleBmp(6, 3, 8, 8, rows), "rle8.bmp");
        QVERIFY2(r.opened, qPrintable(r.error));
        const int expected[3][6] = {{0, 0, 5, 5, 0, 0}, {0, 0, 0, 0, 0, 0}, {1, 1, 1, 2, 3, 4}};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 6; ++x)
                QCOMPARE(r.image.pixelIndex(x, y), expected[y][x]);

        // Four bits: a run alternates its two values; literals pack two a byte.
        r = openBytes(rleBmp(7, 1, 4, 16, QByteArray("\x04\x12\x00\x03\x34\x50\x00\x01", 8)), "rle4.bmp");
        QVERIFY2(r.opened, qPrintable(r.error));
        const int expected4[7] = {1, 2, 1, 2, 3, 4, 5};
        for (int x = 0; x < 7; ++x)
            QCOMPARE(r.image.pixelIndex(x, 0), expected4[x]);

        // Without the end code the picture is incomplete.
        r = openBytes(rleBmp(6, 3, 8, 8, rows.left(10)), "rle-cut.bmp");
        QVERIFY(!r.opened);
        // Literal pixels running past the end of the file.
        r = openBytes(rleBmp(6, 3, 8, 8, QByteArray("\x00\x06\x01\x02", 4)), "rle-literal.bmp");
        QVERIFY(!r.opened);
        // 20000 x 20000 pixels cannot come from a few bytes of runs.
        r = openBytes(rleBmp(20000, 20000, 8, 8, rows), "rle-huge.bmp");
        QVERIFY(!r.opened);
        QCOMPARE(r.largest, 0);
    }

    // Files left to Qt's readers get the same bounds before Qt allocates.
    void filesForQtsReadersMustHoldTheirPixels()
    {
        Outcome r = openBytes(bmp16(40, 30, 30), "rgb16.bmp");
        QVERIFY2(r.opened, qPrintable(r.error));
        QCOMPARE(r.image.size(), QSize(40, 30));
        r = openBytes(bmp16(40, 30, 12), "rgb16-short.bmp");
        QVERIFY(!r.opened);

        // A PNG whose header claims 20000 x 20000 over a few hundred bytes.
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(photo(8, 8).save(&buffer, "png"));
        }
        QCOMPARE(png.mid(12, 4), QByteArray("IHDR"));
        qToBigEndian<quint32>(20000, reinterpret_cast<uchar*>(png.data()) + 16);
        qToBigEndian<quint32>(20000, reinterpret_cast<uchar*>(png.data()) + 20);
        qToBigEndian<quint32>(crc32(png.mid(12, 17)), reinterpret_cast<uchar*>(png.data()) + 29);
        r = openBytes(png, "huge.png");
        QVERIFY(!r.opened);
        QVERIFY(!r.error.isEmpty());
    }

    // Scan data that stop before the picture is complete are refused
    // whatever follows them; complete files of each kind still open.
    void jpegScansMustCoverThePicture()
    {
        const QImage img = photo(160, 120);
        for (const bool progressive : {false, true}) {
            const QByteArray whole = encoded(img, progressive);
            QVERIFY(!whole.isEmpty());
            Outcome r = openBytes(whole, "whole.jpg");
            QVERIFY2(r.opened, qPrintable(r.error));
            QCOMPARE(r.image.size(), img.size());

            const QList<int> scans = scanStarts(whole);
            QVERIFY(scans.size() >= (progressive ? 3 : 1));
            // Half of the first scan's data, then an end marker.
            const int cut = scans[0] + (whole.size() - scans[0]) / (progressive ? 6 : 2);
            r = openBytes(whole.left(cut) + "\xFF\xD9", "cut.jpg");
            QVERIFY(!r.opened);
            QVERIFY(!r.error.isEmpty());
            // The same data followed by an unrelated segment and the end.
            r = openBytes(whole.left(cut) + QByteArray("\xFF\xFE\x00\x04zz\xFF\xD9", 8), "cut-comment.jpg");
            QVERIFY(!r.opened);
            if (progressive) {
                // Whole scans, but the later ones missing.
                r = openBytes(whole.left(scans[2]) + "\xFF\xD9", "first-scans.jpg");
                QVERIFY(!r.opened);
            }
        }
        // A JPEG start marker followed by anything still goes to the
        // program's reader, which refuses a truncated file.
        QByteArray junk = encoded(img, false);
        junk.insert(2, 'x');
        Outcome r = openBytes(junk.left(junk.size() / 2), "junk.jpg");
        QVERIFY(!r.opened);
        QVERIFY(r.error.contains("JPEG"));
    }

    void outsidePicturesGetAFullColourTable()
    {
        // Qt's readers can leave a colour table shorter than the indexes used.
        QImage indexed(4, 1, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0)});
        const uchar values[4] = {0, 1, 200, 255};
        std::memcpy(indexed.scanLine(0), values, 4);

        const QImage stored = io::normaliseImage(indexed, io::ImageUse::Store);
        QCOMPARE(stored.format(), QImage::Format_Indexed8);
        QCOMPARE(stored.colorCount(), 256);
        QCOMPARE(stored.color(200), qRgb(0, 0, 0));

        const QImage canvas = io::normaliseImage(indexed);
        QCOMPARE(canvas.format(), QImage::Format_RGB32);
        QCOMPARE(canvas.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(canvas.pixel(1, 0), qRgb(0, 255, 0));
        QCOMPARE(canvas.pixel(2, 0), qRgb(0, 0, 0));
        QCOMPARE(canvas.pixel(3, 0), qRgb(0, 0, 0));

        QImage mono(9, 1, QImage::Format_MonoLSB);
        mono.setColorTable({qRgb(1, 2, 3)});
        mono.fill(1);
        const QImage monoStored = io::normaliseImage(mono, io::ImageUse::Store);
        QCOMPARE(monoStored.format(), QImage::Format_Mono);
        QCOMPARE(monoStored.colorCount(), 2);

        // Transparent parts show paper white on the canvas.
        QImage glass(2, 1, QImage::Format_ARGB32);
        glass.setPixel(0, 0, qRgba(0, 0, 0, 0));
        glass.setPixel(1, 0, qRgba(0, 0, 255, 255));
        const QImage laid = io::normaliseImage(glass);
        QCOMPARE(laid.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(laid.pixel(1, 0), qRgb(0, 0, 255));
        QCOMPARE(io::normaliseImage(glass, io::ImageUse::Store).format(), QImage::Format_ARGB32);
    }
};

ZORVAT_TEST_MAIN(TestHostileFiles)
#include "test_hostile_files.moc"
