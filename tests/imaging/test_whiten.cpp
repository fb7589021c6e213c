// Paper made white on synthetic scans: a clean drawing multiplied by uneven,
// tinted light and a lid's dark band must come back with white paper and
// its ink still dark, filled areas included.
#include "imaging/effects/gf5effect.h"
#include "imaging/effects/whiten.h"
#include "imaging/store/imagestore.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QPainter>
#include <opencv2/imgproc.hpp>
#include <algorithm>
#include <cmath>

using namespace gf5;

namespace {

int dotsPerMeter(int dpi) { return qRound(dpi / 0.0254); }

struct Sheet {
    QImage drawing; // the clean drawing: white paper, ink
    QImage scan;    // as the scanner saw it
};

// A plan's kinds of ink on a 120 x 80 mm sheet: hairlines, a solid wall,
// hatching, text and a filled square well wider than the walls.
QImage drawing(int dpi)
{
    const double mm = dpi / 25.4;
    QImage img(int(120 * mm), int(80 * mm), QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(dotsPerMeter(dpi));
    img.setDotsPerMeterY(dotsPerMeter(dpi));
    QPainter p(&img);
    const QColor ink(25, 25, 25);
    p.setPen(QPen(ink, 1));
    for (int i = 0; i < 6; ++i)
        p.drawLine(QPointF(8 * mm, (12 + 10 * i) * mm), QPointF(110 * mm, (14 + 10 * i) * mm));
    p.fillRect(QRectF(20 * mm, 5 * mm, 3 * mm, 70 * mm), ink);    // a solid wall
    p.fillRect(QRectF(60 * mm, 30 * mm, 20 * mm, 20 * mm), ink);  // a filled area
    for (int i = 0; i < 20; ++i)                                   // hatching
        p.drawLine(QPointF((85 + i) * mm, 55 * mm), QPointF((85 + i + 8) * mm, 70 * mm));
    QFont font;
    font.setPixelSize(int(4 * mm));
    p.setFont(font);
    p.drawText(QPointF(30 * mm, 25 * mm), QString::fromUtf8("洋室 6帖"));
    return img;
}

// Light falling off from left to right on yellowed paper, and optionally a
// lid's band along the top edge, darkest at the edge.
Sheet scanOf(int dpi, bool lidBand)
{
    Sheet s{drawing(dpi), {}};
    s.scan = s.drawing.copy();
    const double tint[3] = {0.86, 0.93, 0.96}; // blue, green, red
    const int w = s.scan.width(), h = s.scan.height(), band = h / 8;
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(s.scan.scanLine(y));
        for (int x = 0; x < w; ++x) {
            double light = 0.95 - 0.25 * x / w;
            if (lidBand && y < band)
                light *= 0.45 + 0.55 * y / band;
            const QRgb c = row[x];
            row[x] = qRgb(int(qRed(c) * light * tint[2]), int(qGreen(c) * light * tint[1]),
                          int(qBlue(c) * light * tint[0]));
        }
    }
    return s;
}

int darkestChannel(QRgb c) { return std::min({qRed(c), qGreen(c), qBlue(c)}); }
int lightestChannel(QRgb c) { return std::max({qRed(c), qGreen(c), qBlue(c)}); }

} // namespace

class WhitenTest : public QObject {
    Q_OBJECT
private slots:
    void paperTurnsWhiteInkStaysDark_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("lidBand");
        QTest::newRow("200 dpi, uneven light") << 200 << false;
        QTest::newRow("300 dpi, uneven light and a lid's band") << 300 << true;
        QTest::newRow("400 dpi, uneven light and a lid's band") << 400 << true;
    }

    void paperTurnsWhiteInkStaysDark()
    {
        QFETCH(int, dpi);
        QFETCH(bool, lidBand);
        const Sheet s = scanOf(dpi, lidBand);
        const QImage out = whitenPaper(s.scan);
        QCOMPARE(out.size(), s.scan.size());
        QCOMPARE(out.dotsPerMeterX(), s.scan.dotsPerMeterX());
        // Paper well away from ink is white; ink (solid wall, filled area and
        // the cores of lines and letters) stays dark.
        const int near = int(std::ceil(dpi / 25.4)); // 1 mm
        cv::Mat inkMask(s.drawing.height(), s.drawing.width(), CV_8UC1), inkNear;
        for (int y = 0; y < s.drawing.height(); ++y)
            for (int x = 0; x < s.drawing.width(); ++x)
                inkMask.at<uchar>(y, x) = qGray(s.drawing.pixel(x, y)) < 128 ? 255 : 0;
        cv::dilate(inkMask, inkNear, cv::Mat::ones(2 * near + 1, 2 * near + 1, CV_8UC1));
        qint64 paper = 0, whitePaper = 0, ink = 0, darkInk = 0;
        int darkestPaper = 255;
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x) {
                const QRgb o = out.pixel(x, y);
                if (qGray(s.drawing.pixel(x, y)) < 128) {
                    ++ink;
                    darkInk += lightestChannel(o) <= 70;
                } else if (inkNear.at<uchar>(y, x) == 0) {
                    ++paper;
                    whitePaper += darkestChannel(o) == 255;
                    darkestPaper = std::min(darkestPaper, darkestChannel(o));
                }
            }
        QVERIFY2(whitePaper >= paper * 995 / 1000, qPrintable(QString("%1 of %2 paper pixels white").arg(whitePaper).arg(paper)));
        QVERIFY2(darkestPaper >= 235, qPrintable(QString("darkest paper %1").arg(darkestPaper)));
        QVERIFY2(darkInk >= ink * 97 / 100, qPrintable(QString("%1 of %2 ink pixels dark").arg(darkInk).arg(ink)));
        // The filled area is ink, not shadow: its middle stays as dark as drawn.
        const double mm = dpi / 25.4;
        QVERIFY(lightestChannel(out.pixel(int(70 * mm), int(40 * mm))) <= 40);
    }

    // A clean drawing on white paper: white stays white, ink as dark as it was.
    void cleanPaperIsLeftAlone()
    {
        const QImage clean = drawing(300);
        const QImage out = whitenPaper(clean);
        int changedWhite = 0, lightenedInk = 0;
        for (int y = 0; y < clean.height(); ++y)
            for (int x = 0; x < clean.width(); ++x) {
                const int before = qGreen(clean.pixel(x, y)), after = qGreen(out.pixel(x, y));
                changedWhite += before == 255 && after != 255;
                lightenedInk += before < 128 && after > before * 110 / 100 + 2;
            }
        QCOMPARE(changedWhite, 0);
        QCOMPARE(lightenedInk, 0);
    }

    // As an effect on a selection: inside it the same pixels as whitening
    // the whole picture (the paper is judged on the whole sheet), outside
    // it the scan unchanged.
    void selectionMatchesTheWholeAndNothingElseChanges()
    {
        const Sheet s = scanOf(200, true);
        Gf5Effect fx;
        fx.SourceImage = ImageStore::add(s.scan);
        fx.AreaMode = 2;
        const QRect sel(137, 3, 301, 211);
        const int32_t xs[4] = {sel.left(), sel.right() + 1, sel.right() + 1, sel.left()};
        const int32_t ys[4] = {sel.top(), sel.top(), sel.bottom() + 1, sel.bottom() + 1};
        QVERIFY(whitenPaper(fx, xs, ys, 4));
        const QImage out = *ImageStore::image(fx.ResultImage);
        const QImage whole = whitenPaper(s.scan);
        COMPARE_IMAGES(out.copy(sel), whole.copy(sel), "whiten-selection-inside");
        QImage outside = out.copy();
        QPainter(&outside).fillRect(sel, Qt::white);
        QImage expected = s.scan.copy();
        QPainter(&expected).fillRect(sel, Qt::white);
        COMPARE_IMAGES(outside, expected, "whiten-selection-outside");
        ImageStore::release(fx.SourceImage);
        ImageStore::release(fx.ResultImage);
    }
};

ZORVAT_TEST_MAIN(WhitenTest)
#include "test_whiten.moc"
