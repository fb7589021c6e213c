#include "splitfield.h"
#include <QStringList>

QString SplitField(const QString& text, const QString& separator, int index, int& count)
{
    if (separator.isEmpty())
        return {};
    const QStringList fields = text.split(separator);
    if (count == -1)
        count = int(fields.size());
    if (index == 0)
        return fields.first();
    if (index == 99)
        return fields.last();
    if (index >= 1 && index <= fields.size())
        return fields[index - 1];
    return {};
}

QString SplitField(const QString& text, const QString& separator, int index)
{
    int count = 0;
    return SplitField(text, separator, index, count);
}
