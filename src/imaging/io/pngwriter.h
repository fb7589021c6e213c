#pragma once
// PNG writing straight through libpng, with the row filter and zlib settings
// chosen for plans: mostly white paper with few colours, where a cheap
// filter and a mid compression level give smaller files in less time than
// libpng's defaults (all filters tried on every row, level 6).
#include <QImage>
#include <QString>

class QIODevice;

namespace gf5::io {

// The settings every PNG is written with (the bench measures against the
// same settings).
struct PngSettings {
    int filter;   // libpng's PNG_FILTER_* bit
    int level;    // zlib level, 0 to 9
    int strategy; // zlib strategy (Z_DEFAULT_STRATEGY, Z_RLE, ...)
};
PngSettings pngSettings();

// Encodes image with its resolution (pHYs, dots per metre) and texts. RGB32
// becomes 8-bit RGB, ARGB32 8-bit RGBA and Grayscale8 8-bit grey, straight
// from the image's rows; other formats (and pictures with a colour profile
// other than sRGB) go through Qt's PNG writer. Returns false with error set
// when the encoder or the device fails.
bool encodePng(const QImage& image, QIODevice& device, QString* error);

} // namespace gf5::io
