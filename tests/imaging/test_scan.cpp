// Scanning through SANE's "test" device: choosing a source, the pixel
// formats a scanner can deliver, and failures that must end cleanly.
#include "imaging/scan/gf5scan.h"
#include "imaging/store/imagestore.h"
#include "testsupport/testmain.h"
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

using namespace gf5;

namespace {

// SANE configuration naming only the test device, with `devices` of them.
bool writeSaneConfig(const QString& dir, int devices)
{
    QFile src("/etc/sane.d/test.conf");
    if (!src.open(QIODevice::ReadOnly))
        return false;
    QByteArray conf = src.readAll();
    conf.replace("number_of_devices 2", "number_of_devices " + QByteArray::number(devices));
    QFile dst(dir + "/test.conf"), dll(dir + "/dll.conf");
    if (!dst.open(QIODevice::WriteOnly | QIODevice::Truncate) || !dll.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    dst.write(conf);
    dll.write(devices > 0 ? "test\n" : "\n");
    return true;
}

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
    scan.ExtraOptions = options;
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
        if (!writeSaneConfig(conf.path(), 1))
            QSKIP("SANE's test device is not installed");
        qputenv("SANE_CONFIG_DIR", conf.path().toLocal8Bit());
        Gf5Scan probe;
        if (probe.SelectSource() == 0)
            QSKIP("SANE's test device is not available");
        Gf5Scan::chooserOverride = nullptr;
    }

    void init() { QVERIFY(writeSaneConfig(conf.path(), 1)); }

    void selectSourceByDeviceCount()
    {
        int asked = 0;
        QStringList offered;
        Gf5Scan::chooserOverride = [&](const QStringList& devices) {
            ++asked;
            offered = devices;
            return 1;
        };
        Gf5Scan scan;
        QVERIFY(scan.SelectSource() != 0);
        QCOMPARE(scan.SourceName(), QString("test:0"));
        QCOMPARE(asked, 0); // one scanner is taken without asking

        QVERIFY(writeSaneConfig(conf.path(), 2));
        QVERIFY(scan.SelectSource() != 0);
        QCOMPARE(asked, 1);
        QCOMPARE(offered.size(), 2);
        QCOMPARE(scan.SourceName(), QString("test:1"));

        Gf5Scan::chooserOverride = [](const QStringList&) { return -1; };
        Gf5Scan cancelled;
        QCOMPARE(cancelled.SelectSource(), 0);
        QCOMPARE(cancelled.Acquire(), 0); // nothing selected: nothing scanned

        QVERIFY(writeSaneConfig(conf.path(), 0));
        QCOMPARE(Gf5Scan().SelectSource(), 0);
        Gf5Scan::chooserOverride = nullptr;
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

        // A cancel during a slow scan ends it promptly.
        Gf5Scan scan;
        QVERIFY(scan.SelectSource() != 0);
        scan.Resolution = 300;
        scan.ExtraOptions = {{"read-limit", true}, {"read-limit-size", 2000}, {"read-delay", true},
                             {"read-delay-duration", 200000}};
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
        QCOMPARE(events, 0);
        QCOMPARE(ImageStore::liveCount(), before);
        // The device is usable again afterwards.
        scan.ExtraOptions.clear();
        scan.Resolution = 50;
        QVERIFY(scan.Acquire() != 0);
        QCOMPARE(events, 1);
    }
};

ZORVAT_TEST_MAIN(TestScan)
#include "test_scan.moc"
