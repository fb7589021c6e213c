// Compact thumbnail cells: names wrap to two lines of the cell's width,
// broken between characters where a Japanese name has no space, and a
// caller's matcher decides what the search shows.
#include "imaging/widgets/gf5thumb.h"
#include "imaging/widgets/thumbdelegate.h"
#include "testsupport/testmain.h"
#include <QFontMetrics>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace gf5;

class ThumbCellsTest : public QObject {
    Q_OBJECT
private slots:
    void namesWrapToTwoLinesOfTheCell()
    {
        QFont font;
        font.setPixelSize(10);
        const int width = QFontMetrics(font).horizontalAdvance(QString::fromUtf8("回回回回回")) + 2; // five kanji
        const struct {
            const char* name;
            QStringList lines; // empty: checked by the rules below only
        } cases[] = {
            {"和室", {"和室"}},
            {"片開き戸 800 右", {"片開き戸", "800 右"}},
            {"ダイニングテーブル 4人", {}},
            {"かね折れ階段 1820x1820", {}},
            {"", {}},
        };
        for (const auto& c : cases) {
            const QString name = QString::fromUtf8(c.name);
            const QStringList lines = thumbNameLines(name, font, width, 2);
            if (!c.lines.isEmpty())
                QCOMPARE(lines, c.lines);
            QVERIFY(lines.size() <= 2);
            QCOMPARE(lines.isEmpty(), name.isEmpty());
            for (const QString& line : lines)
                QVERIFY2(QFontMetrics(font).horizontalAdvance(line) <= width, qPrintable(line));
            if (lines.isEmpty())
                continue;
            // The first line is filled before the second begins: no name is cut
            // to three characters.
            QVERIFY2(lines.first().size() >= std::min<qsizetype>(4, name.size()), qPrintable(lines.join('|')));
            QVERIFY(name.startsWith(lines.first()));
        }
        // A long name ends elided; the start of its second line follows the first.
        const QStringList stairs = thumbNameLines(QString::fromUtf8("かね折れ階段 1820x1820"), font, width, 2);
        QCOMPARE(stairs.size(), 2);
        QVERIFY(stairs.last().endsWith(QChar(0x2026)));
    }

    void aCallersMatcherDecidesTheSearch()
    {
        QTemporaryDir dir;
        for (const char* name : {"片開き戸_800_右.bmp", "冷蔵庫.bmp"}) {
            QImage img(8, 8, QImage::Format_RGB32);
            img.fill(Qt::black);
            QVERIFY(img.save(dir.filePath(QString::fromUtf8(name)), "BMP"));
        }
        Gf5Thumb thumbs;
        thumbs.Folder = dir.path();
        thumbs.Rebuild();
        thumbs.Display();
        thumbs.setNameFilter(QString::fromUtf8("ドア"));
        QVERIFY(thumbs.shownFiles().isEmpty());
        // Applied at once to the list shown, and to later listings.
        thumbs.setNameMatcher([](const QString& name, const QString& query) {
            return query == QString::fromUtf8("ドア") && name.startsWith(QString::fromUtf8("片開き戸"));
        });
        QCOMPARE(thumbs.shownFiles(), QStringList{dir.filePath(QString::fromUtf8("片開き戸_800_右.bmp"))});
        thumbs.Rebuild();
        thumbs.Display();
        QCOMPARE(thumbs.shownFiles().size(), 1);
    }
};

ZORVAT_TEST_MAIN(ThumbCellsTest)
#include "test_thumb_cells.moc"
