// The scan command with SANE's "test" device: the scan replaces the canvas
// through the temporary JPEG file, undo gives the scan back, the progress
// window's 中止 stops a scan, and a failed scan leaves everything as it was.
#include "shell/progress_window.h"
#include "shell/messages.h"
#include "testsupport/formfixture.h"
#include "testsupport/saneconfig.h"
#include "testsupport/testmain.h"
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace testsupport;


class TestScanCommand : public QObject {
    Q_OBJECT
    QTemporaryDir conf;
    QStringList shown;

private slots:
    void initTestCase()
    {
        if (!writeSaneTestConfig(conf.path(), 1))
            QSKIP("SANE's test device is not installed");
        qputenv("SANE_CONFIG_DIR", conf.path().toLocal8Bit());
        messages::override = [this](const QString& text) { shown << text; };
    }

    void init() { shown.clear(); }

    void scanReplacesTheDrawingAndUndoGivesTheScan()
    {
        ProgramDir dir;
        MainWindow f(QStringList{}, dir.path());
        f.scanner.ExtraOptions = plainTestDevice({{"test-picture", "Solid black"}});
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
        QCOMPARE(f.document.path(), QString("NoName画像"));
        QVERIFY(f.windowTitle().contains("NoName画像"));
        QCOMPARE(qRound(f.document.dpi()), 200); // what 原寸 prints at
        QVERIFY(!QFile::exists(f.scanTempFile()));
        QVERIFY(!QFile::exists(dir.file("tmp.jpg")));

        f.btnUndo_Click();
        QCOMPARE(canvasImage(f).size(), scanned.size());
        QVERIFY(qRed(canvasImage(f).pixel(10, 10)) < 16); // not the red drawing
    }

    void failedOrCancelledScanChangesNothing()
    {
        ProgramDir dir;
        MainWindow f(QStringList{}, dir.path());
        const QImage before = canvasImage(f);
        const QString name = f.document.path();
        const int live = gf5::ImageStore::liveCount();

        // A device error: no message, canvas unchanged, and a temporary file
        // left by an earlier scan is not taken for the new picture.
        writePlan(f.scanTempFile(), 40, 30, "JPG");
        f.scanner.ExtraOptions = plainTestDevice({{"read-return-value", "SANE_STATUS_IO_ERROR"}});
        f.btnScan->click();
        QVERIFY(shown.isEmpty());
        QCOMPARE(canvasImage(f), before);
        QVERIFY(!QFile::exists(f.scanTempFile()));
        QCOMPARE(gf5::ImageStore::liveCount(), live);

        // A slow scan shows the progress window with a rising number; 中止
        // stops it and the canvas stays as it was.
        f.scanner.Resolution = 300;
        f.scanner.ExtraOptions = plainTestDevice(
            {{"read-limit", true}, {"read-limit-size", 8192}, {"read-delay", true}, {"read-delay-duration", 100000}});
        int percent = -1;
        bool visible = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            ProgressWindow* w = f.progressWindow;
            if (!w || !w->isVisible() || w->lblPercent->text().toInt() < 3)
                return;
            visible = true;
            percent = w->lblPercent->text().toInt();
            poll.stop();
            w->btnCancel->click();
        });
        poll.start(20);
        QElapsedTimer t;
        t.start();
        f.btnScan->click();
        QVERIFY(visible);
        QVERIFY(percent >= 3 && percent < 100);
        QVERIFY(t.elapsed() < 8000);
        QVERIFY(!f.progressWindow->isVisible());
        QVERIFY(shown.isEmpty());
        QCOMPARE(canvasImage(f), before);
        QCOMPARE(f.document.path(), name);
        QVERIFY(!QFile::exists(f.scanTempFile()));
        QCOMPARE(gf5::ImageStore::liveCount(), live);

        // A picture that cannot be written does not count as scanned.
        f.scanner_ImageAcquired(987654);
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
        MainWindow f(QStringList{}, programFolder);
        f.scanner.ExtraOptions = plainTestDevice({{"test-picture", "Solid black"}});
        f.btnScan->click();
        QVERIFY(shown.isEmpty());
        QCOMPARE(f.document.path(), QString("NoName画像"));
        QVERIFY(qAbs(canvasImage(f).width() - 630) <= 2);
        QVERIFY(!f.scanTempFile().startsWith(programFolder));
        QVERIFY(!QFile::exists(f.scanTempFile()));
    }
};

ZORVAT_TEST_MAIN(TestScanCommand)
#include "test_scan.moc"
