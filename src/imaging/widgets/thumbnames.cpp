#include "thumbnames.h"
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace gf5 {

QString thumbDisplayName(const QString& fileName)
{
    QString name = QFileInfo(fileName).completeBaseName();
    name.replace(QChar('_'), QChar(' '));
    return name.simplified();
}

QString searchKey(const QString& text)
{
    QString key = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    for (QChar& c : key) {
        const char16_t u = c.unicode();
        if (u >= 0x3041 && u <= 0x3096) // hiragana -> katakana
            c = QChar(char16_t(u + 0x60));
    }
    return key;
}

bool nameMatches(const QString& name, const QString& query)
{
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    const QString key = searchKey(name);
    // NFKC turns the full-width space into an ordinary one.
    for (const QString& word : searchKey(query).split(spaces, Qt::SkipEmptyParts))
        if (!key.contains(word))
            return false;
    return true;
}

} // namespace gf5
