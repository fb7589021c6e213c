#pragma once
#include <QString>

namespace scale {
// Display factor from a typed percentage, cut down to a whole multiple of
// ten percent: "80" gives 0.8, "155" 1.5, "99" 0.9.
double factorFromPercent(const QString& text);
}
