// Only regular files are read as pictures: a named pipe without a writer, a
// device that never ends, a socket and a folder are each refused at once,
// with a message, by every reading entry point (open, header peek,
// thumbnails); a regular file beside them still opens.
#include "imaging/io/imageread.h"
#include "imaging/widgets/thumbload.h"
#include "testsupport/testmain.h"
#include <QElapsedTimer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace gf5;

class TestSpecialFiles : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int socket_ = -1;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(::mkfifo(QFile::encodeName(dir_.filePath("pipe.jpg")).constData(), 0600) == 0);
        QVERIFY(QDir(dir_.path()).mkdir("folder.png"));
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(socket_ >= 0);
        sockaddr_un addr = {};
        addr.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(dir_.filePath("socket.bmp"));
        QVERIFY(size_t(name.size()) < sizeof(addr.sun_path));
        std::memcpy(addr.sun_path, name.constData(), size_t(name.size()));
        QVERIFY(::bind(socket_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0);
        QImage img(30, 20, QImage::Format_RGB32);
        img.fill(qRgb(10, 20, 30));
        QVERIFY(QImageWriter(dir_.filePath("good.png")).write(img));
    }

    void cleanupTestCase()
    {
        if (socket_ >= 0)
            ::close(socket_);
    }

    void specialFilesAreRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("fifo") << dir_.filePath("pipe.jpg");
        QTest::newRow("folder") << dir_.filePath("folder.png");
        QTest::newRow("socket") << dir_.filePath("socket.bmp");
        QTest::newRow("endless device") << QStringLiteral("/dev/zero");
        QTest::newRow("missing") << dir_.filePath("missing.jpg");
    }

    void specialFilesAreRefusedAtOnce()
    {
        QFETCH(QString, path);
        QElapsedTimer timer;
        timer.start();
        const io::ReadOutcome read = io::readImageFile(path, nullptr);
        QVERIFY(read.image.isNull());
        QVERIFY(!read.error.isEmpty());
        QVERIFY2(read.error.contains(path), qPrintable(read.error));
        const io::ImagePeek peek = io::peekImageFile(path);
        QVERIFY(!peek.size.isValid());
        QVERIFY(!peek.error.isEmpty());
        QVERIFY(loadThumbnail(path, QSize(48, 48)).isNull());
        QVERIFY(timer.elapsed() < 2000);
    }

    void aRegularFileOpensAndPeeks()
    {
        const QString path = dir_.filePath("good.png");
        const io::ReadOutcome read = io::readImageFile(path, nullptr);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.image.pixel(29, 19), qRgb(10, 20, 30));
        QCOMPARE(io::peekImageFile(path).size, QSize(30, 20));
        QVERIFY(!loadThumbnail(path, QSize(48, 48)).isNull());

        // The header alone gives each format's size.
        const QString data = QStringLiteral(ZORVAT_SOURCE_DIR "/tests/imaging/data/");
        QCOMPARE(io::peekImageFile(data + "jpeg/arithmetic-blank-a4.jpg").size, QSize(2480, 3508));
        QCOMPARE(io::peekImageFile(data + "conformance/bmpsuite/g/pal8os2.bmp").size, QSize(127, 64));
        QCOMPARE(io::peekImageFile(data + "conformance/bmpsuite/g/pal8topdown.bmp").size, QSize(127, 64));
        // 16000 x 16000 is a gigabyte while edited: the editor asks first.
        QVERIFY(io::editingBytes(QSize(16000, 16000)) > io::kLargePictureBytes);
        QVERIFY(io::editingBytes(QSize(7016, 9921)) < io::kLargePictureBytes); // A3 at 600 dpi
    }
};

ZORVAT_TEST_MAIN(TestSpecialFiles)
#include "test_special_files.moc"
