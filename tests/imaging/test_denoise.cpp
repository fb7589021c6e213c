// Dust removal on synthetic scans: what goes (specks and pinholes below a
// quarter millimetre at the scan's resolution) and what stays (every pixel
// of lines, dotted lines, text and larger marks).
#include "imaging/effects/gf5effect.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QFont>
#include <QPainter>
#include <cmath>

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

// Paper a shade off white, as scans come, so that "paper colour" is told
// apart from plain white.
constexpr QRgb kPaper = 0xFFF2F0EA;

// Squares of side `dot` centred on `count` points from (x, y), `pitch`
// pixels apart in direction `degrees` (0 across, 90 down).
void dotRow(QPainter& p, double x, double y, double degrees, double pitch, int count, int dot)
{
    const double t = degrees * M_PI / 180.0;
    for (int i = 0; i < count; ++i)
        p.fillRect(int(std::lround(x + i * pitch * std::cos(t) - dot / 2.0)),
                   int(std::lround(y + i * pitch * std::sin(t) - dot / 2.0)), dot, dot, Qt::black);
}

// A dash-dot line from (x, y): dashes of `dash` pixels, two pixels thick,
// each followed by a gap, a square dot of side `dot` and another gap.
void dashDotLine(QPainter& p, double x, double y, double degrees, int dash, int gap, int dot, int periods)
{
    const double t = degrees * M_PI / 180.0, c = std::cos(t), s = std::sin(t);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap));
    const double period = dash + 2 * gap + dot;
    for (int i = 0; i < periods; ++i) {
        const double a = i * period;
        p.drawLine(QPointF(x + a * c, y + a * s), QPointF(x + (a + dash) * c, y + (a + dash) * s));
        if (i + 1 < periods) {
            const double m = a + dash + gap + dot / 2.0;
            p.fillRect(int(std::lround(x + m * c - dot / 2.0)), int(std::lround(y + m * s - dot / 2.0)), dot, dot,
                       Qt::black);
        }
    }
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

    // Dots too far apart to count as each other's neighbours stay when they
    // make a line: a row at an even pitch, or the dots of a dash-dot line.
    // Specks of the same size that make no line go, with their blurred
    // fringe, leaving the paper's colour.
    void dotsOfDrawnLinesStaySpecksGoWholly_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("dot");
        QTest::addColumn<double>("pitch");
        QTest::addColumn<double>("degrees");
        QTest::newRow("200 dpi, 2 px dots 6 px apart, across") << 200 << 2 << 6.0 << 0.0;
        QTest::newRow("300 dpi, 2 px dots 1.7 mm apart, slanted") << 300 << 2 << 20.0 << 30.0;
        QTest::newRow("400 dpi, 3 px dots 1.5 mm apart, down") << 400 << 3 << 24.0 << 90.0;
        QTest::newRow("600 dpi, 4 px dots 1.9 mm apart, slanted") << 600 << 4 << 45.0 << -20.0;
    }

    void dotsOfDrawnLinesStaySpecksGoWholly()
    {
        QFETCH(int, dpi);
        QFETCH(int, dot);
        QFETCH(double, pitch);
        QFETCH(double, degrees);
        const double mm = dpi / 25.4;
        QImage sheet(int(120 * mm), int(80 * mm), QImage::Format_RGB32);
        sheet.fill(kPaper);
        sheet.setDotsPerMeterX(dotsPerMeter(dpi));
        sheet.setDotsPerMeterY(dotsPerMeter(dpi));
        QImage cleaned = sheet;
        auto both = [&](auto paint) {
            QPainter a(&sheet), b(&cleaned);
            paint(a);
            paint(b);
        };
        // What must stay: a dotted row and dash-dot lines across and slanted.
        both([&](QPainter& p) {
            dotRow(p, 10 * mm, 10 * mm, degrees, pitch, 12, dot);
            dashDotLine(p, 10 * mm, 40 * mm, 0, int(5 * mm), int(0.8 * mm), dot, 5);
            dashDotLine(p, 10 * mm, 50 * mm, 17, int(4 * mm), int(1.2 * mm), dot, 4);
        });
        // What must go: three dots at an even pitch, a row at uneven
        // spacing, a dot beside a dash-dot line's gap, lone specks, and a
        // speck blurred by the scanner.
        QPainter p(&sheet);
        dotRow(p, 70 * mm, 10 * mm, 0, pitch, 3, dot);
        const double uneven[] = {0, 1, 2.6, 3.7, 5.4, 6.4};
        for (const double at : uneven)
            dotRow(p, 70 * mm + at * pitch, 20 * mm, 0, pitch, 1, dot);
        dotRow(p, 10 * mm + 5 * mm + 0.8 * mm + dot / 2.0, 40 * mm + 4 * dot + 2, 0, pitch, 1, dot);
        for (int i = 0; i < 5; ++i)
            dotRow(p, (70 + 7 * i) * mm, (32 + 9 * (i % 3)) * mm, 0, pitch, 1, dot);
        // The blurred speck: a dark core in a grey fringe, lighter than ink.
        const QPoint blur(int(100 * mm), int(70 * mm));
        p.fillRect(QRect(blur, QSize(dot + 2, dot + 2)).translated(-1, -1), QColor(200, 198, 195));
        p.fillRect(QRect(blur, QSize(dot, dot)), QColor(30, 30, 30));
        p.end();

        const QImage out = denoised(sheet);
        QVERIFY(!out.isNull());
        COMPARE_IMAGES(out, cleaned, QString("denoise-lines-%1dpi").arg(dpi));
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
