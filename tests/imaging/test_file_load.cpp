// Reading a file's bytes in the background: a file that stops growing ends
// the read with what arrived (and the picture is then refused as cut
// short), the caller can leave a read that waits, a head-only read stops
// early, and the end of each format is told from its bytes.
#include "imaging/io/fileload.h"
#include "imaging/io/imageread.h"
#include "testsupport/testmain.h"
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

using namespace gf5;

namespace {

QByteArray encoded(const char* format)
{
    // Noise, so that no format packs it into a few hundred bytes.
    QImage img(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb((x * 7919 + y * 104729) % 251, (x * y * 31) % 253, (x ^ y) * 3));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(img);
    return bytes;
}

bool writeBytes(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode = QIODevice::WriteOnly)
{
    QFile f(path);
    return f.open(mode) && f.write(bytes) == bytes.size();
}

bool whole(const QByteArray& b) { return io::looksWhole(reinterpret_cast<const uchar*>(b.constData()), b.size()); }

} // namespace

class TestFileLoad : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void theEndOfEachFormatIsToldFromItsBytes()
    {
        for (const char* format : {"jpeg", "png", "bmp"}) {
            const QByteArray bytes = encoded(format);
            QVERIFY2(whole(bytes), format);
            QVERIFY2(!whole(bytes.left(bytes.size() - 1)), format);
            QVERIFY2(!whole(bytes.left(bytes.size() / 2)), format);
        }
        QVERIFY(whole(QByteArray("GIF89a and the rest")));
    }

    void aFileThatStopsGrowingEndsTheReadWithWhatArrived()
    {
        const QByteArray bytes = encoded("png");
        const QString path = dir_.filePath("stalled.png");
        QVERIFY(writeBytes(path, bytes.left(100)));
        // The writer keeps the file open, adds a piece and stalls.
        QFile out(path);
        QVERIFY(out.open(QIODevice::Append));
        std::thread writer([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            out.write(bytes.mid(100, 200));
            out.flush();
        });
        io::GrowthPatience patience;
        patience.settleMs = 300;
        const io::LoadedFile read = io::loadFile(path, nullptr, 0, patience);
        writer.join();
        out.close();
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QVERIFY(bytes.size() > 1000);
        QCOMPARE(read.bytes, bytes.left(300)); // the piece written during the read too

        // A picture cut short is refused as such once its writer has gone.
        const io::ReadOutcome open = io::readImageFile(path, nullptr);
        QVERIFY(open.image.isNull());
        QVERIFY2(open.error.contains(QStringLiteral("途中で切れています")), qPrintable(open.error));
    }

    void aWaitingReadIsLeftAtTheNextReport()
    {
        const QByteArray bytes = encoded("jpeg");
        const QString path = dir_.filePath("waiting.jpg");
        QVERIFY(writeBytes(path, bytes.left(300)));
        std::atomic<bool> stop{false};
        QFile out(path);
        QVERIFY(out.open(QIODevice::Append));
        std::thread writer([&] {
            // Grows a byte now and then, never reaching the end.
            for (int at = 300; !stop && at < bytes.size() - 10; ++at) {
                out.write(bytes.mid(at, 1));
                out.flush();
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        int reports = 0;
        const io::ReadOutcome read = io::readImageFile(path, [&](int percent) {
            [&] { QVERIFY(percent >= 0 && percent <= 50); }();
            return ++reports < 3;
        });
        stop = true;
        writer.join();
        QCOMPARE(reports, 3);
        QVERIFY(read.image.isNull());
        QVERIFY(read.stopped);
        QCOMPARE(read.error, QStringLiteral("読み込みを中止しました"));
    }

    void aFileShortenedWhileItsRecordsAreTakenIsReadAgainWhole()
    {
        // Records of 1000 bytes after a 100-byte head, 3 MB in all.
        QByteArray bytes(100 + 3000 * 1000, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7 % 251);
        const QString path = dir_.filePath("shortened.dat");
        QVERIFY(writeBytes(path, bytes));
        constexpr qint64 kShort = 1500 * 1000;
        qint64 taken = 0, asked = 0;
        const auto divert = [&](const uchar*, qint64, qint64 fileSize) {
            ++asked;
            io::Diversion d;
            d.sink = std::make_shared<io::RecordSink>();
            d.sink->offset = 100;
            d.sink->stride = d.sink->lastBytes = 1000;
            d.sink->count = (fileSize - 100) / 1000;
            d.sink->take = [&, path](qint64 first, qint64 n, const uchar* data, QString&) {
                // Another program cuts the file short while it is read.
                if (taken == 0)
                    QFile::resize(path, kShort);
                taken += n;
                return first >= 0 && data[0] == uchar((100 + first * 1000) * 7 % 251);
            };
            return d;
        };
        const io::LoadedFile read = io::loadFile(path, nullptr, 0, io::GrowthPatience(), divert);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QVERIFY(!read.diverted);
        QCOMPARE(asked, 1);
        QVERIFY(taken > 0 && taken < 3000);
        QCOMPARE(read.bytes, bytes.left(kShort));
    }

    void aHeadOnlyReadStopsAtItsLimit()
    {
        const QByteArray bytes = encoded("bmp");
        const QString path = dir_.filePath("head.bmp");
        QVERIFY(writeBytes(path, bytes));
        const io::LoadedFile head = io::loadFile(path, nullptr, 54);
        QCOMPARE(head.bytes, bytes.left(54));
        QCOMPARE(io::peekImageFile(path).size, QSize(64, 48));
    }
};

ZORVAT_TEST_MAIN(TestFileLoad)
#include "test_file_load.moc"
