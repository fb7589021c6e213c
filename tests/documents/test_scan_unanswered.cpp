// The scan command with a network scanner that never answers: the progress
// window is up while the scanners are listed, the wait ends at the time
// limit with a Japanese message, and with no scanner at all the command
// says "取り止めました". The canvas never changes.
#include "shell/progress_window.h"
#include "shell/messages.h"
#include "testsupport/formfixture.h"
#include "testsupport/saneconfig.h"
#include "testsupport/testmain.h"
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace testsupport;

class TestScanUnanswered : public QObject {
    Q_OBJECT
    QTemporaryDir conf;
    SilentScanner silent;
    QStringList shown;

private slots:
    void initTestCase()
    {
        if (!silent.isListening())
            QSKIP("no loopback address could take the scanner port");
        QVERIFY(silent.install(conf.path()));
        messages::override = [this](const QString& text) { shown << text; };
    }

    void silentScannerIsReportedAndMissingScannerCancels()
    {
        ProgramDir dir;
        MainWindow f(QStringList{}, dir.path());
        paintOnCanvas(f, QRect(0, 0, 20, 20), qRgb(255, 0, 0));
        const QImage before = canvasImage(f);
        f.scanner.DiscoveryLimitMs = 1000;
        bool windowSeen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            windowSeen = windowSeen || (f.progressWindow && f.progressWindow->isVisible());
        });
        poll.start(20);
        QElapsedTimer t;
        t.start();
        f.btnScan->click();
        QVERIFY(t.elapsed() < 4000);
        QVERIFY(windowSeen);
        QVERIFY(!f.progressWindow->isVisible());
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].startsWith("スキャナが応答しませんでした"));
        QCOMPARE(canvasImage(f), before);

        // 中止 while the scanners are listed abandons the selection.
        f.scanner.DiscoveryLimitMs = 20000;
        QTimer::singleShot(200, [&] { f.progressWindow->btnCancel->click(); });
        t.restart();
        f.btnScan->click();
        QVERIFY(t.elapsed() < 3000);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1], QString("取り止めました"));

        // The scanner is gone: nothing is found.
        silent.close();
        f.btnScan->click();
        QCOMPARE(shown.size(), 3);
        QCOMPARE(shown[2], QString("取り止めました"));
        QCOMPARE(canvasImage(f), before);
    }
};

ZORVAT_TEST_MAIN(TestScanUnanswered)
#include "test_scan_unanswered.moc"
