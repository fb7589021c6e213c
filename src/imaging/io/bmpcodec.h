#pragma once
// Reading BMP files row by row (progress and cancel between rows): every
// header form (OS/2 1.x and 2.x, Windows 3 to 5), 1 to 32 bits per pixel,
// run-length coding and any bit-field layout. Files with embedded JPEG or
// PNG, other codings or inconsistent headers are refused with a reason; no
// BMP is left to another reader.
#include <QImage>
#include <QString>
#include <functional>
#include <vector>

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

// A channel of a bit-field layout: where its lowest bit lies, how many bits
// it has, and for channels of up to 16 bits a table from sample to 8 bits.
struct BmpChannel {
    int shift = 0;
    int bits = 0;
    quint32 mask = 0;
    std::vector<uchar> table;
};

// Everything needed to turn a BMP file's rows into its image, worked out
// from the header and colour table with every check decodeBmp makes before
// it allocates the image.
struct BmpLayout {
    int width = 0, height = 0;
    int bpp = 0;
    bool topDown = false;
    bool rle = false;
    qint64 offset = 0;   // where the pixel data start
    qint64 stride = 0;   // bytes per row of uncompressed data
    qint64 rowBytes = 0; // bytes of a row that hold pixels (the last row may end there)
    QImage::Format format = QImage::Format_Invalid;
    QList<QRgb> colourTable; // Mono and Indexed8: padded to 2 or 256 entries
    int colours = 0;         // entries the file's colour table holds
    BmpChannel channels[4];  // red, green, blue, alpha (16 and 32 bits)
    bool plain32 = false;    // 32 bits as B, G, R and an unused byte
    qint32 xppm = 0, yppm = 0;
    // The depth reported for the file: 2-bit pictures are read as 8-bit.
    int depth() const { return bpp == 2 ? 8 : bpp; }
};

// Works out the layout from a file's first headSize bytes when the whole
// file is fileSize bytes long. Returns false with error set when decodeBmp
// would refuse the file, and false with error empty when the head is too
// short to tell (it must hold the header, the masks and the colour table).
bool bmpLayout(const uchar* head, qint64 headSize, qint64 fileSize, BmpLayout& layout, QString& error);

// A new image for the layout (colour table and resolution set), null when
// the memory cannot be had.
QImage allocateBmpImage(const BmpLayout& layout);
// The error text for an image allocateBmpImage could not make.
QString bmpTooLargeText(const BmpLayout& layout);

// Converts one uncompressed row of the file (rowBytes of it are read) into
// an image row. False when the row holds an index beyond the colour table.
bool convertBmpRow(const BmpLayout& layout, const uchar* row, uchar* line);
QString bmpBadIndexText();

} // namespace gf5::io
