#pragma once
// What a kept copy of unsaved work was: the document's name and when it was
// kept, stored as a small INI text beside the picture. Reading trusts
// nothing in the text: it reads a bounded amount, and a name that is too
// long or holds control characters is cut and cleaned before anyone shows it.
#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace recovery {

struct Meta {
    QString name;
    QDateTime time;
    // The drawing scale (1:n; 0 when not recorded), and whether the
    // resolution the picture file states was the settings file's, taken for
    // want of one of the plan's own.
    int scaleDenominator = 0;
    bool resolutionAssumed = false;
};

// Most bytes of a meta file read; anything after is ignored.
constexpr qsizetype kMetaReadLimit = 64 * 1024;
// Most bytes (UTF-8) of a name kept; a longer one is cut at a character.
constexpr qsizetype kNameLimit = 4096;

// The name as it may be shown: control characters, line and paragraph
// separators and text-direction overrides removed, surrounding space
// trimmed, cut to kNameLimit bytes of UTF-8.
QString cleanName(const QString& name);

// Reads meta text. A missing or unreadable name is empty; a missing or
// invalid time is invalid (the caller falls back on the file's date).
Meta readMeta(const QByteArray& text);
// Reads the meta file at path, at most kMetaReadLimit bytes of it.
Meta readMetaFile(const QString& path);
// The text written for meta (read back by readMeta).
QByteArray metaText(const Meta& meta);

} // namespace recovery
