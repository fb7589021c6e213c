// Scanning through SANE's "test" device: choosing a source, the pixel
// formats a scanner can deliver, progress, and failures that must end
// cleanly. SANE reads its configuration once per program, so other device
// setups have test programs of their own.
#include "imaging/scan/gf5scan.h"
#include "imaging/store/imagestore.h"
#include "testsupport/saneconfig.h"
#include "testsupport/testmain.h"
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

using namespace gf5;
using testsupport::plainTestDevice;
using testsupport::writeSaneTestConfig;

namespace {

struct Scan {
    QImage image;
    int32_t ok = 0;
    int events = 0;
};

Scan scanWith(const QVector<QPair<QString, QVariant>>& options, int16_t setting = 1)
{
    Gf5Scan scan;
    Scan out;
    if (scan.SelectSource() == 0)
        return out;
    scan.ScanSetting = setting;
    scan.Resolution = 50;
    scan.ExtraOptions = plainTestDevice(options);
    QObject::connect(&scan, &Gf5Scan::ImageAcquired, [&](int32_t h) {
        ++out.events;
        if (const QImage* img = ImageStore::image(h))
            out.image = *img;
        ImageStore::release(h);
    });
    out.ok = scan.Acquire();
    return out;
}

} // namespace

class TestScan : public QObject {
    Q_OBJECT
    QTemporaryDir conf;

private slots:
    void initTestCase()
    {
        if (!writeSaneTestConfig(conf.path(), 1))
            QSKIP("SANE's test device is not installed");
        qputenv("SANE_CONFIG_DIR", conf.path().toLocal8Bit());
        Gf5Scan probe;
        if (probe.SelectSource() == 0)
            QSKIP("SANE's test device is not available");
        Gf5Scan::chooserOverride = nullptr;
    }

    void oneScannerIsTakenWithoutAsking()
    {
        int asked = 0;
        Gf5Scan::chooserOverride = [&](const QStringList&) { return ++asked, 0; };
        Gf5Scan scan;
        QVERIFY(scan.SelectSource() != 0);
        QCOMPARE(scan.SourceName(), QString("test:0"));
        QCOMPARE(asked, 0);
        QCOMPARE(scan.LastFailure, Gf5Scan::Failure::None);
        Gf5Scan::chooserOverride = nullptr;
        QCOMPARE(Gf5Scan().Acquire(), 0); // nothing selected: nothing scanned
    }

    void pixelFormats_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("depth");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QRgb>("expected");
        for (int depth : {1, 8, 16}) {
            for (const char* mode : {"Gray", "Color"}) {
                QTest::addRow("%s %d black", mode, depth) << mode << depth << "Solid black" << qRgb(0, 0, 0);
                QTest::addRow("%s %d white", mode, depth) << mode << depth << "Solid white" << qRgb(255, 255, 255);
            }
        }
    }

    void pixelFormats()
    {
        QFETCH(QString, mode);
        QFETCH(int, depth);
        QFETCH(QString, picture);
        QFETCH(QRgb, expected);
        const int before = ImageStore::liveCount();
        const Scan s = scanWith({{"mode", mode}, {"depth", depth}, {"test-picture", picture}}, 0);
        QVERIFY(s.ok != 0);
        QCOMPARE(s.events, 1);
        QCOMPARE(ImageStore::liveCount(), before);
        QCOMPARE(s.image.format(), QImage::Format_RGB32);
        // The test device scans 80 x 100 mm by default.
        QVERIFY(qAbs(s.image.width() - 157) <= 2);
        QVERIFY(qAbs(s.image.height() - 197) <= 2);
        QCOMPARE(qRound(s.image.dotsPerMeterX() * 0.0254), 50);
        for (QPoint p : {QPoint(0, 0), QPoint(s.image.width() - 1, s.image.height() - 1), QPoint(70, 90)})
            QCOMPARE(s.image.pixel(p) & 0xFFFFFF, expected & 0xFFFFFF);
    }

    void colourSettingAndFrames()
    {
        // Setting 1 asks for colour: the pattern shows non-grey pixels.
        const Scan colour = scanWith({{"test-picture", "Color pattern"}});
        QVERIFY(colour.ok != 0);
        int coloured = 0;
        for (int y = 0; y < colour.image.height(); y += 3)
            for (int x = 0; x < colour.image.width(); x += 3) {
                const QRgb c = colour.image.pixel(x, y);
                coloured += qRed(c) != qGreen(c) || qGreen(c) != qBlue(c);
            }
        QVERIFY(coloured > 100);
        // A three-pass scanner sends red, green and blue apart: same picture.
        const Scan threePass = scanWith({{"test-picture", "Color pattern"}, {"three-pass", true}});
        QVERIFY(threePass.ok != 0);
        QCOMPARE(threePass.image, colour.image);
        // A hand-held scanner announces no height: rows are taken as they come.
        const Scan hand = scanWith({{"test-picture", "Solid black"}, {"hand-scanner", true}});
        QVERIFY(hand.ok != 0);
        QVERIFY(hand.image.height() > 10);
        QCOMPARE(hand.image.pixel(5, hand.image.height() - 1) & 0xFFFFFF, 0u);
    }

    void failuresReturnZeroWithoutImage()
    {
        const int before = ImageStore::liveCount();
        const Scan broken = scanWith({{"read-return-value", "SANE_STATUS_IO_ERROR"}});
        QCOMPARE(broken.ok, 0);
        QCOMPARE(broken.events, 0);
        QCOMPARE(ImageStore::liveCount(), before);

        // A cancel during a slow scan ends it promptly; the caller's events
        // run meanwhile (a cancel button must stay pressable).
        Gf5Scan scan;
        QVERIFY(scan.SelectSource() != 0);
        scan.Resolution = 300;
        scan.ExtraOptions = plainTestDevice({{"read-limit", true}, {"read-limit-size", 2000}, {"read-delay", true},
                                           {"read-delay-duration", 200000}});
        int events = 0;
        connect(&scan, &Gf5Scan::ImageAcquired, [&](int32_t h) {
            ++events;
            ImageStore::release(h);
        });
        QTimer::singleShot(300, [&] { scan.CancelRequested = true; });
        QElapsedTimer t;
        t.start();
        QCOMPARE(scan.Acquire(), 0);
        QVERIFY(t.elapsed() < 5000);
        QCOMPARE(scan.LastFailure, Gf5Scan::Failure::Cancelled);
        QCOMPARE(events, 0);
        QCOMPARE(ImageStore::liveCount(), before);
        // The device is usable again afterwards.
        scan.ExtraOptions = plainTestDevice({});
        scan.Resolution = 50;
        QVERIFY(scan.Acquire() != 0);
        QCOMPARE(events, 1);
    }

    void progressRisesAndSilentDeviceIsGivenUp()
    {
        Gf5Scan scan;
        QVERIFY(scan.SelectSource() != 0);
        scan.Resolution = 100;
        // About 370 KB of colour rows; the device pauses 100 ms after each
        // buffer it sends.
        scan.ExtraOptions = plainTestDevice({{"test-picture", "Solid black"}, {"read-limit", true},
                                           {"read-limit-size", 8192}, {"read-delay", true},
                                           {"read-delay-duration", 100000}});
        QList<int> seen;
        connect(&scan, &Gf5Scan::Progress, [&](int16_t p) { seen << p; });
        QImage image;
        connect(&scan, &Gf5Scan::ImageAcquired, [&](int32_t h) {
            image = *ImageStore::image(h);
            ImageStore::release(h);
        });
        QVERIFY(scan.Acquire() != 0);
        QVERIFY(seen.size() >= 3);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QVERIFY(seen.first() < 50);
        QVERIFY(seen.last() > 50 && seen.last() <= 100);
        QCOMPARE(image.pixel(140, 180) & 0xFFFFFF, 0u);

        // A device that stays silent longer than the limit is given up.
        const int before = ImageStore::liveCount();
        scan.AnswerLimitMs = 100;
        scan.ExtraOptions = plainTestDevice({{"read-limit", true}, {"read-limit-size", 2000}, {"read-delay", true},
                                           {"read-delay-duration", 200000}});
        QElapsedTimer t;
        t.start();
        QCOMPARE(scan.Acquire(), 0);
        QCOMPARE(scan.LastFailure, Gf5Scan::Failure::NoAnswer);
        QVERIFY(t.elapsed() < 4000);
        QCOMPARE(ImageStore::liveCount(), before);
        scan.AnswerLimitMs = 30000;
        scan.ExtraOptions = plainTestDevice({});
        QVERIFY(scan.Acquire() != 0);
    }
};

ZORVAT_TEST_MAIN(TestScan)
#include "test_scan.moc"
