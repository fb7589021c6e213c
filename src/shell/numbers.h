#pragma once
// Reading numbers typed into combo and text boxes: the leading number of the
// text (leading blanks skipped, reading stops at the first character that
// cannot continue a number, no number gives 0), rounded to a whole number
// with halves going to the even neighbour.
#include <QString>
#include <cstdint>
#include <optional>

namespace numbers {

double leadingNumber(const QString& text);
// Round half to even; values beyond the 32-bit range are clamped.
int32_t roundHalfEven(double value);
// leadingNumber then roundHalfEven.
int32_t readWholeNumber(const QString& text);
// The same, or nothing when the value does not fit in 32 bits.
std::optional<int32_t> readWholeNumberChecked(const QString& text);

} // namespace numbers
