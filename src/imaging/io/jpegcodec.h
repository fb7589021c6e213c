#pragma once
// JPEG reading and writing straight through libjpeg-turbo: scanline decoding
// into the image's own rows (progress and cancel between rows) and encoding
// from RGB32 rows without a conversion copy.
#include <QImage>
#include <QString>
#include <functional>

class QIODevice;

namespace gf5::io {

struct JpegImage {
    QImage image;     // RGB32, or Grayscale8 for a greyscale file
    int bitDepth = 0; // the file's: 24 colour, 8 grey, 32 CMYK
    QString error;    // why reading failed, in words for the user
    bool cancelled = false;
};

// True when data starts like a JPEG file: the start-of-image marker, which
// is all Qt's own reader looks for, so every such file comes here.
bool looksLikeJpeg(const char* data, qint64 size);

// The picture size in a JPEG's frame header, read without decoding; invalid
// when the header cannot be read.
QSize jpegSize(const uchar* data, size_t size);

// Decodes a JPEG held in memory. progress(percent) is called as rows arrive;
// returning false stops decoding (cancelled, null image). Files that end
// early or are damaged give a null image and an error, also when an end
// marker follows the short data. The image is allocated only when the
// file's bytes can hold its pixels, for every coding the decoder accepts.
// reduction, when given, receives the picture's full size and returns 1, 2,
// 4 or 8: the image is decoded at that fraction of its size (thumbnails).
JpegImage decodeJpeg(const uchar* data, size_t size, const std::function<bool(int)>& progress,
                     const std::function<int(const QSize&)>& reduction = nullptr);

// Encodes image (any format; RGB32 and Grayscale8 without conversion) with
// its resolution as whole dots per inch. Returns false with error set when
// the encoder or the device fails.
bool encodeJpeg(const QImage& image, int quality, QIODevice& device, QString* error);

} // namespace gf5::io
