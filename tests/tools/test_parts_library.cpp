// The generated parts library as a user meets it: lettering whose counters
// stay open at its size, Latin and kana names of one height and weight, the
// symbols and labels a plan needs, a search that finds parts by their
// readings and everyday names, and the window's parts tab showing them.
#include "documents/parts_search.h"
#include "imaging/widgets/thumbdelegate.h"
#include "imaging/widgets/thumbnames.h"
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <vector>

namespace {

QString library() { return QStringLiteral(ZORVAT_PROGRAM_DIR) + "/buhin"; }

bool isInk(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }

// Sizes of the connected areas of ink (8-connected) or of white enclosed by
// ink (4-connected, never reaching the edge).
std::vector<int> areas(const QImage& img, bool ofInk)
{
    const int w = img.width(), h = img.height();
    std::vector<char> seen(size_t(w) * h, 0);
    std::vector<int> out;
    for (int y0 = 0; y0 < h; ++y0)
        for (int x0 = 0; x0 < w; ++x0) {
            if (isInk(img, x0, y0) != ofInk || seen[size_t(y0) * w + x0])
                continue;
            bool edge = false;
            int size = 0;
            std::vector<QPoint> stack{{x0, y0}};
            seen[size_t(y0) * w + x0] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                ++size;
                edge = edge || p.x() == 0 || p.y() == 0 || p.x() == w - 1 || p.y() == h - 1;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const QPoint q = p + QPoint(dx, dy);
                        if ((dx == 0 && dy == 0) || (!ofInk && dx != 0 && dy != 0) || q.x() < 0 || q.y() < 0
                            || q.x() >= w || q.y() >= h || seen[size_t(q.y()) * w + q.x()]
                            || isInk(img, q.x(), q.y()) != ofInk)
                            continue;
                        seen[size_t(q.y()) * w + q.x()] = 1;
                        stack.push_back(q);
                    }
            }
            if (ofInk || !edge)
                out.push_back(size);
        }
    return out;
}

std::vector<int> enclosedWhiteAreas(const QImage& img) { return areas(img, false); }

// text drawn large from the font's outlines, where every counter is open.
QImage reference(const QString& text)
{
    QFont font(QStringLiteral("IPAPGothic"));
    // Large enough that the outline is the font's design: at 200 px some
    // glyphs are still fitted to the grid (納's strokes touch there).
    font.setPixelSize(400);
    font.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath path;
    path.addText(0, 0, font, text);
    // Outlines of a glyph may overlap: what lies inside any of them is ink.
    path.setFillRule(Qt::WindingFill);
    const QRect box = path.boundingRect().toAlignedRect().adjusted(-4, -4, 4, 4);
    QImage img(box.size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.translate(-box.topLeft());
    p.fillPath(path, Qt::black);
    return img;
}

// Rows from the first to the last holding ink.
int inkHeight(const QImage& img)
{
    int top = -1, bottom = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (isInk(img, x, y)) {
                top = top < 0 ? y : top;
                bottom = y;
                break;
            }
    return top < 0 ? 0 : bottom - top + 1;
}

// Mean stroke width: twice the ink's area over its outline's length.
double strokeWidth(const QImage& img)
{
    long area = 0, edges = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (!isInk(img, x, y))
                continue;
            ++area;
            for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                const QPoint q = QPoint(x, y) + d;
                edges += !img.rect().contains(q) || !isInk(img, q.x(), q.y());
            }
        }
    return edges ? 2.0 * area / edges : 0;
}

QImage part(const QString& folder, const QString& name)
{
    return QImage(library() + "/" + folder + "/" + name + ".bmp");
}

} // namespace

class PartsLibraryTest : public QObject {
    Q_OBJECT
private slots:
    void letteringKeepsEveryCounterAndStroke()
    {
        // Every counter (white enclosed by ink) and every stroke (ink area)
        // of the large rendering that would cover two pixels or more at the
        // part's size is kept in the part; the tiny ones where strokes cross
        // may close, and no new ones appear.
        const QStringList files = QDir(library() + "/moji").entryList({"*.bmp"}, QDir::Files);
        QVERIFY(files.size() >= 60);
        QStringList closed;
        for (const QString& file : files) {
            const QString name = QFileInfo(file).completeBaseName();
            const bool vertical = name.endsWith(QStringLiteral("_縦"));
            QString text = name;
            text.remove(QStringLiteral("_縦"));
            const QImage big = reference(text);
            const QImage small(library() + "/moji/" + file);
            // Scale from the line's height (vertical parts: a character's width).
            const double scale = double(vertical ? small.width() - 4 : inkHeight(small)) / inkHeight(big);
            for (const bool ofInk : {false, true}) {
                const std::vector<int> want = areas(big, ofInk);
                const long least =
                    std::count_if(want.cbegin(), want.cend(), [&](int a) { return a * scale * scale >= 2.0; });
                const long got = long(areas(small, ofInk).size());
                if (got < least || got > long(want.size()))
                    closed << QStringLiteral("%1: %2 %3, %4 to %5 expected")
                                  .arg(name).arg(got).arg(ofInk ? "strokes" : "counters").arg(least).arg(want.size());
            }
        }
        QVERIFY2(closed.isEmpty(), qPrintable(closed.join(", ")));
        // 畳 keeps its six counters (田 and the two of 且) where bold fills it.
        QVERIFY(enclosedWhiteAreas(part("moji", "10畳")).size() >= enclosedWhiteAreas(reference("10")).size() + 6);
    }

    void latinAndKanaNamesShareHeightAndWeight()
    {
        const QImage kanji = part("moji", "洋室");
        QVERIFY(!kanji.isNull());
        const int height = inkHeight(kanji);
        const double weight = strokeWidth(kanji);
        QVERIFY(height >= 24); // about 2.5 mm at 1:100 and 254 dpi
        for (const char* n : {"LDK", "WIC", "WC", "UB", "CL", "和室", "寝室", "玄関", "キッチン"}) {
            const QImage img = part("moji", QString::fromUtf8(n));
            QVERIFY2(!img.isNull(), n);
            QVERIFY2(qAbs(inkHeight(img) - height) <= 1,
                     qPrintable(QStringLiteral("%1: %2 px high, 洋室 %3").arg(n).arg(inkHeight(img)).arg(height)));
            QVERIFY2(qAbs(strokeWidth(img) - weight) <= 0.2 * weight,
                     qPrintable(QStringLiteral("%1: strokes %2 px, 洋室 %3").arg(n).arg(strokeWidth(img)).arg(weight)));
        }
    }

    void theSymbolsAndLabelsAPlanNeeds()
    {
        for (const char* n : {"置き型浴槽_1600x800", "洗濯機_600", "下足入れ_900x400", "玄関ドア_900_右", "玄関ドア_900_左",
                              "柱_105", "柱_120", "シャフト_600x600", "車_1700x4700", "冷蔵庫", "便器"})
            QVERIFY2(!part("bihin", QString::fromUtf8(n)).isNull(), n);
        for (const char* n : {"S", "WC", "UB", "CL", "PS", "UP", "DN", "ポーチ", "テラス", "パントリー", "土間", "12帖",
                              "14畳", "16帖", "18帖", "20畳"})
            QVERIFY2(!part("moji", QString::fromUtf8(n)).isNull(), n);

        // The refrigerator is a box with 冷 in it, not a box with a cross:
        // its diagonals are white a quarter of the way in, its centre holds ink.
        const QImage fridge = part("bihin", "冷蔵庫");
        const int s = fridge.width();
        QCOMPARE(fridge.height(), s);
        QVERIFY(!isInk(fridge, s / 4, s / 4) && !isInk(fridge, 3 * s / 4, s / 4));
        int centre = 0;
        for (int y = s / 3; y < 2 * s / 3; ++y)
            for (int x = s / 3; x < 2 * s / 3; ++x)
                centre += isInk(fridge, x, y);
        QVERIFY(centre > 20);
    }

    void searchFindsPartsByReadingAndEverydayName()
    {
        const documents::PartWords words = documents::readPartWords(library() + "/search_words.tsv");
        QVERIFY(!words.isEmpty());
        QStringList shown;
        for (const char* folder : {"bihin", "moji"})
            for (const QString& f : QDir(library() + "/" + folder).entryList({"*.bmp"}, QDir::Files))
                shown << gf5::thumbDisplayName(f);
        const auto found = [&](const QString& query) {
            QStringList out;
            for (const QString& name : shown)
                if (documents::partMatches(name, query, words))
                    out << name;
            return out;
        };
        const struct {
            const char* query;
            const char* finds;
        } cases[] = {
            {"ドア", "片開き戸 800 右"}, {"扉", "両開き戸 1200"},   {"とびら", "片開き戸 600 左"},
            {"ドア", "玄関ドア 900 左"}, {"トイレ", "便器"},          {"れいぞうこ", "冷蔵庫"},
            {"レイゾウコ", "冷蔵庫"},    {"かいだん", "直階段 910x2730"}, {"ドア 900", "片開き戸 900 右"},
            {"げたばこ", "下足入れ 900x400"}, {"じょう", "6畳"},      {"ぴあの", ""},
        };
        for (const auto& c : cases) {
            const QStringList hits = found(QString::fromUtf8(c.query));
            if (*c.finds)
                QVERIFY2(hits.contains(QString::fromUtf8(c.finds)),
                         qPrintable(QStringLiteral("%1 finds %2").arg(c.query, hits.join(", "))));
            else
                QVERIFY2(hits.isEmpty(), qPrintable(QStringLiteral("%1 finds %2").arg(c.query, hits.join(", "))));
        }
        // A synonym finds its parts only: ドア brings no window, トイレ no bath.
        QVERIFY(!found("ドア").contains("引違い窓 1700"));
        QVERIFY(!found("トイレ").contains("ユニットバス 1616"));
        QVERIFY(found("ドア 900").size() < found("ドア").size());
    }

    void thePartsTabOpensOnFittingsAndSearchesByEverydayNames()
    {
        MainWindow w({}, QStringLiteral(ZORVAT_PROGRAM_DIR));
        w.show();
        QTest::mouseClick(w.tabPanels, Qt::LeftButton, {}, w.tabPanels->tabRect(1).center());
        // 建具 is listed at once, without a click on it.
        QCOMPARE(w.tabLibrary->currentIndex(), 0);
        const QStringList listed = w.thmParts->shownFiles();
        QVERIFY(listed.size() >= 40);
        QVERIFY(listed.contains(library() + QString::fromUtf8("/bihin/片開き戸_800_右.bmp")));

        // Names fill two lines of their cell; the tooltip keeps the whole name.
        QListWidgetItem* stairs = nullptr;
        for (int i = 0; i < w.thmParts->count(); ++i)
            if (w.thmParts->item(i)->toolTip() == QString::fromUtf8("かね折れ階段 1820x1820"))
                stairs = w.thmParts->item(i);
        QVERIFY(stairs);
        const QStringList lines =
            gf5::thumbNameLines(stairs->text(), stairs->font(), w.thmParts->gridSize().width() - 4, 2);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.first().size() >= 4, qPrintable(lines.join('|')));

        auto search = [&](const char* text) {
            QInputMethodEvent commit;
            commit.setCommitString(QString::fromUtf8(text));
            auto* box = w.findChild<QLineEdit*>("txtBuhinSearch");
            box->clear();
            QApplication::sendEvent(box, &commit);
            return w.thmParts->shownFiles();
        };
        const QString bihin = library() + "/bihin/";
        QVERIFY(search("ドア").contains(bihin + QString::fromUtf8("片開き戸_900_左.bmp")));
        QVERIFY(!search("ドア").contains(bihin + QString::fromUtf8("冷蔵庫.bmp")));
        QCOMPARE(search("れいぞうこ"), QStringList{bihin + QString::fromUtf8("冷蔵庫.bmp")});
        QCOMPARE(search("トイレ"), QStringList{bihin + QString::fromUtf8("便器.bmp")});
        QVERIFY(search("扉").contains(bihin + QString::fromUtf8("両開き戸_1200.bmp")));
    }
};

ZORVAT_TEST_MAIN(PartsLibraryTest)
#include "test_parts_library.moc"
