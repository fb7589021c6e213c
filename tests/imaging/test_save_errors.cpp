// Why a save failed, in Japanese: the system's error of the failed write is
// kept and told, never an English or "unknown" reason, and the old file stays.
#include "imaging/io/gf5file.h"
#include "imaging/io/savefile.h"
#include "imaging/store/imagestore.h"
#include "testsupport/testmain.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

using namespace gf5;

namespace {

QImage noise(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    quint32 v = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            v = v * 1103515245u + 12345u;
            img.setPixel(x, y, v >> 8);
        }
    return img;
}

// Keeps files written by this process below `bytes` while alive; a write
// beyond fails with EFBIG (the signal that would end the process is ignored).
struct FileSizeLimit {
    rlimit old{};
    void (*oldHandler)(int) = nullptr;
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = old;
        lower.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
};

} // namespace

class TestSaveErrors : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString save(const QImage& img, const QString& path, Gf5File::Operation op)
    {
        Gf5File file;
        file.ImageHandle = ImageStore::add(img);
        file.FileName = path;
        file.FileOperation = op;
        const int32_t ok = file.Execute();
        ImageStore::release(file.ImageHandle);
        return ok ? QString() : file.LastError;
    }

private slots:
    void commonCausesHaveTheirOwnJapaneseReason()
    {
        const QRegularExpression latin("[A-Za-z]");
        for (const int err : {EACCES, EPERM, ENOSPC, EDQUOT, EISDIR, ENOENT, ENOTDIR, EROFS})
            QVERIFY2(!io::writeErrorText(err).contains(latin), qPrintable(io::writeErrorText(err)));
        QCOMPARE(io::writeErrorText(EPERM), io::writeErrorText(EACCES));
        QCOMPARE(io::writeErrorText(EDQUOT), io::writeErrorText(ENOSPC));
        QCOMPARE(io::writeErrorText(ENOTDIR), io::writeErrorText(ENOENT));
        QSet<QString> distinct;
        for (const int err : {EACCES, ENOSPC, EISDIR, ENOENT, EROFS})
            distinct << io::writeErrorText(err);
        QCOMPARE(distinct.size(), 5);
        // Anything else: a Japanese sentence carrying the system's own text.
        const QString other = io::writeErrorText(EIO);
        QVERIFY(other.contains(QString::fromLocal8Bit(std::strerror(EIO))));
        QVERIFY(other.startsWith(QStringLiteral("書き込み中に")));
    }

    void savingOverAFolderOrIntoAMissingOne()
    {
        const QImage img = noise(20, 10);
        QVERIFY(QDir().mkpath(dir_.filePath("plan.jpg")));
        QCOMPARE(save(img, dir_.filePath("plan.jpg"), Gf5File::WriteJpeg),
                 QStringLiteral("書き込めませんでした: ") + io::writeErrorText(EISDIR));
        QCOMPARE(save(img, dir_.filePath("gone/plan.bmp"), Gf5File::WriteBmp),
                 QStringLiteral("書き込めませんでした: ") + io::writeErrorText(ENOENT));
    }

    // A write that fails part way (here the process's file size limit) is
    // reported with the system's reason, for both formats, and the old file
    // is kept as it was.
    void aWriteFailingPartWayTellsTheSystemsReason()
    {
        const QImage img = noise(600, 400);
        for (const auto op : {Gf5File::WriteJpeg, Gf5File::WriteBmp}) {
            const QString path = dir_.filePath(op == Gf5File::WriteJpeg ? "big.jpg" : "big.bmp");
            {
                QFile old(path);
                QVERIFY(old.open(QIODevice::WriteOnly));
                old.write("old");
            }
            QString error;
            {
                FileSizeLimit limit(20000);
                error = save(img, path, op);
            }
            QCOMPARE(error, QStringLiteral("書き込めませんでした: ") + io::writeErrorText(EFBIG));
            QFile old(path);
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), QByteArray("old"));
            QCOMPARE(QDir(dir_.path()).entryList({"big.*"}, QDir::Files | QDir::Hidden).size(), op == Gf5File::WriteJpeg ? 1 : 2);
        }
    }
};

ZORVAT_TEST_MAIN(TestSaveErrors)
#include "test_save_errors.moc"
