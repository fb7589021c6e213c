#pragma once
// Reading BMP files row by row (progress and cancel between rows): every
// header form (OS/2 1.x and 2.x, Windows 3 to 5), 1 to 32 bits per pixel,
// run-length coding and any bit-field layout. Files with embedded JPEG or
// PNG, other codings or inconsistent headers are refused with a reason; no
// BMP is left to another reader.
#include <QImage>
#include <QString>
#include <functional>

namespace gf5::io {

struct BmpImage {
    QImage image;     // Mono for 1 bit, Indexed8 for 2 to 8, RGB32, or ARGB32 with an alpha mask
    int bitDepth = 0; // bits per pixel of the file (8 for 2-bit files)
    QString error;    // why reading failed
    bool cancelled = false;
};

// True when data starts like a BMP file.
bool looksLikeBmp(const uchar* data, qint64 size);

// The size in a BMP header, invalid when the header holds none.
QSize bmpSize(const uchar* data, qint64 size);

BmpImage decodeBmp(const uchar* data, qint64 size, const std::function<bool(int)>& progress);

} // namespace gf5::io
