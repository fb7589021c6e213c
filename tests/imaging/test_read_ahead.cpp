// A file read ahead (while the window is built) is what the next read of
// it gives, never a stale picture: the file changed since, or another file
// read first, means a read of its own.
#include "imaging/io/gf5file.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QTemporaryDir>

using namespace gf5;

namespace {

QImage plain(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    img.setPixel(3, 2, qRgb(1, 2, 3));
    return img;
}

struct Read {
    QImage image;
    int progressReports = 0;
};

Read execute(const QString& path)
{
    Gf5File file;
    file.FileName = path;
    file.FileOperation = Gf5File::Read;
    Read out;
    QObject::connect(&file, &Gf5File::Progress, [&out](int16_t) { ++out.progressReports; });
    if (file.Execute() != 0) {
        out.image = ImageStore::image(file.ImageHandle)->copy();
        ImageStore::release(file.ImageHandle);
    }
    return out;
}

} // namespace

class TestReadAhead : public QObject {
    Q_OBJECT
private slots:
    void readsTakeTheReadAheadOnlyForTheSameUnchangedFile_data()
    {
        QTest::addColumn<bool>("rewrite");  // the file replaced after the read ahead
        QTest::addColumn<bool>("otherFirst"); // another file read before it
        QTest::addColumn<bool>("taken");    // the read ahead's picture used
        QTest::newRow("same file") << false << false << true;
        QTest::newRow("file replaced since") << true << false << false;
        QTest::newRow("another file read first") << false << true << false;
    }

    void readsTakeTheReadAheadOnlyForTheSameUnchangedFile()
    {
        QFETCH(bool, rewrite);
        QFETCH(bool, otherFirst);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        const QString path = dir.filePath("plan.bmp"), other = dir.filePath("other.bmp");
        const QImage first = plain(300, 200, qRgb(200, 10, 10));
        const QImage second = plain(310, 190, qRgb(10, 200, 10));
        const QImage unrelated = plain(50, 40, qRgb(10, 10, 200));
        QVERIFY(first.save(path, "BMP"));
        QVERIFY(unrelated.save(other, "BMP"));

        Gf5File::readAhead(path);
        if (rewrite)
            QVERIFY(second.save(path, "BMP"));
        if (otherFirst)
            COMPARE_IMAGES(execute(other).image, unrelated, "read-ahead-other");

        const Read read = execute(path);
        COMPARE_IMAGES(read.image, rewrite ? second : first, "read-ahead");
        // A read of its own reports progress; the read ahead's result comes
        // without any.
        QCOMPARE(read.progressReports == 0, taken);
        // Taken or dropped, it is gone: the next read is a read of its own.
        QVERIFY(execute(path).progressReports > 0);
    }
};

ZORVAT_TEST_MAIN(TestReadAhead)
#include "test_read_ahead.moc"
