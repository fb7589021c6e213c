// Opening a BMP file, whose rows are decoded as the file is read, gives
// exactly what decoding the file's bytes whole gives: the same picture,
// depth and error, for every row layout, for pictures larger than the
// first read (rows split between reads) and for damaged files.
#include "imaging/io/bmpcodec.h"
#include "imaging/io/imageread.h"
#include "imaging/io/normalise.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

using namespace gf5;

namespace {

struct BmpSpec {
    int width = 0, height = 0, bpp = 24;
    bool topDown = false;
    quint32 compression = 0;     // 3: bit fields (masks follow the header)
    quint32 masks[4] = {};       // red, green, blue, alpha
    int colours = 0;             // colour table entries (up to 8 bits)
};

void put16(QByteArray& b, int at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void put32(QByteArray& b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }

// A BMP file with a 40-byte header and rows of pseudo-random bytes (indexes
// kept within the colour table).
QByteArray bmpFile(const BmpSpec& s, quint32 seed)
{
    const int masks = s.compression == 3 ? 16 : 0;
    const int offset = 14 + 40 + masks + 4 * s.colours;
    const qint64 stride = (qint64(s.width) * s.bpp + 31) / 32 * 4;
    QByteArray b(offset + int(stride * s.height), '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, quint32(b.size()));
    put32(b, 10, quint32(offset));
    put32(b, 14, 40);
    put32(b, 18, quint32(s.width));
    put32(b, 22, quint32(s.topDown ? -s.height : s.height));
    put16(b, 26, 1);
    put16(b, 28, quint16(s.bpp));
    put32(b, 30, s.compression);
    put32(b, 38, 15748); // 400 dpi
    put32(b, 42, 11811); // 300 dpi
    put32(b, 46, quint32(s.colours));
    for (int i = 0; i < masks / 4; ++i)
        put32(b, 54 + 4 * i, s.masks[i]);
    quint32 r = seed;
    auto next = [&r] { return r = r * 1664525u + 1013904223u, r >> 24; };
    for (int i = 0; i < s.colours; ++i)
        for (int c = 0; c < 3; ++c)
            b[54 + masks + 4 * i + c] = char(next());
    for (qint64 at = offset; at < b.size(); ++at) {
        const uint v = next();
        // Indexes below the table's size: the table has 2^bpp entries
        // or, for 8 bits, 200.
        b[at] = char(s.bpp == 8 ? v % 200 : v);
    }
    return b;
}

} // namespace

class TestBmpRowsRead : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void readingRowsAsTheyArriveEqualsDecodingTheBytes_data()
    {
        QTest::addColumn<QByteArray>("file");
        BmpSpec s;
        // Wider than one read: rows are split between the head and the reads.
        s.width = 1001; // 3003 bytes, one byte of padding
        s.height = 420;
        QTest::newRow("24 bits, bottom-up, larger than a read") << bmpFile(s, 1);
        s.topDown = true;
        s.width = 1002; // two bytes of padding
        QTest::newRow("24 bits, top-down, larger than a read") << bmpFile(s, 2);
        s.topDown = false;
        s.width = 13;
        s.height = 5;
        QTest::newRow("24 bits, small") << bmpFile(s, 3);
        QByteArray shortLast = bmpFile(s, 4);
        shortLast.chop(1); // the last row's padding left out, as its header says
        put32(shortLast, 2, quint32(shortLast.size()));
        QTest::newRow("24 bits, last row without its padding") << shortLast;
        s.width = 700;
        s.height = 1500;
        s.bpp = 32;
        QTest::newRow("32 bits, bottom-up") << bmpFile(s, 5);
        s.compression = 3;
        s.masks[0] = 0x00FF0000;
        s.masks[1] = 0x0000FF00;
        s.masks[2] = 0x000000FF;
        s.masks[3] = 0xFF000000;
        s.topDown = true;
        QTest::newRow("32 bits with alpha, top-down") << bmpFile(s, 6);
        s.bpp = 16;
        s.masks[0] = 0xF800;
        s.masks[1] = 0x07E0;
        s.masks[2] = 0x001F;
        s.masks[3] = 0;
        s.width = 999;
        QTest::newRow("16 bits 5-6-5") << bmpFile(s, 7);
        s = BmpSpec();
        s.width = 1203;
        s.height = 1000;
        s.bpp = 8;
        s.colours = 200;
        const QByteArray indexed = bmpFile(s, 8);
        QTest::newRow("8 bits, odd width") << indexed;
        QByteArray badIndex = indexed;
        badIndex[badIndex.size() - 5000] = char(230); // beyond the 200 colours
        QTest::newRow("8 bits, an index beyond the table") << badIndex;
        s.bpp = 4;
        s.colours = 16;
        QTest::newRow("4 bits") << bmpFile(s, 9);
        s.bpp = 1;
        s.colours = 2;
        s.width = 3001;
        QTest::newRow("1 bit") << bmpFile(s, 10);
        // Damaged: cut short, with and without the header saying so.
        QByteArray cut = indexed.left(indexed.size() * 2 / 3);
        QTest::newRow("cut short") << cut;
        put32(cut, 2, quint32(cut.size()));
        QTest::newRow("cut short, header agreeing") << cut;
        QByteArray huge = indexed;
        put32(huge, 18, 100000);
        QTest::newRow("claims more rows than the file holds") << huge;
    }

    void readingRowsAsTheyArriveEqualsDecodingTheBytes()
    {
        QFETCH(QByteArray, file);
        const QString path = dir_.filePath(QString::fromUtf8(QTest::currentDataTag()) + ".bmp");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
        }
        io::BmpImage whole = io::decodeBmp(reinterpret_cast<const uchar*>(file.constData()), file.size(), nullptr);
        const QImage expected = io::normaliseImage(std::move(whole.image), io::ImageUse::Store);
        int lastPercent = -1;
        bool ordered = true;
        const io::ReadOutcome read = io::readImageFile(path, [&](int percent) {
            ordered = ordered && percent >= lastPercent && percent <= 100;
            lastPercent = percent;
            return true;
        });
        QCOMPARE(read.error, whole.error);
        QCOMPARE(read.image.isNull(), expected.isNull());
        QVERIFY(ordered);
        if (expected.isNull())
            return;
        QCOMPARE(lastPercent, 100);
        QCOMPARE(read.depth, whole.bitDepth);
        QCOMPARE(read.image.format(), expected.format());
        QCOMPARE(read.image.colorTable(), expected.colorTable());
        QCOMPARE(read.image.dotsPerMeterX(), expected.dotsPerMeterX());
        QCOMPARE(read.image.dotsPerMeterY(), expected.dotsPerMeterY());
        COMPARE_IMAGES(read.image, expected, "bmp rows");
        QVERIFY(read.image == expected); // alpha and indexes too
    }
};

ZORVAT_TEST_MAIN(TestBmpRowsRead)
#include "test_bmp_rows_read.moc"
