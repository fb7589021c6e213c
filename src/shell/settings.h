#pragma once
// The settings file: INI format, read only.
#include <QString>
#include <QStringList>

namespace settings {

constexpr int kValueLimit = 254; // longer values are cut, as the reading buffer does

// Value of key in section of INI text; empty when missing. Section and key
// names compare case-insensitively; the value is trimmed and cut to kValueLimit.
QString readIniValue(const QString& iniText, const QString& section, const QString& key);
// Resolutions above this are no real device's and count as invalid.
constexpr int kMostDpi = 100000;
// Resolution for the title refresh: the setting's whole number, 200 when 0
// or above kMostDpi.
int resolutionFromSetting(const QString& value);
// Value of key in the first of files (INI, read only) that gives one: the
// user's own file before the program folder's. Missing files are skipped;
// empty when none gives a value.
QString readFirstValue(const QStringList& files, const QString& section, const QString& key);
// Value of key in section of zorvat.ini: the user's own file, then the one
// in programDir.
QString readSetting(const QString& programDir, const QString& section, const QString& key);

} // namespace settings
