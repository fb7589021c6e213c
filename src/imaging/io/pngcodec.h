#pragma once
// Reading PNG files straight through libpng: rows decoded into the image's
// own rows (progress and cancel between rows), every colour type and depth
// of the format, and a file refused before its image is allocated when its
// bytes cannot hold the pixels it claims.
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace gf5::io {

struct PngImage {
    QImage image;     // Mono, Indexed8, Grayscale8, RGB32, or ARGB32 with transparency
    int bitDepth = 0; // as the image store reports it: 1, 8, 24 or 32
    QString error;    // why reading failed, in words for the user
    bool cancelled = false;
};

// True when data starts with the PNG signature.
bool looksLikePng(const uchar* data, qint64 size);

// The size in the header chunk, invalid when there is none.
QSize pngSize(const uchar* data, qint64 size);

// Decodes a PNG held in memory. Samples of 16 bits are rounded to 8; a
// transparent colour (tRNS) becomes alpha, as does a grey or colour picture's
// alpha channel. Damaged, truncated or inconsistent files are refused.
PngImage decodePng(const uchar* data, qint64 size, const std::function<bool(int)>& progress);

} // namespace gf5::io
