#include "scale.h"
#include "numbers.h"
#include <cmath>

double scale::factorFromPercent(const QString& text)
{
    return std::trunc(numbers::leadingNumber(text) / 100.0 * 10.0) / 10.0;
}
