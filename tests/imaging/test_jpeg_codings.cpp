// JPEG files of every coding the decoder meets: arithmetic-coded files open
// exactly like their Huffman-coded twins, and a file of any coding whose
// bytes cannot hold the pixels it claims, or whose data stop early, is
// refused before its image is allocated.
#include "imaging/effects/effectcore.h"
#include "imaging/io/imageread.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

using namespace gf5;

namespace {

QByteArray jpegData(const QString& name)
{
    QFile f(QStringLiteral(ZORVAT_SOURCE_DIR "/tests/imaging/data/jpeg/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The offset of the first start-of-frame marker (any coding), -1 without one.
int frameHeader(const QByteArray& jpeg)
{
    for (int at = 2; at + 9 < jpeg.size(); ++at) {
        const uchar m = uchar(jpeg[at + 1]);
        if (uchar(jpeg[at]) == 0xFF && m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC)
            return at;
    }
    return -1;
}

} // namespace

class TestJpegCodings : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    struct Read {
        io::ReadOutcome out;
        qint64 largest = 0;
    };

    Read readBytes(const QByteArray& bytes)
    {
        const QString path = dir_.filePath(QStringLiteral("case.jpg"));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        f.close();
        fx::resetLargestAllocation();
        Read r;
        r.out = io::readImageFile(path, nullptr);
        r.largest = fx::largestAllocation();
        return r;
    }

private slots:
    // Arithmetic coding is lossless over the same coefficients: the pixels
    // must equal the Huffman-coded file's, sequential and progressive.
    void arithmeticFilesMatchTheirHuffmanTwin()
    {
        const Read huffman = readBytes(jpegData("huffman.jpg"));
        QVERIFY2(huffman.out.error.isEmpty(), qPrintable(huffman.out.error));
        for (const char* name : {"arithmetic.jpg", "arithmetic-progressive.jpg"}) {
            const Read arith = readBytes(jpegData(QString::fromLatin1(name)));
            QVERIFY2(arith.out.error.isEmpty(), qPrintable(arith.out.error));
            COMPARE_IMAGES(arith.out.image, huffman.out.image, QString::fromLatin1(name));
        }
        // A blank page codes in a few bytes and still opens.
        const Read blank = readBytes(jpegData("arithmetic-blank-a4.jpg"));
        QVERIFY2(blank.out.error.isEmpty(), qPrintable(blank.out.error));
        QCOMPARE(blank.out.image.size(), QSize(2480, 3508));
        QCOMPARE(blank.out.image.pixel(1240, 3000), qRgb(255, 255, 255));
    }

    // Each case is refused with a message and nothing allocated.
    void claimsBeyondTheBytesAreRefusedBeforeAllocating_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("allocates");
        const QList<QByteArray> sources = {jpegData("huffman.jpg"), jpegData("arithmetic.jpg"),
                                           jpegData("arithmetic-progressive.jpg")};
        const char* names[] = {"huffman", "arithmetic", "arithmetic-progressive"};
        for (int i = 0; i < sources.size(); ++i) {
            QByteArray huge = sources[i];
            const int sof = frameHeader(huge);
            QVERIFY(sof > 0);
            qToBigEndian<quint16>(30000, reinterpret_cast<uchar*>(huge.data()) + sof + 5);
            qToBigEndian<quint16>(30000, reinterpret_cast<uchar*>(huge.data()) + sof + 7);
            QTest::addRow("%s-30000x30000", names[i]) << huge << false;
            // Lossless and hierarchical frames: no decoder for them.
            for (const uchar marker : {uchar(0xC3), uchar(0xC5), uchar(0xCB)}) {
                QByteArray other = sources[i];
                other[sof + 1] = char(marker);
                QTest::addRow("%s-sof-%02x", names[i], marker) << other << false;
            }
            // Scan data cut off without an end marker (the image may be made
            // before the data run out, but is not kept).
            const int scan = sources[i].indexOf("\xFF\xDA");
            QTest::addRow("%s-cut", names[i]) << sources[i].left(scan + (sources[i].size() - scan) / 3) << true;
        }
        QFile shared(QStringLiteral(ZORVAT_SOURCE_DIR "/tests/imaging/data/hostile/jpeg-arith-30000x30000-short.jpg"));
        QVERIFY(shared.open(QIODevice::ReadOnly));
        QTest::newRow("arithmetic-short-reproducer") << shared.readAll() << false;
    }

    void claimsBeyondTheBytesAreRefusedBeforeAllocating()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, allocates);
        const Read r = readBytes(bytes);
        QVERIFY(r.out.image.isNull());
        QVERIFY(r.out.error.contains(QStringLiteral("JPEG")) || r.out.error.contains(QStringLiteral("大きすぎ")));
        if (!allocates)
            QCOMPARE(r.largest, 0);
        QVERIFY(r.largest <= 4 * 160 * 120);
    }
};

ZORVAT_TEST_MAIN(TestJpegCodings)
#include "test_jpeg_codings.moc"
