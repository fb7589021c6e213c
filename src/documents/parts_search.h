#pragma once
// The parts search: a part is found by its name and by the readings and
// synonyms the library keeps for it (search_words.tsv beside the parts:
// "name<TAB>word word ...", one line per base name, "#" starts a comment).
#include <QHash>
#include <QString>
#include <QStringList>

namespace documents {

// Base name -> its readings and synonyms.
using PartWords = QHash<QString, QStringList>;

// The search words of the file's text; lines that are not "name<TAB>words"
// are skipped.
PartWords parsePartWords(const QString& text);
// The search words file at path; empty when it is missing or unreadable.
PartWords readPartWords(const QString& path);

// A shown part name's base name: the name up to its first space or "_"
// ("片開き戸 800 右" -> "片開き戸").
QString partBaseName(const QString& shownName);

// True when every word of query (separated by spaces) occurs in the shown
// name or in one of the words kept for its base name. Kana and width are
// folded as the name search folds them (れいぞうこ finds レイゾウコ). An
// empty query finds every part.
bool partMatches(const QString& shownName, const QString& query, const PartWords& words);

} // namespace documents
