#include "numbers.h"
#include <cmath>
#include <limits>

namespace numbers {

double leadingNumber(const QString& text)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && (text[i] == ' ' || text[i] == '\t' || text[i] == QChar(0x3000)))
        ++i;
    QString digits;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        digits += text[i++];
    bool anyDigit = false;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        digits += text[i++];
        anyDigit = true;
    }
    if (i < n && text[i] == '.') {
        QString frac = ".";
        int j = i + 1;
        while (j < n && text[j] >= '0' && text[j] <= '9')
            frac += text[j++];
        if (frac.size() > 1 || anyDigit) {
            digits += frac;
            anyDigit = anyDigit || frac.size() > 1;
            i = j;
        }
    }
    if (!anyDigit)
        return 0.0;
    // An exponent continues the number only when digits follow it.
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        int j = i + 1;
        QString exp = "e";
        if (j < n && (text[j] == '+' || text[j] == '-'))
            exp += text[j++];
        const int start = j;
        while (j < n && text[j] >= '0' && text[j] <= '9')
            exp += text[j++];
        if (j > start)
            digits += exp;
    }
    bool ok = false;
    const double v = digits.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

int32_t roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = std::nearbyint(value); // default rounding mode: half to even
    if (r >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (r <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return int32_t(r);
}

int32_t readWholeNumber(const QString& text) { return roundHalfEven(leadingNumber(text)); }

std::optional<int32_t> readWholeNumberChecked(const QString& text)
{
    const double r = std::nearbyint(leadingNumber(text));
    if (r > double(std::numeric_limits<int32_t>::max()) || r < double(std::numeric_limits<int32_t>::min()))
        return std::nullopt;
    return int32_t(r);
}

} // namespace numbers
