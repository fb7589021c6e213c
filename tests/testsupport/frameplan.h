#pragma once
// A small plan the wall reader finds walls in: 2400 x 1800 at 300 dpi, a
// frame of 150 mm walls (1/100) from (400, 400) to (2000, 1400) and one
// partition across it.
#include <QString>

namespace testsupport {

// Writes the plan as PNG with its partition at partitionX (0: none); the
// path on success, an empty string otherwise.
QString writeFramePlan(const QString& path, int partitionX);

} // namespace testsupport
