// The plan's physical size without a window: what a file's header states,
// which resolutions are believed, calibration from a known length, parts and
// wall sizes at the plan's scale.
#include "testsupport/testmain.h"
#include "scale/part_scaling.h"
#include "scale/scale_entry.h"
#include "scale/stated_resolution.h"
#include <QBuffer>
#include <QImage>
#include <cmath>

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

    void typedEntriesAreRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // -1: refused
        QTest::newRow("scale 1/100") << "scale" << "1/100" << 100.0;
        QTest::newRow("scale full width") << "scale" << "１／５０" << 50.0;
        QTest::newRow("scale 1:200 with blanks") << "scale" << " 1 : 200 " << 200.0;
        QTest::newRow("scale bare") << "scale" << "150" << 150.0;
        QTest::newRow("scale S=1/30") << "scale" << "S=1/30" << 30.0;
        QTest::newRow("scale 1/0") << "scale" << "1/0" << -1.0;
        QTest::newRow("scale 2/100") << "scale" << "2/100" << -1.0;
        QTest::newRow("scale words") << "scale" << "百分の一" << -1.0;
        QTest::newRow("scale empty") << "scale" << "" << -1.0;
        QTest::newRow("dpi 300") << "dpi" << "300" << 300.0;
        QTest::newRow("dpi with unit") << "dpi" << "1270.5dpi" << 1270.5;
        QTest::newRow("dpi full width") << "dpi" << "４００" << 400.0;
        QTest::newRow("dpi below least") << "dpi" << "49" << -1.0;
        QTest::newRow("dpi above most") << "dpi" << "4801" << -1.0;
        QTest::newRow("dpi not a number") << "dpi" << "abc" << -1.0;
        QTest::newRow("dpi infinite") << "dpi" << "inf" << -1.0;
        QTest::newRow("length 3640") << "length" << "3640" << 3640.0;
        QTest::newRow("length grouped, unit") << "length" << "3,640mm" << 3640.0;
        QTest::newRow("length full width") << "length" << "９１０" << 910.0;
        QTest::newRow("length zero is read") << "length" << "0" << 0.0;
        QTest::newRow("length badly grouped") << "length" << "36,40" << -1.0;
        QTest::newRow("length words") << "length" << "三千" << -1.0;
    }
    void typedEntriesAreRead()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(double, value);
        std::optional<double> read;
        if (kind == "scale") {
            const std::optional<int> n = parseScale(text);
            if (n)
                read = *n;
        } else {
            read = kind == "dpi" ? parseResolution(text) : parseLength(text);
        }
        QCOMPARE(read.has_value(), value >= 0);
        if (read)
            QCOMPARE(*read, value);
        QCOMPARE(printScaleText(100), QString("1/100 で印刷"));
        QCOMPARE(standardScaleTexts().first(), QString("1/10"));
        QVERIFY(resolutionRangeProblem(1270).isEmpty());
        QVERIFY(resolutionRangeProblem(6000).contains("6000dpi"));
    }

    void partsAreResampledToThePlansScale_data()
    {
        QTest::addColumn<double>("factor");
        QTest::addColumn<QSize>("size");
        QTest::newRow("254 dpi part on a 508 dpi plan") << 2.0 << QSize(60, 40);
        QTest::newRow("254 dpi part on a 300 dpi plan") << 300 / 254.0 << QSize(35, 24);
        QTest::newRow("254 dpi part on a 200 dpi plan") << 200 / 254.0 << QSize(24, 16);
        QTest::newRow("254 dpi part on a 127 dpi plan") << 0.5 << QSize(15, 10);
    }
    void partsAreResampledToThePlansScale()
    {
        QFETCH(double, factor);
        QFETCH(QSize, size);
        // A line drawing as the library holds it: a one-pixel frame and a
        // one-pixel line across, black on white, 8-bit grey.
        QImage part(30, 20, QImage::Format_Grayscale8);
        part.fill(255);
        for (int x = 0; x < 30; ++x)
            part.setPixel(x, 0, 0), part.setPixel(x, 19, 0), part.setPixel(x, 9, 0);
        for (int y = 0; y < 20; ++y)
            part.setPixel(0, y, 0), part.setPixel(29, y, 0);
        const QImage out = scalePart(part, factor, 508);
        QCOMPARE(out.size(), size);
        QCOMPARE(qRound(out.dotsPerMeterX() * 0.0254), 508);
        // Still pure black and white, and the middle line is there in every
        // column (a shrink must not lose it, an enlargement not fatten it
        // beyond the factor).
        int darkestRows = 0;
        for (int y = 0; y < out.height(); ++y) {
            int dark = 0;
            for (int x = 0; x < out.width(); ++x) {
                const QRgb c = out.pixel(x, y) & 0xFFFFFF;
                QVERIFY2(c == 0 || c == 0xFFFFFF, qPrintable(QString("grey at %1,%2").arg(x).arg(y)));
                dark += c == 0;
            }
            darkestRows += dark == out.width();
        }
        QVERIFY2(darkestRows >= 3 && darkestRows <= 3 * std::max(1, int(std::ceil(factor))),
                 qPrintable(QString("%1 solid rows").arg(darkestRows)));
        // Nothing to do at factor 1: the same picture.
        QCOMPARE(scalePart(part, 1.0).cacheKey(), part.cacheKey());
    }

    void colourPartsAreScaledSmoothly()
    {
        QImage part(10, 10, QImage::Format_RGB32);
        part.fill(qRgb(255, 255, 255));
        for (int y = 0; y < 10; ++y)
            part.setPixel(4, y, qRgb(200, 0, 0));
        const QImage out = scalePart(part, 0.5);
        QCOMPARE(out.size(), QSize(5, 5));
        // A red line half the width of a result pixel: pink, not lost.
        const QRgb c = out.pixel(2, 2);
        QVERIFY2(qRed(c) > qGreen(c) && qGreen(c) > 0 && qGreen(c) < 255, qPrintable(QString::number(c, 16)));
    }
};

ZORVAT_TEST_MAIN(ResolutionRulesTest)
#include "test_resolution_rules.moc"
