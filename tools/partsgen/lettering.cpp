// Room names and mat sizes in the plan's bold gothic, horizontal, and
// vertical for the narrow rooms Japanese plans label top to bottom.
#include "partsheet.h"
#include "imaging/draw/textdraw.h"

namespace partsgen {

namespace {
// The stand-in for the plans' "ＭＳ Ｐゴシック".
const char* const kFamily = "IPAPGothic";
constexpr int kNamePixels = 30;  // about 3 mm on the printed 1:100 plan
constexpr int kSizePixels = 24;

Part lettering(const QString& name, const QString& text, int pixels, bool vertical)
{
    const int length = int(text.size()) * pixels + pixels;
    const int w = vertical ? 2 * pixels : length, h = vertical ? length : 2 * pixels;
    return makePart(name, w, h, [=](QPainter& p) {
        gf5::TextBox box;
        box.text = text;
        box.family = QString::fromUtf8(kFamily);
        box.pixelSize = pixels;
        box.bold = true;
        box.vertical = vertical;
        gf5::drawTextBox(p, QRect(0, 0, w, h), box);
    });
}
} // namespace

QString letteringFamily() { return QString::fromUtf8(kFamily); }

std::vector<Part> roomNames()
{
    static const char* const names[] = {
        "LDK", "LD", "DK", "K", "リビング", "ダイニング", "キッチン", "洋室", "和室", "寝室", "主寝室",
        "子供部屋", "書斎", "玄関", "ホール", "廊下", "浴室", "洗面所", "脱衣所", "トイレ", "収納", "押入",
        "クローゼット", "WIC", "SIC", "納戸", "バルコニー", "ベランダ", "吹抜", "階段", "物入",
    };
    // Narrow rooms whose names run down the room.
    static const char* const vertical[] = {
        "玄関", "廊下", "浴室", "洗面所", "トイレ", "収納", "押入", "クローゼット", "納戸",
        "バルコニー", "ベランダ", "吹抜", "階段", "物入",
    };
    std::vector<Part> parts;
    for (const char* n : names)
        parts.push_back(lettering(QString::fromUtf8(n), QString::fromUtf8(n), kNamePixels, false));
    for (const char* n : vertical)
        parts.push_back(lettering(QString::fromUtf8(n) + QStringLiteral("_縦"), QString::fromUtf8(n), kNamePixels,
                                  true));
    for (const char* mats : {"4.5", "6", "8", "10"})
        for (const char* unit : {"帖", "畳"}) {
            const QString text = QString::fromUtf8(mats) + QString::fromUtf8(unit);
            parts.push_back(lettering(text, text, kSizePixels, false));
        }
    return parts;
}

} // namespace partsgen
