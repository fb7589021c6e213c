#pragma once
// The plan of a worked-on picture as vector files: its walls read from the
// ink and written as DXF and/or SVG in millimetres at the plan's scale.
#include "batch/batch_options.h"
#include <QImage>
#include <QString>

namespace batch {

// The vector file of `input` in `dir` with `suffix` ("dxf", "svg").
QString vectorOutputPath(const QString& dir, const QString& input, const QString& suffix);

// Reads the walls of `image` (at its own resolution and options.scale) and
// writes one file per vector folder of `options`. Returns an empty string on
// success, else the reason in Japanese. A plan without walls gives files
// without wall entities.
QString writeVectorFiles(const QImage& image, const QString& input, const Options& options);

} // namespace batch
