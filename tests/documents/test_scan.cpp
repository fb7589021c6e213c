// The scan command with SANE's "test" device: the scan replaces the canvas
// through the temporary JPEG file, undo gives the scan back, and a missing
// scanner or a failed scan leaves everything as it was.
#include "shell/messages.h"
#include "testsupport/formfixture.h"
#include "testsupport/testmain.h"
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

using namespace testsupport;

namespace {
bool writeSaneConfig(const QString& dir, bool withDevice)
{
    QFile src("/etc/sane.d/test.conf");
    QFile dst(dir + "/test.conf"), dll(dir + "/dll.conf");
    if (!src.open(QIODevice::ReadOnly) || !dst.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !dll.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray conf = src.readAll();
    conf.replace("number_of_devices 2", "number_of_devices 1");
    dst.write(conf);
    dll.write(withDevice ? "test\n" : "\n");
    return true;
}
}

class TestScanCommand : public QObject {
    Q_OBJECT
    QTemporaryDir conf;
    QStringList shown;

private slots:
    void initTestCase()
    {
        if (!QFile::exists("/etc/sane.d/test.conf"))
            QSKIP("SANE's test device is not installed");
        qputenv("SANE_CONFIG_DIR", conf.path().toLocal8Bit());
        messages::override = [this](const QString& text) { shown << text; };
    }

    void init()
    {
        shown.clear();
        QVERIFY(writeSaneConfig(conf.path(), true));
    }

    void scanReplacesTheDrawingAndUndoGivesTheScan()
    {
        ProgramDir dir;
        Form1 f(QStringList{}, dir.path());
        f.Gf5Scan1.ExtraOptions = {{"test-picture", "Solid black"}};
        paintOnCanvas(f, QRect(0, 0, 50, 50), qRgb(255, 0, 0));
        gf5::Gf5Scan probe;
        if (probe.SelectSource() == 0)
            QSKIP("SANE's test device is not available");

        f.btnScan->click();
        QVERIFY(shown.isEmpty());
        const QImage scanned = canvasImage(f);
        // 80 x 100 mm at 200 dpi, decoded from the JPEG file.
        QVERIFY(qAbs(scanned.width() - 630) <= 2);
        QVERIFY(qAbs(scanned.height() - 787) <= 2);
        QVERIFY(qRed(scanned.pixel(10, 10)) < 16);
        QCOMPARE(f.DocumentPath, QString("NoName画像"));
        QVERIFY(f.windowTitle().contains("NoName画像"));
        QVERIFY(!QFile::exists(f.scanTempFile()));
        QVERIFY(!QFile::exists(dir.file("tmp.jpg")));

        f.btnUndo_Click();
        QCOMPARE(canvasImage(f).size(), scanned.size());
        QVERIFY(qRed(canvasImage(f).pixel(10, 10)) < 16); // not the red drawing
    }

    void noScannerOrFailedScanChangesNothing()
    {
        ProgramDir dir;
        Form1 f(QStringList{}, dir.path());
        const QImage before = canvasImage(f);
        const int live = gf5::ImageStore::liveCount();
        QVERIFY(writeSaneConfig(conf.path(), false));
        f.btnScan->click();
        QCOMPARE(shown, QStringList{"取り止めました"});

        // A device error: no message, canvas unchanged, and a temporary file
        // left by an earlier scan is not taken for the new picture.
        QVERIFY(writeSaneConfig(conf.path(), true));
        writePlan(f.scanTempFile(), 40, 30, "JPG");
        f.Gf5Scan1.ExtraOptions = {{"read-return-value", "SANE_STATUS_IO_ERROR"}};
        f.btnScan->click();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(canvasImage(f), before);
        QVERIFY(!QFile::exists(f.scanTempFile()));
        QCOMPARE(gf5::ImageStore::liveCount(), live);

        // A picture that cannot be written does not count as scanned.
        f.Gf5Scan1_ImageAcquired(987654);
        QVERIFY(!f.ScanDone);
        QVERIFY(!QFile::exists(f.scanTempFile()));
    }

    void scanWorksWithReadOnlyProgramFolder()
    {
        // An installed program folder cannot be written. Mode bits do not
        // stop root, so the folder here is also one that cannot exist (it
        // would lie under a plain file): no one can create files in it.
        ProgramDir dir;
        QFile plain(dir.file("plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const QString programFolder = dir.file("plain/zorvat");
        Form1 f(QStringList{}, programFolder);
        f.Gf5Scan1.ExtraOptions = {{"test-picture", "Solid black"}};
        f.btnScan->click();
        QVERIFY(shown.isEmpty());
        QCOMPARE(f.DocumentPath, QString("NoName画像"));
        QVERIFY(qAbs(canvasImage(f).width() - 630) <= 2);
        QVERIFY(!f.scanTempFile().startsWith(programFolder));
        QVERIFY(!QFile::exists(f.scanTempFile()));
    }
};

ZORVAT_TEST_MAIN(TestScanCommand)
#include "test_scan.moc"
