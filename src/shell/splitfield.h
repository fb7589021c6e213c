#pragma once
#include <QString>

// Splits text at every separator and returns one field: index 0 the first,
// 99 the last, n (1-based) the n-th, or empty text when there are fewer.
// A count of -1 on entry is replaced by the number of fields.
QString SplitField(const QString& text, const QString& separator, int index, int& count);
QString SplitField(const QString& text, const QString& separator, int index);
