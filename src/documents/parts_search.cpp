#include "documents/parts_search.h"
#include "imaging/widgets/thumbnames.h"
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace documents {

namespace {
const QRegularExpression& spaces()
{
    static const QRegularExpression re(QStringLiteral("\\s+"));
    return re;
}
} // namespace

PartWords parsePartWords(const QString& text)
{
    PartWords out;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        const QString name = line.left(tab).trimmed();
        if (tab <= 0 || name.isEmpty())
            continue;
        QStringList& words = out[name];
        // Kept folded, so matching compares like with like.
        for (const QString& w : line.mid(tab + 1).split(spaces(), Qt::SkipEmptyParts))
            words << gf5::searchKey(w);
    }
    return out;
}

PartWords readPartWords(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parsePartWords(QString::fromUtf8(file.readAll()));
}

QString partBaseName(const QString& shownName)
{
    static const QRegularExpression separator(QStringLiteral("[\\s_]"));
    return shownName.trimmed().section(separator, 0, 0);
}

bool partMatches(const QString& shownName, const QString& query, const PartWords& words)
{
    const QString name = gf5::searchKey(shownName);
    const QStringList kept = words.value(partBaseName(shownName));
    for (const QString& word : gf5::searchKey(query).split(spaces(), Qt::SkipEmptyParts)) {
        if (name.contains(word))
            continue;
        if (std::none_of(kept.cbegin(), kept.cend(), [&](const QString& k) { return k.contains(word); }))
            return false;
    }
    return true;
}

} // namespace documents
