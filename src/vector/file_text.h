#pragma once
// What the DXF and SVG writers share: coordinates as plain decimal text and
// files replaced whole or not at all.
#include "vector/plan_vectors.h"
#include <QByteArray>
#include <QString>
#include <string>

namespace vectors {

// `v` in fixed point with at most `decimals` decimals, trailing zeros
// dropped; "12.0" keeps its point when `keepPoint` (DXF readers want a real
// to look like one), else it becomes "12". Never an exponent, which some
// readers refuse; a value beyond any drawing (a corrupt map) or not finite
// is written as 0.
std::string decimalText(double v, int decimals, bool keepPoint);

// Writes `bytes` to `path`, replacing the file only once all is written.
WriteResult writeWhole(const QString& path, const QByteArray& bytes);

} // namespace vectors
