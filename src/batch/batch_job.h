#pragma once
// The work on one picture: read, the chosen steps, write.
#include "batch/batch_options.h"

namespace batch {

// Reads input, applies the steps of options in order and writes output (in
// options.format, or by output's extension when no format is given). The
// output file is replaced only once it is completely written. Returns an
// empty string on success, else the reason in Japanese.
QString processFile(const QString& input, const QString& output, const Options& options);

// The format a file is written in when no --format is given, from its name:
// "jpg" for .jpg/.jpeg, "png", "pdf", and "bmp" for every other name.
QString formatForName(const QString& path);

} // namespace batch
