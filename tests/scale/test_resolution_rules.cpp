// The plan's physical size without a window: what a file's header states,
// which resolutions are believed, calibration from a known length, parts and
// wall sizes at the plan's scale.
#include "testsupport/testmain.h"
#include "scale/stated_resolution.h"
#include <QBuffer>
#include <QImage>

using namespace scale;

namespace {
QByteArray encoded(const char* format, int dpmX, int dpmY)
{
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(dpmX);
    img.setDotsPerMeterY(dpmY);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format);
    return bytes;
}

// A JPEG's header blocks only: SOI, then the given blocks, then SOS.
QByteArray jpegWith(const QByteArray& blocks) { return QByteArray("\xFF\xD8", 2) + blocks + QByteArray("\xFF\xDA\x00\x02", 4); }

QByteArray block(quint8 marker, const QByteArray& body)
{
    const int length = int(body.size()) + 2;
    return QByteArray(1, '\xFF') + char(marker) + char(length >> 8) + char(length & 0xFF) + body;
}

QByteArray jfif(quint8 unit, quint16 x, quint16 y)
{
    return block(0xE0, QByteArray("JFIF\0\x01\x02", 7) + char(unit) + char(x >> 8) + char(x & 0xFF) + char(y >> 8) +
                           char(y & 0xFF) + QByteArray(2, '\0'));
}

// EXIF block, little-endian, with X and Y resolution 300/1 and the given unit.
QByteArray exif(quint16 unit)
{
    QByteArray t("II\x2A\x00\x08\x00\x00\x00", 8);
    auto u16 = [&](quint16 v) { t += char(v & 0xFF); t += char(v >> 8); };
    auto u32 = [&](quint32 v) { u16(quint16(v & 0xFFFF)); u16(quint16(v >> 16)); };
    u16(3);
    const quint32 data = 8 + 2 + 3 * 12 + 4;
    u16(0x011A); u16(5); u32(1); u32(data);
    u16(0x011B); u16(5); u32(1); u32(data + 8);
    u16(0x0128); u16(3); u32(1); u16(unit); u16(0);
    u32(0);
    u32(300); u32(1); u32(300); u32(1);
    return block(0xE1, QByteArray("Exif\0\0", 6) + t);
}
}

class ResolutionRulesTest : public QObject {
    Q_OBJECT
private slots:
    void headersStateWhatTheFileHolds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("states");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::newRow("png 300") << encoded("PNG", 11811, 11811) << true << 300.0 << 300.0;
        QTest::newRow("bmp 300x600") << encoded("BMP", 11811, 23622) << true << 300.0 << 600.0;
        QTest::newRow("jpeg written by Qt") << encoded("JPG", 11811, 11811) << true << 300.0 << 300.0;
        QTest::newRow("jfif dpi") << jpegWith(jfif(1, 400, 400)) << true << 400.0 << 400.0;
        QTest::newRow("jfif dots per cm") << jpegWith(jfif(2, 118, 118)) << true << 299.72 << 299.72;
        QTest::newRow("jfif zero") << jpegWith(jfif(1, 0, 0)) << true << 0.0 << 0.0;
        QTest::newRow("jfif aspect only") << jpegWith(jfif(0, 1, 1)) << false << 0.0 << 0.0;
        QTest::newRow("aspect jfif, exif inches") << jpegWith(jfif(0, 1, 1) + exif(2)) << true << 300.0 << 300.0;
        QTest::newRow("exif centimetres") << jpegWith(exif(3)) << true << 762.0 << 762.0;
        QTest::newRow("jpeg without blocks") << jpegWith({}) << false << 0.0 << 0.0;
        QTest::newRow("truncated png") << encoded("PNG", 11811, 11811).left(20) << false << 0.0 << 0.0;
        QTest::newRow("gif") << QByteArray("GIF89a") << false << 0.0 << 0.0;
        QTest::newRow("empty") << QByteArray() << false << 0.0 << 0.0;
    }
    void headersStateWhatTheFileHolds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, states);
        QFETCH(double, x);
        QFETCH(double, y);
        const auto stated = statedResolution(bytes);
        QCOMPARE(stated.has_value(), states);
        if (stated) {
            QVERIFY2(std::abs(stated->x - x) < 0.01, qPrintable(QString::number(stated->x)));
            QVERIFY2(std::abs(stated->y - y) < 0.01, qPrintable(QString::number(stated->y)));
        }
    }

    void onlyBelievableResolutionsAreKept_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<bool>("fromImage");
        QTest::newRow("300 from dots per metre") << 299.9994 << 299.9994 << 300.0 << true;
        QTest::newRow("dots per cm kept as stated") << 299.72 << 299.72 << 299.72 << true;
        QTest::newRow("least") << 50.0 << 50.0 << 50.0 << true;
        QTest::newRow("most") << 4800.0 << 4800.0 << 4800.0 << true;
        QTest::newRow("zero") << 0.0 << 0.0 << 200.0 << false;
        QTest::newRow("one") << 1.0 << 1.0 << 200.0 << false;
        QTest::newRow("a million") << 1e6 << 1e6 << 200.0 << false;
        QTest::newRow("just above most") << 4801.0 << 4801.0 << 200.0 << false;
        QTest::newRow("not square") << 300.0 << 600.0 << 200.0 << false;
        QTest::newRow("negative") << -300.0 << -300.0 << 200.0 << false;
    }
    void onlyBelievableResolutionsAreKept()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(double, dpi);
        QFETCH(bool, fromImage);
        const PlanResolution r = chooseResolution(StatedResolution{x, y}, 200);
        QCOMPARE(r.dpi, dpi);
        QCOMPARE(r.fromImage, fromImage);
        const PlanResolution none = chooseResolution(std::nullopt, 250);
        QCOMPARE(none.dpi, 250.0);
        QVERIFY(!none.fromImage);
    }

    void lengthsAndScalesGiveTheRealSize()
    {
        // A 1820-px span of 3640 mm on a 1:100 drawing: 36.4 mm of paper.
        QCOMPARE(*calibratedDpi(1820, 3640, 100), 1270.0);
        QCOMPARE(qRound(*calibratedDpi(4961, 42000, 100)), 300); // A3's long side at 300 dpi
        QVERIFY(!calibratedDpi(0, 3640, 100));
        QVERIFY(!calibratedDpi(1820, 0, 100));
        QVERIFY(!calibratedDpi(1820, -5, 100));
        QVERIFY(!calibratedDpi(1820, 3640, 0));
        QVERIFY(!calibrationProblem(0, 3640, 100).isEmpty());
        QVERIFY(!calibrationProblem(1820, 0, 100).isEmpty());
        QVERIFY(calibrationProblem(1820, 3640, 100).isEmpty());

        QCOMPARE(partScaleFactor(508, 254), 2.0);
        QCOMPARE(partScaleFactor(300, 0), 1.0);
        QCOMPARE(partScaleFactor(0, 254), 1.0);

        QCOMPARE(realThicknessText(20, 300, 100), QString("約169mm"));
        QCOMPARE(realThicknessText(20, 254, 100), QString("約200mm"));
        QCOMPARE(realThicknessText(20, 0, 100), QString());

        QCOMPARE(resolutionLabel(299.9994, 100), QString("300dpi・1/100"));
        QCOMPARE(assumedResolutionNote(200), QString("解像度の記録がないため 200dpi として扱っています"));
        QCOMPARE(dotsPerMetre(300), 11811);
        QCOMPARE(dotsPerMetre(0), 0);
    }
};

ZORVAT_TEST_MAIN(ResolutionRulesTest)
#include "test_resolution_rules.moc"
