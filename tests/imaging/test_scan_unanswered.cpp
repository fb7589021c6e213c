// A network scanner that never answers: listing the devices is given up
// after the time limit while the caller's events keep running, a cancel
// ends the wait at once, and once the scanner is gone no scanner is found.
#include "imaging/scan/gf5scan.h"
#include "testsupport/saneconfig.h"
#include "testsupport/testmain.h"
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>

using namespace gf5;

class TestScanUnanswered : public QObject {
    Q_OBJECT
    QTemporaryDir conf;
    testsupport::SilentScanner silent;

private slots:
    void initTestCase()
    {
        if (!silent.isListening())
            QSKIP("no loopback address could take the scanner port");
        QVERIFY(silent.install(conf.path()));
    }

    void silentScannerIsGivenUp()
    {
        Gf5Scan scan;
        scan.DiscoveryLimitMs = 1000;
        QList<int> seen;
        connect(&scan, &Gf5Scan::Progress, [&](int16_t p) { seen << p; });
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(20);
        QElapsedTimer t;
        t.start();
        QCOMPARE(scan.SelectSource(), 0);
        QCOMPARE(scan.LastFailure, Gf5Scan::Failure::NoAnswer);
        QVERIFY(t.elapsed() >= 900);
        QVERIFY(t.elapsed() < 3000);
        QVERIFY2(ticks >= 20, qPrintable(QString::number(ticks))); // events kept running
        QVERIFY(seen.size() >= 3);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));

        // Asking again while the first listing still hangs waits for that
        // one: the limit holds and no second listing piles up behind it.
        t.restart();
        QCOMPARE(scan.SelectSource(), 0);
        QCOMPARE(scan.LastFailure, Gf5Scan::Failure::NoAnswer);
        QVERIFY(t.elapsed() < 3000);

        // A cancel ends the wait at once.
        scan.DiscoveryLimitMs = 20000;
        QTimer::singleShot(200, [&] { scan.CancelRequested = true; });
        t.restart();
        QCOMPARE(scan.SelectSource(), 0);
        QCOMPARE(scan.LastFailure, Gf5Scan::Failure::Cancelled);
        QVERIFY(t.elapsed() < 2000);

        // The scanner goes away: the listing ends, and finds no scanner.
        silent.close();
        t.restart();
        QCOMPARE(scan.SelectSource(), 0);
        QCOMPARE(scan.LastFailure, Gf5Scan::Failure::NoDevice);
        QVERIFY(t.elapsed() < 10000);
    }
};

ZORVAT_TEST_MAIN(TestScanUnanswered)
#include "test_scan_unanswered.moc"
