#pragma once
// Reading what the user types for a drawing scale, a resolution and a
// length, and the texts that show them. Full-width digits and separators
// count like their ASCII forms, as a Japanese input method types them.
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace scale {

// The drawing scales offered in lists, as 1:n.
const std::vector<int>& standardScales();
// "1/100".
QString scaleText(int scaleDenominator);
// The standard scales as scaleText gives them.
QStringList standardScaleTexts();
// "1/100", "1:100", "100" or "S=1/100" as 100; empty for anything else or a
// scale outside 1:1 to 1:100000.
std::optional<int> parseScale(const QString& text);

// "300", "300dpi", "300.5" as dots per inch; empty for anything else or a
// value outside [kLeastDpi, kMostDpi].
std::optional<double> parseResolution(const QString& text);
// A length in millimetres: "3640", "3,640", "3640mm", "3640.5"; empty for
// anything that is not a number (a zero or a negative number is returned,
// for the caller to refuse with its own words).
std::optional<double> parseLength(const QString& text);

// "1/100 で印刷": what the print-size window says the plan prints at.
QString printScaleText(int scaleDenominator);

// The length in pixels a calibration rectangle spans: its longer side.
int calibrationSpan(const QSize& selection);

} // namespace scale

namespace scale {
// Why dpi cannot be the plan's resolution (outside what files are believed
// to state), in words for the user; empty when it can.
QString resolutionRangeProblem(double dpi);
} // namespace scale
