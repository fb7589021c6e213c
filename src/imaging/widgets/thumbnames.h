#pragma once
// Names of the pictures in the thumbnail browser and how a search finds them.
#include <QString>

namespace gf5 {

// The name a picture file is shown by: its name without the extension, with
// underscores as spaces ("片開き戸_800_右.bmp" -> "片開き戸 800 右").
QString thumbDisplayName(const QString& fileName);

// Text reduced for matching: full-width letters and digits as ASCII,
// half-width katakana as full-width, hiragana as katakana, case folded.
QString searchKey(const QString& text);

// True when every word of query (separated by spaces, full-width spaces
// too) occurs in name. An empty query matches every name.
bool nameMatches(const QString& name, const QString& query);

} // namespace gf5
