#pragma once
// Reading uncompressed BMP files row by row (progress and cancel between
// rows). Qt's own reader refuses pictures above 16384 x 16384 pixels, less
// than a large plan scanned at high resolution; files this reader does not
// handle (compressed, 16-bit, unusual masks) go to Qt's reader instead.
#include <QImage>
#include <QString>
#include <functional>

namespace gf5::io {

struct BmpImage {
    QImage image;     // RGB32 for 24 and 32 bits, Indexed8 for 4 and 8, Mono for 1
    int bitDepth = 0; // bits per pixel of the file
    QString error;    // why reading failed
    bool cancelled = false;
    bool unsupported = false; // a valid BMP this reader leaves to Qt
};

// True when data starts like a BMP file.
bool looksLikeBmp(const uchar* data, qint64 size);

// The size in a BMP header, invalid when the header holds none.
QSize bmpSize(const uchar* data, qint64 size);

BmpImage decodeBmp(const uchar* data, qint64 size, const std::function<bool(int)>& progress);

} // namespace gf5::io
