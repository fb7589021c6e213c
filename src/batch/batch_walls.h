#pragma once
// zorvat-batch --walls: each picture's wall map as JSON.
#include "batch/batch_options.h"
#include <QImage>
#include <QString>

namespace batch {

// True when the run writes wall maps and no pictures.
inline bool wallsOnly(const Options& o) { return !o.wallsDir.isEmpty() && o.outDir.isEmpty() && !o.inPlace; }

// DIR/<name>.walls.json for an input file.
QString wallsFileFor(const QString& input, const QString& dir);

// Reads the walls of image (at its own resolution, 1/100) and writes the map
// to path, replacing it only once completely written. Returns an empty
// string on success, else the reason in Japanese.
QString writeWallMap(const QImage& image, const QString& path);

} // namespace batch
