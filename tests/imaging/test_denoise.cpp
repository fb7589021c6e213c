// Dust removal on synthetic scans: what goes (specks and pinholes below a
// quarter millimetre at the scan's resolution) and what stays (every pixel
// of lines, dotted lines, text and larger marks).
#include "imaging/effects/gf5effect.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QFont>
#include <QPainter>

using namespace gf5;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

int dotsPerMeter(int dpi) { return qRound(dpi / 0.0254); }

// A scanned sheet and, beside it, the same sheet as it must come out when
// dust up to `extent` pixels across is removed.
struct Scan {
    QImage sheet;
    QImage cleaned;
};

Scan makeScan(int extent)
{
    QImage img(1200, 800, QImage::Format_RGB32);
    img.fill(kWhite);
    QImage out = img;
    auto both = [&](auto paint) {
        QPainter a(&img), b(&out);
        paint(a, true);
        paint(b, false);
    };
    both([&](QPainter& p, bool original) {
        // Square specks 1..8 px, grey and black, and round ones.
        for (int size = 1; size <= 8; ++size) {
            const bool dust = size <= extent;
            const QColor ink = size % 2 ? QColor(Qt::black) : QColor(100, 100, 100);
            if (original || !dust)
                p.fillRect(50 + size * 60, 50, size, size, ink);
            if (size >= 3 && (original || !dust)) {
                p.setPen(Qt::NoPen);
                p.setBrush(ink);
                p.drawEllipse(QRect(50 + size * 60, 110, size, size));
            }
        }
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::black, 1));
        // One-pixel lines: across, down, slanted.
        p.drawLine(50, 200, 1150, 200);
        p.drawLine(1150, 250, 1150, 750);
        p.drawLine(50, 250, 400, 600);
        // A dot close to a line is kept: it may belong to it.
        p.fillRect(600, 204, 2, 2, Qt::black);
        // Dotted lines: 3 x 1 dots with 3 px gaps, and scanned 4 x 4 dots
        // with 6 px gaps.
        for (int x = 450; x < 1000; x += 6)
            p.fillRect(x, 300, 3, 1, Qt::black);
        for (int x = 450; x < 1000; x += 10)
            p.fillRect(x, 350, 4, 4, Qt::black);
        // Small text with dots, a decimal point and dakuten.
        QFont font;
        font.setPixelSize(28); // 7 pt at 300 dpi
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPoint(450, 420), QStringLiteral("洋室 1.5 畳 ドア i j ; ぼ"));
        // A black area with pinholes 1..8 px.
        p.fillRect(450, 500, 620, 120, Qt::black);
        for (int size = 1; size <= 8; ++size)
            if (original || size > extent)
                p.fillRect(450 + size * 70, 540, size, size, Qt::white);
        // A notch at the area's edge is open to the paper: it stays.
        p.fillRect(450, 560, 2, 2, Qt::white);
    });
    return {img, out};
}

QImage denoised(const QImage& src)
{
    Gf5Effect fx;
    fx.SourceImage = ImageStore::add(src);
    const int32_t ok = fx.Denoise(nullptr, nullptr, 0, 0, 100);
    const QImage out = ok ? *ImageStore::image(fx.ResultImage) : QImage();
    ImageStore::release(fx.SourceImage);
    ImageStore::release(fx.ResultImage);
    return out;
}

} // namespace

class DenoiseTest : public QObject {
    Q_OBJECT
private slots:
    void dustGoesLinesTextAndLargerMarksStay_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("extent");
        QTest::newRow("400 dpi: up to 4 px") << 400 << 4;
        QTest::newRow("200 dpi: up to 2 px") << 200 << 2;
        QTest::newRow("600 dpi: up to 6 px") << 600 << 6;
        QTest::newRow("no scan resolution: as 300 dpi") << 0 << 3;
    }

    void dustGoesLinesTextAndLargerMarksStay()
    {
        QFETCH(int, dpi);
        QFETCH(int, extent);
        Scan scan = makeScan(extent);
        if (dpi > 0) {
            scan.sheet.setDotsPerMeterX(dotsPerMeter(dpi));
            scan.sheet.setDotsPerMeterY(dotsPerMeter(dpi));
        }
        const QImage out = denoised(scan.sheet);
        QVERIFY(!out.isNull());
        COMPARE_IMAGES(out, scan.cleaned, QString("denoise-%1dpi").arg(dpi));
        QCOMPARE(out.dotsPerMeterX(), scan.sheet.dotsPerMeterX());
    }

    void dustOnTintedPaperTakesThePaperColour()
    {
        QImage img(60, 60, QImage::Format_RGB32);
        img.fill(qRgb(230, 240, 220));
        img.setDotsPerMeterX(dotsPerMeter(400));
        img.setDotsPerMeterY(dotsPerMeter(400));
        QPainter(&img).fillRect(20, 20, 3, 4, Qt::black);
        const QImage out = denoised(img);
        QCOMPARE(testsupport::countColour(out, qRgb(230, 240, 220)), 60 * 60);
    }

    void onlyTheSelectionIsCleaned()
    {
        Scan scan = makeScan(4);
        scan.sheet.setDotsPerMeterX(dotsPerMeter(400));
        scan.sheet.setDotsPerMeterY(dotsPerMeter(400));
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(scan.sheet);
        fx.AreaMode = 2;
        // Left of x = 200: specks 1 and 2 (at 110 and 170) go, 3 and 4 stay.
        const int32_t xs[4] = {0, 200, 200, 0}, ys[4] = {0, 0, 800, 800};
        QVERIFY(fx.Denoise(xs, ys, 4, 0, 100));
        const QImage out = *ImageStore::image(fx.ResultImage);
        QCOMPARE(out.pixel(110, 50), kWhite);
        QCOMPARE(out.pixel(171, 51), kWhite);
        QCOMPARE(out.pixel(231, 51), kBlack);
        QCOMPARE(out.pixel(291, 51), qRgb(100, 100, 100));
        ImageStore::release(fx.SourceImage);
        ImageStore::release(fx.ResultImage);
    }
};

ZORVAT_TEST_MAIN(DenoiseTest)
#include "test_denoise.moc"
