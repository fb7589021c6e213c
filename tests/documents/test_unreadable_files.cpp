// Pictures that cannot be read, through every way the window reads one (the
// open dialog, the command line, a drop, a revert, the parts preview): the
// user is told which file and why, and the canvas keeps what it showed. A
// read of a file still being written shows the progress window, whose
// cancel leaves everything as it was.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "testsupport/imagecompare.h"
#include "shell/messages.h"
#include "shell/progress_window.h"
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPushButton>
#include <QtEndian>
#include <atomic>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace testsupport;

namespace {

struct Told {
    QStringList shown, asked;
    Told()
    {
        messages::override = [this](const QString& t) { shown << t; };
        messages::askOverride = [this](const QString& t) {
            asked << t;
            return true;
        };
    }
    ~Told()
    {
        messages::override = nullptr;
        messages::askOverride = nullptr;
    }
};

QByteArray jpegBytes(const QImage& img)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(img);
    return bytes;
}

// A BMP header claiming a picture wider than any the program makes.
QByteArray hugeBmpHeader()
{
    QByteArray d(54 + 256 * 4 + 64, '\0');
    uchar* p = reinterpret_cast<uchar*>(d.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(d.size()), p + 2);
    qToLittleEndian<quint32>(54 + 256 * 4, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(200000, p + 18);
    qToLittleEndian<qint32>(200000, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(8, p + 28);
    return d;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Makes path what the case names: gone, a folder, a named pipe, or bytes.
bool makeUnreadable(const QString& path, const QString& kind)
{
    QFile::remove(path);
    const QByteArray native = QFile::encodeName(path);
    if (kind == "missing")
        return true;
    if (kind == "folder")
        return ::mkdir(native.constData(), 0700) == 0;
    if (kind == "pipe")
        return ::mkfifo(native.constData(), 0600) == 0;
    if (kind == "truncated")
        return writeBytes(path, jpegBytes(QImage(QSize(200, 150), QImage::Format_RGB32)).left(600));
    if (kind == "text")
        return writeBytes(path, "these are notes, not a picture\n");
    if (kind == "huge")
        return writeBytes(path, hugeBmpHeader());
    return false;
}

} // namespace

class UnreadableFilesTest : public QObject {
    Q_OBJECT
private slots:
    void everyWayOfReadingSaysWhyAndKeepsTheCanvas_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        const QList<QPair<QString, QString>> kinds = {
            {"missing", "見つかりません"},
            {"folder", "フォルダーは画像として開けません"},
            {"pipe", "通常のファイルではありません"},
            {"truncated", "途中で切れています"},
            {"text", "画像として読み込めませんでした"},
            {"huge", "メモリーに収まりません"},
        };
        for (const QString way : {"dialog", "command line", "drop", "revert", "parts preview"})
            for (const auto& [kind, reason] : kinds)
                QTest::newRow(qPrintable(way + " " + kind)) << way << kind << reason;
    }

    void everyWayOfReadingSaysWhyAndKeepsTheCanvas()
    {
        QFETCH(QString, way);
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        ProgramDir dir;
        const QString good = writePlan(dir.file("plan.bmp"));
        // The file read is the document's own for a revert.
        const QString bad = way == "revert" ? good : dir.file(kind == "huge" ? "picture.bmp" : "picture.jpg");
        Told told;
        std::unique_ptr<MainWindow> f;
        if (way == "command line") {
            QVERIFY(makeUnreadable(bad, kind));
            f = std::make_unique<MainWindow>(QStringList{bad}, dir.path());
            QCOMPARE(f->dspCanvas->ImageHandle(), 0);
        } else {
            f = std::make_unique<MainWindow>(QStringList{good}, dir.path());
            QVERIFY(makeUnreadable(bad, kind));
            const QImage before = canvasImage(*f);
            const int alive = gf5::ImageStore::liveCount();
            FileDialogs dialogs;
            dialogs.answer = bad;
            if (way == "dialog")
                f->btnOpen_Click();
            else if (way == "drop")
                emit f->dspCanvas->FileDropped(bad);
            else if (way == "revert")
                f->btnSaveVertion_Click();
            else
                f->btnBuhinRead_Click();
            COMPARE_IMAGES(canvasImage(*f), before, "kept");
            QCOMPARE(f->document.path(), good);
            QCOMPARE(f->dspPreview->ImageHandle(), 0);
            QCOMPARE(gf5::ImageStore::liveCount(), alive);
        }
        QCOMPARE(told.shown.size(), 1);
        const QString& text = told.shown[0];
        QVERIFY2(text.contains("「" + QFileInfo(bad).fileName() + "」を開けませんでした") && text.contains(reason),
                 qPrintable(text));
        QVERIFY(told.asked.isEmpty()); // no question about a picture that cannot be made
    }

    void aFileStillBeingWrittenIsFollowedOrLeftFromTheProgressWindow()
    {
        ProgramDir dir;
        QImage picture(400, 300, QImage::Format_RGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
        const QByteArray whole = jpegBytes(picture);
        const QString path = dir.file("arriving.jpg");

        for (const bool cancel : {false, true}) {
            QVERIFY(writeBytes(path, whole.left(2000)));
            MainWindow f({}, dir.path());
            const int32_t before = f.dspCanvas->ImageHandle();
            Told told;
            FileDialogs dialogs;
            dialogs.answer = path;
            // The writer adds a piece at a time; a cancelled read leaves it
            // stalled half way, as a broken network copy would.
            std::atomic<bool> stop{false};
            QFile out(path);
            QVERIFY(out.open(QIODevice::Append));
            std::thread writer([&] {
                const int stallAt = cancel ? whole.size() / 2 : whole.size();
                for (int at = 2000; at < stallAt && !stop; at += 4000) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(40));
                    out.write(whole.mid(at, std::min(4000, stallAt - at)));
                    out.flush();
                }
                while (cancel && !stop)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            });
            bool windowSeen = false;
            QObject::connect(&f.fileIo, &gf5::Gf5File::Progress, &f, [&](int16_t) {
                windowSeen = windowSeen || (f.progressWindow && f.progressWindow->isVisible());
                if (cancel && windowSeen)
                    QTest::mouseClick(f.progressWindow->btnCancel, Qt::LeftButton);
            });
            f.btnOpen_Click();
            stop = true;
            writer.join();
            out.close();
            QVERIFY(windowSeen);
            QVERIFY(!f.progressWindow->isVisible());
            QVERIFY2(told.shown.isEmpty(), qPrintable(told.shown.join('\n')));
            if (cancel) {
                QCOMPARE(f.dspCanvas->ImageHandle(), before);
                QCOMPARE(f.document.path(), QString("新規イメージ"));
            } else {
                QCOMPARE(f.document.path(), path);
                QCOMPARE(canvasImage(f).size(), picture.size());
                QCOMPARE(canvasImage(f).pixel(399, 299), QImage::fromData(whole).pixel(399, 299));
            }
        }
    }
};

ZORVAT_TEST_MAIN(UnreadableFilesTest)
#include "test_unreadable_files.moc"
