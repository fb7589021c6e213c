// The parts search's words file and matching rules, without a window.
#include "documents/parts_search.h"
#include "testsupport/testmain.h"

class PartsSearchTest : public QObject {
    Q_OBJECT
private slots:
    void matchesNamesReadingsAndSynonyms()
    {
        const documents::PartWords words = documents::parsePartWords(QString::fromUtf8(
            "# comment\tignored\n"
            "片開き戸\tかたびらきど ドア  扉\n"
            "冷蔵庫\tれいぞうこ\r\n"
            "no tab here\n"
            "\tno name\n"));
        QCOMPARE(words.size(), 2);
        QVERIFY(!words.contains("# comment"));
        const struct {
            const char* name;
            const char* query;
            bool found;
        } cases[] = {
            {"片開き戸 800 右", "", true},
            {"片開き戸 800 右", "ドア", true},
            {"片開き戸 800 右", "どあ", true},          // hiragana finds the katakana word
            {"片開き戸 800 右", "ｶﾀﾋﾞﾗｷﾄﾞ", true},      // half-width kana the reading
            {"片開き戸 800 右", "ドア　８００", true},   // one word from the synonyms, one from the name
            {"片開き戸 800 右", "ドア 900", false},     // every word must be found
            {"片開き戸_800_右", "扉", true},            // a file name's base works too
            {"冷蔵庫", "れいぞうこ", true},
            {"冷蔵庫", "レイゾウコ", true},
            {"冷蔵庫", "ドア", false},                  // words belong to their own base name
            {"両開き戸 1200", "ドア", false},           // no words kept for it
            {"両開き戸 1200", "戸", true},
        };
        for (const auto& c : cases)
            QVERIFY2(documents::partMatches(QString::fromUtf8(c.name), QString::fromUtf8(c.query), words) == c.found,
                     qPrintable(QString::fromUtf8(c.name) + " / " + QString::fromUtf8(c.query)));
        // The Windows line end does not stick to the last word.
        QCOMPARE(words.value(QString::fromUtf8("冷蔵庫")), QStringList{QString::fromUtf8("レイゾウコ")});
        QVERIFY(documents::readPartWords("/nonexistent/search_words.tsv").isEmpty());
    }
};

ZORVAT_TEST_MAIN(PartsSearchTest)
#include "test_parts_search.moc"
