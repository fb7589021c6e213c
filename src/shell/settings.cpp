#include "settings.h"
#include "numbers.h"
#include "userpaths.h"
#include <QFile>
#include <QStringList>

namespace settings {

QString readIniValue(const QString& iniText, const QString& section, const QString& key)
{
    bool inSection = false;
    const QStringList lines = iniText.split('\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            const int end = int(line.indexOf(']'));
            inSection = end > 0 && line.mid(1, end - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const int eq = int(line.indexOf('='));
        if (eq <= 0 || line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
            continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value.left(kValueLimit);
    }
    return {};
}

int resolutionFromSetting(const QString& value)
{
    const int dpi = numbers::readWholeNumber(value);
    return dpi == 0 || dpi > kMostDpi ? 200 : dpi;
}

QString readFirstValue(const QStringList& files, const QString& section, const QString& key)
{
    for (const QString& path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = f.read(1 << 20);
        const QString value = readIniValue(QString::fromUtf8(bytes), section, key);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

} // namespace settings

namespace settings {

QString readSetting(const QString& programDir, const QString& section, const QString& key)
{
    // The program folder's file is a sample and may be read-only once
    // installed: the user's own file in the config folder comes first.
    return readFirstValue({userpaths::configFolder() + "/zorvat.ini", programDir + "/zorvat.ini"}, section, key);
}

} // namespace settings
