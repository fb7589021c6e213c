#include "settings.h"
#include "form1.h"
#include "numbers.h"
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
    return dpi == 0 ? 200 : dpi;
}

} // namespace settings

QString Form1::ReadSetting(const QString& section, const QString& key) const
{
    QFile f(m_programDir + "/zorvat.ini");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.read(1 << 20);
    return settings::readIniValue(QString::fromUtf8(bytes), section, key);
}
