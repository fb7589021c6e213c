// Drawing calls on a display's drawing surface: exact pixel extents, pens,
// styles, arcs, polygons, pictures, text, and printing to a file.
#include "imaging/draw/gf5print.h"
#include "imaging/store/imagestore.h"
#include "imaging/widgets/gf5disp.h"
#include "testsupport/imagecompare.h"
#include "testsupport/testmain.h"
#include <QFile>
#include <QPainter>
#include <QPolygonF>
#include <QTemporaryDir>
#include <cmath>

using namespace gf5;

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kGrey = qRgb(128, 128, 128);

// A display in its drawing state over a fresh image.
struct Canvas {
    Gf5Disp disp;
    int32_t handle = 0;
    int32_t dc = 0;
    explicit Canvas(int w = 200, int h = 150, QRgb fill = kWhite)
    {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(fill);
        handle = ImageStore::add(img);
        disp.setImageHandle(handle);
        disp.setDisplayMode(3);
        disp.Refresh();
        dc = disp.DrawingDC();
    }
    ~Canvas()
    {
        disp.setImageHandle(0);
        ImageStore::release(handle);
    }
    QImage img() const { return disp.shownImage(); }
};

QRect inkBounds(const QImage& img, QRgb background)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF))
                r |= QRect(x, y, 1, 1);
    return r;
}

// Number of runs of the colour along row y between x0 and x1.
int runsOf(const QImage& img, QRgb c, int y, int x0, int x1)
{
    int runs = 0;
    bool in = false;
    for (int x = x0; x < x1; ++x) {
        const bool hit = (img.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF);
        runs += hit && !in;
        in = hit;
    }
    return runs;
}

} // namespace

class TestDraw : public QObject {
    Q_OBJECT
private slots:
    void unknownHandlesAreRefused()
    {
        Gf5Print g;
        int16_t r, gg, b;
        QCOMPARE(g.DrawLine(0, 0, 0, 5, 5), 0);
        QCOMPARE(g.FillRectangle(12345, 0, 0, 5, 5), 0);
        QCOMPARE(g.ReadPixel(12345, 0, 0, r, gg, b), 0);
        Canvas c;
        QVERIFY(c.dc != 0);
        QCOMPARE(g.DrawImage(c.dc, 987654, 0, 0, 10, 10, 0), 0);
    }

    void fillRectangleCoversExactlyItsPixels()
    {
        Canvas c;
        Gf5Print g;
        g.BrushStyle = 0;
        QCOMPARE(g.FillRectangle(c.dc, 10, 20, 30, 25), 1);
        QCOMPARE(testsupport::countColour(c.img(), kBlack), 0); // no brush, nothing painted

        g.BrushStyle = 1;
        g.BrushColor = 0;
        g.FillRectangle(c.dc, 10, 20, 30, 25);
        const QImage img = c.img();
        QCOMPARE(testsupport::countColour(img, kBlack), 20 * 5);
        QCOMPARE(inkBounds(img, kWhite), QRect(10, 20, 20, 5));

        // A plain fill keeps its colour whatever raster operation pens use.
        g.DrawMode = 1;
        g.BrushColor = 0xFFFFFF;
        g.FillRectangle(c.dc, 10, 20, 20, 25);
        QCOMPARE(testsupport::countColour(c.img(), kBlack), 10 * 5);
    }

    void rectangleOutlineStaysInside()
    {
        for (int width : {1, 3}) {
            Canvas c(60, 50);
            Gf5Print g;
            g.PenWidth = width;
            QCOMPARE(g.DrawRectangle(c.dc, 10, 10, 40, 30), 1);
            QImage expected = testsupport::whiteImage(60, 50);
            {
                QPainter p(&expected);
                p.fillRect(QRect(10, 10, 30, 20), Qt::black);
                p.fillRect(QRect(10 + width, 10 + width, 30 - 2 * width, 20 - 2 * width), Qt::white);
            }
            COMPARE_IMAGES(c.img(), expected, QString("rect-outline-%1").arg(width));
        }
    }

    void linesStopShortOfTheirEnd()
    {
        Canvas c(80, 80);
        Gf5Print g;
        g.DrawLine(c.dc, 10, 20, 30, 20);
        QImage img = c.img();
        QCOMPARE(testsupport::countColour(img, kBlack), 20);
        QCOMPARE(img.pixel(10, 20), kBlack);
        QCOMPARE(img.pixel(29, 20), kBlack);
        QCOMPARE(img.pixel(30, 20), kWhite);

        g.DrawLine(c.dc, 50, 10, 50, 40); // vertical
        img = c.img();
        QCOMPARE(img.pixel(50, 10), kBlack);
        QCOMPARE(img.pixel(50, 39), kBlack);
        QCOMPARE(img.pixel(50, 40), kWhite);

        g.DrawLine(c.dc, 10, 50, 20, 60); // diagonal
        img = c.img();
        QCOMPARE(img.pixel(10, 50), kBlack);
        QCOMPARE(img.pixel(19, 59), kBlack);
        QCOMPARE(img.pixel(20, 60), kWhite);
    }

    void widePensAreCentredWithFlatEnds()
    {
        // Width w along y = 40 covers rows [40 - w/2, 40 - w/2 + w).
        for (int w : {2, 3, 4}) {
            Canvas c(80, 80);
            Gf5Print g;
            g.PenWidth = w;
            g.DrawLine(c.dc, 10, 40, 50, 40);
            const QImage img = c.img();
            QCOMPARE(inkBounds(img, kWhite), QRect(10, 40 - w / 2, 40, w));
            QCOMPARE(testsupport::countColour(img, kBlack), 40 * w);
        }
    }

    void styledLinesPaintOrLeaveTheirGaps()
    {
        auto draw = [](int16_t style, bool transparent, int width = 1) {
            Canvas c(120, 20, kGrey);
            Gf5Print g;
            g.PenStyle = style;
            g.PenWidth = width;
            g.TransparentBackground = transparent;
            g.DrawLine(c.dc, 0, 10, 100, 10);
            return c.img();
        };
        const QImage solid = draw(1, false);
        QCOMPARE(testsupport::countColour(solid, kBlack), 100);
        QCOMPARE(testsupport::countColour(solid, kWhite), 0);

        const QImage dashed = draw(2, false);
        const QImage dotted = draw(3, false);
        for (const QImage& img : {dashed, dotted}) {
            const int black = testsupport::countColour(img, kBlack);
            const int white = testsupport::countColour(img, kWhite);
            QVERIFY(black > 0 && white > 0);
            QCOMPARE(black + white, 100); // the gaps painted white, nothing else touched
        }
        QVERIFY(runsOf(dotted, kBlack, 10, 0, 100) > runsOf(dashed, kBlack, 10, 0, 100));
        QVERIFY(runsOf(dashed, kBlack, 10, 0, 100) >= 3);

        const QImage open = draw(3, true);
        QCOMPARE(testsupport::countColour(open, kWhite), 0);
        QVERIFY(testsupport::countColour(open, kBlack) > 0);
        QVERIFY(testsupport::countColour(open, kBlack) < 100);

        // A 2-pixel dotted line stays dotted on both rows.
        const QImage wideDots = draw(3, false, 2);
        QVERIFY(runsOf(wideDots, kBlack, 9, 0, 100) >= 5);
        QVERIFY(runsOf(wideDots, kBlack, 10, 0, 100) >= 5);
        QCOMPARE(testsupport::countColour(wideDots, kBlack) + testsupport::countColour(wideDots, kWhite), 200);
    }

    void drawModeBlackIgnoresThePenColour()
    {
        Canvas c(60, 20);
        Gf5Print g;
        g.PenColor = 0x0000FF; // red
        g.DrawLine(c.dc, 0, 5, 50, 5);
        g.DrawMode = 1;
        g.DrawLine(c.dc, 0, 10, 50, 10);
        const QImage img = c.img();
        QCOMPARE(img.pixel(20, 5), qRgb(255, 0, 0));
        QCOMPARE(img.pixel(20, 10), kBlack);
        QCOMPARE(testsupport::countColour(img, kBlack), 50);
    }

    void arcRunsCounterClockwiseFromRayToRay()
    {
        // Selection (100,50)-(140,90): the quarter circle of radius 40 around
        // (140,90) that lies inside it.
        Canvas c(260, 200);
        Gf5Print g;
        QCOMPARE(g.DrawArc(c.dc, 100, 50, 180, 130, 140, 50, 100, 90), 1);
        const QImage img = c.img();
        QVERIFY(testsupport::countColour(img, kBlack) > 50);
        for (int deg = 92; deg <= 178; deg += 2) {
            const double a = deg * M_PI / 180.0;
            const double px = 140 + 40 * std::cos(a), py = 90 - 40 * std::sin(a);
            bool near = false;
            for (int y = int(py) - 2; y <= int(py) + 2 && !near; ++y)
                for (int x = int(px) - 2; x <= int(px) + 2 && !near; ++x)
                    near = img.pixel(x, y) == kBlack && std::hypot(x + 0.5 - px, y + 0.5 - py) <= 1.8;
            QVERIFY2(near, qPrintable(QString("nothing drawn near %1 degrees").arg(deg)));
        }
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) == kBlack) {
                    QVERIFY2(std::hypot(x - 140.0, y - 90.0) <= 43, qPrintable(QString("stray %1,%2").arg(x).arg(y)));
                    QVERIFY2(x <= 141 && y <= 91, qPrintable(QString("outside the quadrant %1,%2").arg(x).arg(y)));
                }

        // The same rays the other way round give the other three quarters.
        Canvas d(260, 200);
        g.DrawArc(d.dc, 100, 50, 180, 130, 100, 90, 140, 50);
        const QImage rest = d.img();
        QCOMPARE(testsupport::countColour(rest, kBlack, QRect(100, 50, 38, 38)), 0);
        QVERIFY(testsupport::countColour(rest, kBlack, QRect(141, 91, 40, 40)) > 20);
        QVERIFY(testsupport::countColour(rest, kBlack, QRect(141, 40, 40, 48)) > 20);
    }

    void closedShapesStayInTheirRectangle()
    {
        Canvas c(120, 80);
        Gf5Print g;
        g.PenWidth = 2;
        g.DrawEllipse(c.dc, 10, 10, 50, 30);
        QCOMPARE(inkBounds(c.img(), kWhite), QRect(10, 10, 40, 20));

        Canvas r(120, 80);
        g.PenWidth = 1;
        g.DrawRoundRect(r.dc, 10, 10, 70, 50, 16, 16);
        const QImage img = r.img();
        QCOMPARE(inkBounds(img, kWhite), QRect(10, 10, 60, 40));
        QCOMPARE(img.pixel(40, 10), kBlack);   // straight part of the top edge
        QCOMPARE(img.pixel(10, 30), kBlack);   // straight part of the left edge
        QCOMPARE(img.pixel(10, 10), kWhite);   // the corner is rounded off
        QCOMPARE(img.pixel(11, 11), kWhite);
        QCOMPARE(img.pixel(69, 49), kWhite);
    }

    void polygonFillMeetsItsOutline()
    {
        // A slanted band and the same band 2 pixels inside it, as double
        // walls are drawn: black faces, white core.
        const int ox[] = {100, 118, 220, 220, 202, 100};
        const int oy[] = {100, 100, 202, 220, 220, 118};
        const int ix[] = {102, 116, 218, 218, 204, 102};
        const int iy[] = {102, 102, 204, 218, 218, 116};
        Canvas c(260, 260);
        Gf5Print g;
        g.PenStyle = 0;
        g.BrushStyle = 1;
        g.BrushColor = 0;
        QCOMPARE(g.DrawPolygon(c.dc, ox, oy, 6), 1);
        g.BrushColor = 0xFFFFFF;
        g.DrawPolygon(c.dc, ix, iy, 6);
        const QImage img = c.img();

        QPolygonF outer, inner;
        for (int i = 0; i < 6; ++i) {
            outer << QPointF(ox[i], oy[i]);
            inner << QPointF(ix[i], iy[i]);
        }
        int face = 0, core = 0;
        for (int y = 95; y < 225; ++y)
            for (int x = 95; x < 225; ++x) {
                const QPointF centre(x + 0.5, y + 0.5);
                if (outer.containsPoint(centre, Qt::OddEvenFill) && !inner.containsPoint(centre, Qt::OddEvenFill)) {
                    QVERIFY2(img.pixel(x, y) == kBlack, qPrintable(QString("face gap at %1,%2").arg(x).arg(y)));
                    ++face;
                }
            }
        // Well inside the inner band everything is white.
        for (int t = 10; t <= 90; t += 5) {
            const int x = 109 + t, y = 109 + t;
            QCOMPARE(img.pixel(x, y), kWhite);
            ++core;
        }
        QVERIFY(face > 100 && core > 0);
        // Across the top face: black from the outer edge for 2 to 3 rows, then white.
        int black = 0;
        while (img.pixel(108, 100 + black) == kBlack)
            ++black;
        QVERIFY2(black >= 2 && black <= 3, qPrintable(QString::number(black)));
        QCOMPARE(img.pixel(108, 99), kWhite);
    }

    void drawImagePlacesAndScales()
    {
        QImage pic(4, 2, QImage::Format_RGB32);
        pic.fill(qRgb(255, 0, 0));
        pic.setPixel(3, 1, qRgb(0, 0, 255));
        const int32_t h = ImageStore::add(pic);
        Canvas c(120, 100);
        Gf5Print g;
        QCOMPARE(g.DrawImage(c.dc, h, 10, 20, 14, 22, 0), 1);
        QImage img = c.img();
        QCOMPARE(img.copy(10, 20, 4, 2), pic);
        QCOMPARE(img.pixel(14, 21), kWhite);
        QCOMPARE(img.pixel(9, 20), kWhite);

        QCOMPARE(g.DrawImage(c.dc, h, 40, 40, 80, 60, 0), 1); // ten times larger
        img = c.img();
        QCOMPARE(inkBounds(img.copy(30, 30, 60, 40), kWhite), QRect(10, 10, 40, 20));
        QCOMPARE(img.pixel(42, 42), qRgb(255, 0, 0));
        QCOMPARE(img.pixel(78, 58), qRgb(0, 0, 255));

        Canvas k(120, 100);
        QCOMPARE(g.DrawImage(k.dc, h, 10, 10, 50, 50, -1), 1); // proportions kept
        QCOMPARE(inkBounds(k.img(), kWhite), QRect(10, 10, 40, 20));

        QCOMPARE(g.DrawImage(k.dc, h, 10, 10, 10, 50, 0), 0); // empty rectangle
        QCOMPARE(g.DrawImage(k.dc, h, 100, 90, 140, 110, 0), 1); // partly off the surface
        QCOMPARE(k.img().size(), QSize(120, 100));
        ImageStore::release(h);
    }

    void pixelsReadAndWrite()
    {
        Canvas c(20, 20);
        Gf5Print g;
        QCOMPARE(g.WritePixel(c.dc, 3, 4, 0x203040), 1); // r 0x40, g 0x30, b 0x20
        int16_t r = 0, gg = 0, b = 0;
        QCOMPARE(g.ReadPixel(c.dc, 3, 4, r, gg, b), 1);
        QCOMPARE(r, int16_t(0x40));
        QCOMPARE(gg, int16_t(0x30));
        QCOMPARE(b, int16_t(0x20));
        QCOMPARE(c.img().pixel(3, 4), qRgb(0x40, 0x30, 0x20));
        QCOMPARE(g.ReadPixel(c.dc, 20, 4, r, gg, b), 0);
        QCOMPARE(g.WritePixel(c.dc, -1, 4, 0), 0);
    }

    void textStaysInsideItsRectangle()
    {
        const QRect box(40, 30, 160, 60); // (40,30)-(200,90)
        auto draw = [&](bool transparent, const QString& text, int size = 48) {
            Canvas c(260, 140, kGrey);
            Gf5Print g;
            g.TextFontName = QString::fromUtf8("ＭＳ Ｐゴシック");
            g.TextFontSize = int16_t(size);
            g.TextBold = true;
            g.TransparentBackground = transparent;
            g.TextString = text;
            g.DrawTextInRect(c.dc, box.left(), box.top(), box.right() + 1, box.bottom() + 1);
            return c.img();
        };
        const QImage opaque = draw(false, QString::fromUtf8("洋室"));
        QCOMPARE(inkBounds(opaque, kGrey), box);
        const int black = testsupport::countColour(opaque, kBlack, box);
        QVERIFY(black > 100);
        QCOMPARE(black + testsupport::countColour(opaque, kWhite, box), box.width() * box.height()); // pure colours

        const QImage clear = draw(true, QString::fromUtf8("洋室"));
        QCOMPARE(testsupport::countColour(clear, kWhite), 0);
        QVERIFY(box.contains(inkBounds(clear, kGrey)));
        QCOMPARE(testsupport::countColour(clear, kBlack) + testsupport::countColour(clear, kGrey), 260 * 140);

        // Too long for the box at 48 pixels: made smaller, still all inside.
        const QImage longText = draw(true, QString::fromUtf8("クローゼット収納"));
        const QRect ink = inkBounds(longText, kGrey);
        QVERIFY(box.contains(ink));
        QVERIFY(ink.width() > box.width() / 2);
    }

    // Bold is visibly heavier than regular whether or not the font has a
    // bold face of its own (the IPA fonts have not), and stays in its box.
    void boldTextCarriesMoreInk_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("text");
        const QString ms = QString::fromUtf8("ＭＳ Ｐゴシック");
        QTest::newRow("single-weight font, across") << ms << 48 << 0 << QString::fromUtf8("洋室");
        QTest::newRow("single-weight font, down") << ms << 48 << 2 << QString::fromUtf8("廊下");
        QTest::newRow("single-weight font, small") << ms << 16 << 0 << QString::fromUtf8("4.5畳");
        QTest::newRow("font with a bold face") << QStringLiteral("DejaVu Sans") << 48 << 0 << QStringLiteral("Room");
    }

    void boldTextCarriesMoreInk()
    {
        QFETCH(QString, family);
        QFETCH(int, size);
        QFETCH(int, direction);
        QFETCH(QString, text);
        const QRect box(20, 20, 260, 160);
        auto draw = [&](bool bold) {
            Canvas c(300, 200, kGrey);
            Gf5Print g;
            g.TextFontName = family;
            g.TextFontSize = int16_t(size);
            g.TextBold = bold;
            g.TextDirection = int16_t(direction);
            g.TextString = text;
            g.DrawTextInRect(c.dc, box.left(), box.top(), box.right() + 1, box.bottom() + 1);
            return c.img();
        };
        const QImage regular = draw(false), bold = draw(true);
        const int regularInk = testsupport::countColour(regular, kBlack);
        const int boldInk = testsupport::countColour(bold, kBlack);
        QVERIFY(regularInk > 0);
        QVERIFY2(boldInk >= regularInk * 108 / 100, qPrintable(QString("bold %1, regular %2").arg(boldInk).arg(regularInk)));
        QVERIFY(box.contains(inkBounds(bold, kGrey)));
        // Still aliased: only the text and background colours.
        QCOMPARE(boldInk + testsupport::countColour(bold, kWhite) + testsupport::countColour(bold, kGrey), 300 * 200);
    }

    void verticalTextStandsUpright()
    {
        auto inkOf = [](const QString& text, int direction) {
            Canvas c(200, 300, kWhite);
            Gf5Print g;
            g.TextFontName = QString::fromUtf8("ＭＳ Ｐゴシック");
            g.TextFontSize = 48;
            g.TextDirection = int16_t(direction);
            g.TextString = text;
            g.DrawTextInRect(c.dc, 20, 10, 180, 290);
            return inkBounds(c.img(), kWhite);
        };
        const QRect across = inkOf(QString::fromUtf8("洋室"), 0);
        const QRect down = inkOf(QString::fromUtf8("洋室"), 2);
        QVERIFY(across.width() > across.height());
        QVERIFY(down.height() > 1.5 * down.width());
        QVERIFY(QRect(20, 10, 160, 280).contains(down));
        // The long mark turns to run downwards.
        const QRect bar = inkOf(QString::fromUtf8("ー"), 2);
        const QRect flat = inkOf(QString::fromUtf8("ー"), 0);
        QVERIFY(flat.width() > flat.height());
        QVERIFY(bar.height() > bar.width());
    }

    void resetToolsRestoresDefaults()
    {
        Gf5Print g;
        g.PenWidth = 5;
        g.PenColor = 123;
        g.PenStyle = 3;
        g.DrawMode = 1;
        g.BrushStyle = 1;
        g.TransparentBackground = false;
        g.TextDirection = 2;
        g.TextBold = true;
        g.ResetTools();
        QCOMPARE(g.PenWidth, 1);
        QCOMPARE(g.PenColor, 0);
        QCOMPARE(g.PenStyle, int16_t(1));
        QCOMPARE(g.DrawMode, int16_t(13));
        QCOMPARE(g.BrushStyle, int16_t(0));
        QVERIFY(g.TransparentBackground);
        QCOMPARE(g.TextDirection, int16_t(0));
        QVERIFY(!g.TextBold);
        QCOMPARE(g.TextBackColor, 0xFFFFFF);
    }

    void printsToAPdfFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("page.pdf");
        QImage pic(60, 60, QImage::Format_RGB32);
        pic.fill(Qt::black);
        const int32_t h = ImageStore::add(pic);
        Gf5Print g;
        g.setPrintToFile(path);
        QCOMPARE(g.ShowPrinterDialog(nullptr), 1);
        int32_t dc = g.BeginPrint(nullptr);
        QVERIFY(dc != 0);
        QCOMPARE(g.StartPrintPage(dc), 1);
        QCOMPARE(g.DrawImage(dc, h, 100, 100, 1100, 1100, -1), 1);
        QCOMPARE(g.EndPrintPage(dc), 1);
        QCOMPARE(g.EndPrint(dc), 1);
        QCOMPARE(g.DrawLine(dc, 0, 0, 10, 10), 0); // the page handle is gone
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(4) == "%PDF");
        QVERIFY(f.size() > 500);
        ImageStore::release(h);
    }
};

ZORVAT_TEST_MAIN(TestDraw)
#include "test_draw.moc"
