// Room names and mat sizes in the plans' gothic, horizontal, and vertical
// for the narrow rooms Japanese plans label top to bottom.
//
// The letters are drawn from the font's outlines at 8 times the size and
// reduced: a pixel is ink when the outline covers enough of it. That keeps
// the counters of dense kanji (畳, 寝, 書) open at 3 mm, where the font's
// own aliased rendering, and bold above all, closes them. Latin letters are
// enlarged to the kanji's height and drawn lighter, so "LDK" and "洋室"
// stand side by side as one size and weight; kana names are enlarged too.
#include "partsheet.h"
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace partsgen {

namespace {
// The stand-in for the plans' "ＭＳ Ｐゴシック".
const char* const kFamily = "IPAPGothic";
constexpr int kNamePixels = 30;  // about 3 mm on the printed 1:100 plan
constexpr int kSupersample = 8;
// Share of a pixel the outline must cover for the pixel to be ink, and the
// lighter ones tried when a dense kanji still closes a counter.
constexpr double kCovers[] = {0.6, 0.7, 0.8};
// Latin strokes are wider at the size that matches the kanji's height:
// their outlines are thinned by this many supersampled pixels on each side.
constexpr int kLatinThinning = 4;

bool isLatin(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x300; });
}

QFont outlineFont(double pixels)
{
    QFont f(QString::fromUtf8(kFamily));
    f.setPixelSize(std::max(1, int(pixels * kSupersample + 0.5)));
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// Outline height of ch at size 100, from the font's own glyph outline.
double inkHeight(const QString& ch)
{
    QPainterPath path;
    path.addText(0, 0, outlineFont(100.0 / kSupersample), ch);
    return path.boundingRect().height();
}

// Characters that sit in the cell's upper right in vertical writing.
bool isSmallKana(QChar c) { return QString::fromUtf8("ァィゥェォッャュョヮヵヶぁぃぅぇぉっゃゅょゎ").contains(c); }
// Characters that turn a quarter clockwise in vertical writing.
bool isRotatedInVertical(QChar c) { return QString::fromUtf8("ー〜～－―‐").contains(c); }

// A connected area of one kind in a grey raster (ink darker than 128).
struct Region {
    int size = 0;
    bool edge = false; // reaches the raster's edge
};

// The areas of ink (8-connected: a diagonal stroke is one) or of white
// (4-connected, as white between two diagonal strokes does not leak).
std::vector<Region> regions(const QImage& img, bool ofInk)
{
    const int w = img.width(), h = img.height();
    std::vector<char> seen(size_t(w) * size_t(h), 0);
    auto kind = [&](int x, int y) { return (img.constScanLine(y)[x] < 128) == ofInk; };
    std::vector<Region> out;
    std::vector<QPoint> stack;
    for (int y0 = 0; y0 < h; ++y0)
        for (int x0 = 0; x0 < w; ++x0) {
            if (!kind(x0, y0) || seen[size_t(y0) * w + x0])
                continue;
            Region r;
            stack.assign(1, QPoint(x0, y0));
            seen[size_t(y0) * w + x0] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                ++r.size;
                r.edge = r.edge || p.x() == 0 || p.y() == 0 || p.x() == w - 1 || p.y() == h - 1;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        if ((dx == 0 && dy == 0) || (!ofInk && dx != 0 && dy != 0))
                            continue;
                        const QPoint q = p + QPoint(dx, dy);
                        if (q.x() < 0 || q.y() < 0 || q.x() >= w || q.y() >= h || seen[size_t(q.y()) * w + q.x()]
                            || !kind(q.x(), q.y()))
                            continue;
                        seen[size_t(q.y()) * w + q.x()] = 1;
                        stack.push_back(q);
                    }
            }
            out.push_back(r);
        }
    return out;
}

// What a reduced glyph must keep of its large rendering: its counters (white
// areas enclosed by ink) and its strokes (areas of ink), each between the
// number of those of at least two output pixels and the number of all.
struct Shape {
    int leastCounters = 0, mostCounters = 0, leastStrokes = 0, mostStrokes = 0;
};

Shape shapeOf(const QImage& img, int minimum)
{
    Shape s;
    for (const Region& r : regions(img, false))
        if (!r.edge) {
            ++s.mostCounters;
            s.leastCounters += r.size >= minimum;
        }
    for (const Region& r : regions(img, true)) {
        ++s.mostStrokes;
        s.leastStrokes += r.size >= minimum;
    }
    return s;
}

// How far small is from keeping want (0: it keeps it).
int shapeMiss(const Shape& want, const QImage& small)
{
    const Shape got = shapeOf(small, 0);
    auto outside = [](int v, int low, int high) { return v < low ? low - v : v > high ? v - high : 0; };
    return outside(got.mostCounters, want.leastCounters, want.mostCounters)
           + outside(got.mostStrokes, want.leastStrokes, want.mostStrokes);
}

// Coverage of outline, drawn at the supersampled size with its origin
// moved by offset, on a grid of cells output pixels square: one byte per
// supersampled pixel (255 where the outline covers it).
QImage supersampled(const QPainterPath& outline, QPointF offset, QSize cells, int thinning)
{
    QImage big(cells * kSupersample, QImage::Format_Grayscale8);
    big.fill(0);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.translate(offset);
        p.fillPath(outline, Qt::white);
    }
    // Thinning: a pixel stays ink only when every pixel within `thinning`
    // of it, across and down, is ink.
    for (int pass = 0; pass < thinning; ++pass) {
        const QImage before = big;
        for (int y = 0; y < big.height(); ++y) {
            const uchar* up = before.constScanLine(std::max(0, y - 1));
            const uchar* mid = before.constScanLine(y);
            const uchar* down = before.constScanLine(std::min(big.height() - 1, y + 1));
            uchar* out = big.scanLine(y);
            for (int x = 0; x < big.width(); ++x) {
                const int l = std::max(0, x - 1), r = std::min(big.width() - 1, x + 1);
                out[x] = std::min({mid[x], mid[l], mid[r], up[x], down[x]});
            }
        }
    }
    return big;
}

// big reduced by kSupersample: a pixel is black when the outline covers at
// least `cover` of it (stored 0 black, 255 white).
QImage reduce(const QImage& big, double cover)
{
    const int w = big.width() / kSupersample, h = big.height() / kSupersample;
    QImage out(w, h, QImage::Format_Grayscale8);
    const int need = int(std::ceil(cover * 255 * kSupersample * kSupersample));
    for (int y = 0; y < h; ++y) {
        uchar* row = out.scanLine(y);
        for (int x = 0; x < w; ++x) {
            int sum = 0;
            for (int j = 0; j < kSupersample; ++j) {
                const uchar* s = big.constScanLine(y * kSupersample + j) + x * kSupersample;
                for (int i = 0; i < kSupersample; ++i)
                    sum += s[i];
            }
            row[x] = sum >= need ? 0 : 255;
        }
    }
    return out;
}

// One character's outline in a cell, drawn at the quarter-pixel offset and
// the cover whose reduction keeps the counters and strokes the outline has
// at full size: where two strokes of a dense kanji fall decides whether the
// gap between them survives, and whether a thin stroke between two pixels
// does. The first that keeps them all wins (heaviest
// first), the closest when none does.
QImage glyphRaster(const QPainterPath& glyph, QSize cells, int thinning)
{
    const QImage plain = supersampled(glyph, QPointF(kSupersample, kSupersample), cells, 0);
    // The supersampled drawing itself is the large rendering. Counters and
    // strokes of two output pixels or more must stay; smaller ones (where
    // strokes cross, a short tick) may go, and none may appear.
    QImage inverted = plain;
    inverted.invertPixels();
    const Shape want = shapeOf(inverted, 2 * kSupersample * kSupersample);
    QImage best;
    int bestMiss = -1;
    for (const double cover : kCovers)
    for (const int dy : {0, 2, 4, 6})
        for (const int dx : {0, 2, 4, 6}) {
            const QImage big = supersampled(glyph, QPointF(kSupersample + dx, kSupersample + dy), cells, thinning);
            QImage small = reduce(big, cover);
            const int miss = shapeMiss(want, small);
            if (bestMiss < 0 || miss < bestMiss) {
                best = small;
                bestMiss = miss;
            }
            if (miss == 0)
                return best;
        }
    return best;
}

// text laid out one character at a time on whole pixels, horizontally on
// one baseline or upright from the top in square cells. Black on white.
QImage textRaster(const QString& text, const QFont& font, bool vertical, int thinning)
{
    const QFontMetricsF fm(font);
    const int em = int(std::ceil(double(font.pixelSize()) / kSupersample));
    const int lineHeight = int(std::ceil(fm.height() / kSupersample));
    std::vector<std::pair<QPoint, QImage>> glyphs;
    int pen = 0;
    for (const QChar c : text) {
        const double advance = fm.horizontalAdvance(c);
        QPainterPath glyph;
        QSize cells;
        if (!vertical) {
            glyph.addText(0, fm.ascent(), font, QString(c));
            cells = QSize(int(std::ceil(advance / kSupersample)) + 2, lineHeight + 2);
        } else {
            // Centred in a square cell by its advance and the em box.
            const double cell = font.pixelSize();
            glyph.addText(-advance / 2, cell / 2 - fm.descent(), font, QString(c));
            QTransform t;
            t.translate(cell / 2, cell / 2);
            if (isRotatedInVertical(c))
                t.rotate(90);
            else if (isSmallKana(c))
                t.translate(cell * 0.14, -cell * 0.14);
            glyph = t.map(glyph);
            cells = QSize(em + 2, em + 2);
        }
        glyphs.emplace_back(vertical ? QPoint(0, pen) : QPoint(pen, 0), glyphRaster(glyph, cells, thinning));
        pen += vertical ? em : int(std::lround(advance / kSupersample));
    }
    const QSize size = vertical ? QSize(em + 2, pen + 2) : QSize(pen + 2, lineHeight + 2);
    QImage out(size, QImage::Format_RGB32);
    out.fill(Qt::white);
    for (const auto& [at, g] : glyphs)
        for (int y = 0; y < g.height(); ++y)
            for (int x = 0; x < g.width(); ++x)
                if (g.constScanLine(y)[x] == 0 && out.rect().contains(at + QPoint(x, y)))
                    out.setPixel(at + QPoint(x, y), qRgb(0, 0, 0));
    return out;
}

Part lettering(const QString& name, const QString& text, bool vertical)
{
    const QImage img = letteringImage(text, kNamePixels, vertical);
    return makePart(name, img.width(), img.height(), [img](QPainter& p) { p.drawImage(0, 0, img); });
}
} // namespace

QString letteringFamily() { return QString::fromUtf8(kFamily); }

QImage letteringImage(const QString& text, int pixels, bool vertical)
{
    // Names without a kanji (LDK, キッチン) are enlarged to the kanji's
    // height: the font draws capitals and kana smaller than kanji. Latin is
    // measured by its capitals (round letters overshoot them) and enlarged
    // by what thinning takes off its top and bottom.
    const bool kanji = std::any_of(text.cbegin(), text.cend(),
                                   [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
    const bool latin = isLatin(text);
    const double target = inkHeight(QString::fromUtf8("室")) * pixels / 100.0;
    double size = pixels;
    if (latin)
        size = (target + 2.0 * kLatinThinning / kSupersample) * 100.0 / inkHeight(QStringLiteral("H"));
    else if (!kanji && !vertical)
        size = target * 100.0 / inkHeight(text);
    return textRaster(text, outlineFont(size), vertical, latin ? kLatinThinning : 0);
}

std::vector<Part> roomNames()
{
    static const char* const names[] = {
        "LDK", "LD", "DK", "K", "S", "WC", "UB", "CL", "PS", "UP", "DN", "WIC", "SIC", "リビング", "ダイニング",
        "キッチン", "洋室", "和室", "寝室", "主寝室", "子供部屋", "書斎", "玄関", "ホール", "廊下", "浴室", "洗面所",
        "脱衣所", "トイレ", "収納", "押入", "クローゼット", "納戸", "バルコニー", "ベランダ", "ポーチ", "テラス",
        "パントリー", "土間", "吹抜", "階段", "物入",
    };
    // Narrow rooms whose names run down the room.
    static const char* const vertical[] = {
        "玄関", "廊下", "浴室", "洗面所", "トイレ", "収納", "押入", "クローゼット", "納戸",
        "バルコニー", "ベランダ", "パントリー", "土間", "吹抜", "階段", "物入",
    };
    std::vector<Part> parts;
    for (const char* n : names)
        parts.push_back(lettering(QString::fromUtf8(n), QString::fromUtf8(n), false));
    for (const char* n : vertical)
        parts.push_back(lettering(QString::fromUtf8(n) + QStringLiteral("_縦"), QString::fromUtf8(n), true));
    for (const char* mats : {"4.5", "6", "7.5", "8", "10", "12", "13", "14", "15", "16", "17", "18", "20"})
        for (const char* unit : {"帖", "畳"}) {
            const QString text = QString::fromUtf8(mats) + QString::fromUtf8(unit);
            parts.push_back(lettering(text, text, false));
        }
    return parts;
}

} // namespace partsgen
