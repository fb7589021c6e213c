#include "textdraw.h"
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <mutex>

namespace gf5 {
namespace {

// Common Windows font names drawn with metric-compatible free fonts when the
// named font itself is not installed.
void installSubstitutions()
{
    static const bool done = [] {
        const struct { const char* name; const char* sub; } table[] = {
            {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"},
            {"ＭＳ ゴシック", "IPAGothic"},    {"MS Gothic", "IPAGothic"},
            {"ＭＳ Ｐ明朝", "IPAPMincho"},     {"MS PMincho", "IPAPMincho"},
            {"ＭＳ 明朝", "IPAMincho"},        {"MS Mincho", "IPAMincho"},
        };
        for (const auto& e : table) {
            const QString name = QString::fromUtf8(e.name);
            if (!QFontDatabase::hasFamily(name) && QFont::substitutes(name).isEmpty())
                QFont::insertSubstitution(name, QString::fromUtf8(e.sub));
        }
        return true;
    }();
    (void)done;
}

QFont makeFont(const TextBox& box, int px)
{
    installSubstitutions();
    QFont f = box.family.isEmpty() ? QFont() : QFont(box.family);
    f.setPixelSize(std::max(1, px));
    f.setBold(box.bold);
    // Aliased glyphs keep text in pure colours (no grey fringes).
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

// True when the family that actually draws f has a bold face of its own.
// Many Japanese fonts (the IPA fonts among them) have one weight only, and
// asking them for bold silently gives the regular glyphs.
bool hasBoldFace(const QFont& f)
{
    static std::mutex lock;
    static QHash<QString, bool> known;
    const QString family = QFontInfo(f).family();
    const std::lock_guard<std::mutex> guard(lock);
    const auto it = known.constFind(family);
    if (it != known.constEnd())
        return *it;
    bool bold = false;
    for (const QString& style : QFontDatabase::styles(family))
        bold = bold || QFontDatabase::weight(family, style) >= QFont::DemiBold;
    known.insert(family, bold);
    return bold;
}

// Width of the pen that thickens every stroke of bold text whose font has no
// bold face (about a twentieth of the em); 0 when the font's own bold serves.
double emboldening(const TextBox& box, const QFont& font)
{
    if (!box.bold || hasBoldFace(font))
        return 0;
    return std::max(1.0, font.pixelSize() / 20.0);
}

// Draws text with its baseline starting at `at`: as the font's glyphs, or,
// when `thicken` is above 0, as the glyph outlines filled and stroked with a
// pen that wide, aliased like the glyphs.
void drawString(QPainter& p, const QPointF& at, const QString& text, const QFont& font, double thicken)
{
    if (thicken <= 0) {
        p.drawText(at, text);
        return;
    }
    QPainterPath path;
    path.addText(at, font, text);
    const QColor ink = p.pen().color();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ink, thicken, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
    p.drawPath(path);
    p.restore();
}

QStringList linesOf(const QString& text)
{
    QString t = text;
    t.remove(QChar('\r'));
    return t.split(QChar('\n'));
}

// One string per character, surrogate pairs kept together.
QStringList charsOf(const QString& line)
{
    QStringList out;
    for (int i = 0; i < line.size();) {
        const int n = line.at(i).isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate() ? 2 : 1;
        out << line.mid(i, n);
        i += n;
    }
    return out;
}

enum class VerticalForm { Upright, Rotated, UpperRight };

// Long marks, dashes and brackets turn a quarter clockwise in vertical
// writing; the small full stop and comma move to the cell's upper right.
VerticalForm verticalForm(const QString& ch)
{
    static const QString rotated =
        QString::fromUtf8("ー〜～-－―‐—…‥()（）「」『』[]［］【】〈〉《》{}｛｝＝=~");
    static const QString upperRight = QString::fromUtf8("。、．，");
    if (ch.size() == 1 && rotated.contains(ch.at(0)))
        return VerticalForm::Rotated;
    if (ch.size() == 1 && upperRight.contains(ch.at(0)))
        return VerticalForm::UpperRight;
    return VerticalForm::Upright;
}

// Largest pixel size the fitting tries: far beyond any selection, small
// enough for the font engine.
constexpr int kMaxPixelSize = 8192;

QSize blockSize(const TextBox& box, const QStringList& lines, int px)
{
    const QFontMetrics fm(makeFont(box, px));
    if (!box.vertical) {
        int w = 0;
        for (const QString& l : lines)
            w = std::max(w, fm.horizontalAdvance(l));
        return {w, fm.height() * int(lines.size())};
    }
    qsizetype n = 0;
    for (const QString& l : lines)
        n = std::max(n, charsOf(l).size());
    const int cell = std::max(1, px);
    return {cell * int(lines.size()), cell * int(n)};
}

// Where the ink of horizontal lines lies, relative to the top-left corner of
// their block (lines centred on the widest); the block itself when the text
// leaves no ink (only spaces).
QRect horizontalInk(const TextBox& box, const QStringList& lines, int px)
{
    const QFontMetrics fm(makeFont(box, px));
    const QSize block = blockSize(box, lines, px);
    QRect ink;
    for (int i = 0; i < lines.size(); ++i) {
        const QRect r = fm.tightBoundingRect(lines[i]);
        if (r.isEmpty())
            continue;
        const int x = (block.width() - fm.horizontalAdvance(lines[i])) / 2;
        ink |= r.translated(x, i * fm.height() + fm.ascent());
    }
    if (ink.isEmpty())
        return QRect(QPoint(0, 0), block);
    // Thickened strokes reach half the pen beyond the glyphs' outlines.
    const int grow = int(std::ceil(emboldening(box, makeFont(box, px)) / 2));
    return ink.adjusted(-grow, -grow, grow, grow);
}

// What must fit into the rectangle at a pixel size.
QSize fittedExtent(const TextBox& box, const QStringList& lines, int px)
{
    return box.vertical ? blockSize(box, lines, px) : horizontalInk(box, lines, px).size();
}

bool fits(const QSize& need, const QSize& room)
{
    return need.width() <= room.width() && need.height() <= room.height();
}

void drawVerticalChar(QPainter& p, const QFont& font, double thicken, const QString& ch, const QRect& cell)
{
    const QFontMetrics fm(font);
    const int adv = fm.horizontalAdvance(ch);
    p.save();
    p.translate(cell.left() + cell.width() / 2.0, cell.top() + cell.height() / 2.0);
    switch (verticalForm(ch)) {
    case VerticalForm::Rotated:
        p.rotate(90);
        break;
    case VerticalForm::UpperRight:
        p.translate(cell.width() / 2.0, -cell.height() / 2.0);
        break;
    case VerticalForm::Upright:
        break;
    }
    drawString(p, QPointF(-adv / 2.0, -fm.height() / 2.0 + fm.ascent()), ch, font, thicken);
    p.restore();
}

} // namespace

int fittedPixelSize(const TextBox& box, const QSize& size)
{
    const QStringList lines = linesOf(box.text);
    const int start = std::clamp(box.pixelSize, 1, kMaxPixelSize);
    const QSize need = fittedExtent(box, lines, start);
    if (need.isEmpty() || size.isEmpty())
        return start;
    // The drawn size follows the pixel size closely: scale once, then
    // correct by steps for the font's rounding.
    const double f = std::min(double(size.width()) / need.width(), double(size.height()) / need.height());
    int px = std::clamp(int(std::floor(start * f)), 1, kMaxPixelSize);
    while (px > 1 && !fits(fittedExtent(box, lines, px), size))
        px -= std::max(1, px / 50);
    while (px < kMaxPixelSize && fits(fittedExtent(box, lines, px + 1), size))
        ++px;
    return std::max(1, px);
}

void drawTextBox(QPainter& p, const QRect& rect, const TextBox& box)
{
    if (rect.isEmpty())
        return;
    p.save();
    p.setClipRect(rect, Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    if (box.opaque)
        p.fillRect(rect, box.back);
    if (!box.text.isEmpty()) {
        const int px = fittedPixelSize(box, rect.size());
        const QFont font = makeFont(box, px);
        const QFontMetrics fm(font);
        const double thicken = emboldening(box, font);
        p.setFont(font);
        p.setPen(box.fore);
        const QStringList lines = linesOf(box.text);
        const QSize need = blockSize(box, lines, px);
        if (!box.vertical) {
            // The ink, not the line boxes, is centred in the rectangle.
            const QRect ink = horizontalInk(box, lines, px);
            const int bx = rect.left() + (rect.width() - ink.width()) / 2 - ink.left();
            const int by = rect.top() + (rect.height() - ink.height()) / 2 - ink.top();
            for (int i = 0; i < lines.size(); ++i) {
                const int x = bx + (need.width() - fm.horizontalAdvance(lines[i])) / 2;
                drawString(p, QPointF(x, by + i * fm.height() + fm.ascent()), lines[i], font, thicken);
            }
        } else {
            const int x0 = rect.left() + (rect.width() - need.width()) / 2;
            const int y0 = rect.top() + (rect.height() - need.height()) / 2;
            // Columns run from right to left, characters from top to bottom.
            const int cell = std::max(1, px);
            const int cols = int(lines.size());
            for (int c = 0; c < cols; ++c) {
                const QStringList chars = charsOf(lines[c]);
                const int cx = x0 + (cols - 1 - c) * cell;
                for (int j = 0; j < chars.size(); ++j)
                    drawVerticalChar(p, font, thicken, chars[j], QRect(cx, y0 + j * cell, cell, cell));
            }
        }
    }
    p.restore();
}

} // namespace gf5
