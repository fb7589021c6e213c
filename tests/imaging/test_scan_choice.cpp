// Several scanners: the user picks one, or cancels the choice.
#include "imaging/scan/gf5scan.h"
#include "testsupport/saneconfig.h"
#include "testsupport/testmain.h"
#include <QTemporaryDir>

using namespace gf5;

class TestScanChoice : public QObject {
    Q_OBJECT
    QTemporaryDir conf;

private slots:
    void initTestCase()
    {
        if (!testsupport::writeSaneTestConfig(conf.path(), 2))
            QSKIP("SANE's test device is not installed");
        qputenv("SANE_CONFIG_DIR", conf.path().toLocal8Bit());
    }

    void cleanup() { Gf5Scan::chooserOverride = nullptr; }

    void userPicksAmongSeveral()
    {
        int asked = 0, choosing = 0;
        QStringList offered;
        Gf5Scan::chooserOverride = [&](const QStringList& devices) {
            ++asked;
            offered = devices;
            return 1;
        };
        Gf5Scan scan;
        connect(&scan, &Gf5Scan::ChoosingSource, [&] { ++choosing; });
        QVERIFY(scan.SelectSource() != 0);
        QCOMPARE(asked, 1);
        QCOMPARE(choosing, 1);
        QCOMPARE(offered.size(), 2);
        QCOMPARE(scan.SourceName(), QString("test:1"));
        QVERIFY(scan.Acquire() != 0);

        Gf5Scan::chooserOverride = [](const QStringList&) { return -1; };
        Gf5Scan cancelled;
        QCOMPARE(cancelled.SelectSource(), 0);
        QCOMPARE(cancelled.LastFailure, Gf5Scan::Failure::Cancelled);
        QCOMPARE(cancelled.Acquire(), 0);
    }
};

ZORVAT_TEST_MAIN(TestScanChoice)
#include "test_scan_choice.moc"
