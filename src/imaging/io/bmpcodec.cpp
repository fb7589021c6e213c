#include "imaging/io/bmpcodec.h"
#include "imaging/effects/effectcore.h"
#include <QtEndian>
#include <opencv2/imgproc.hpp>
#include <bit>
#include <cstring>
#include <vector>

namespace gf5::io {

namespace {

constexpr quint32 kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kJpeg = 4, kPng = 5, kAlphaBitfields = 6;

// Header sizes in use: OS/2 1.x (12), OS/2 2.x (16 to 64), Windows 3 (40)
// and its later forms with masks, colour space and profile (52, 56, 108, 124).
bool knownHeaderSize(quint32 n)
{
    return n == 12 || n == 16 || n == 40 || n == 52 || n == 56 || n == 64 || n == 108 || n == 124;
}

// The fields of a BMP header this reader uses.
struct Header {
    qint64 fileSize = 0; // as the file header states it
    qint64 offBits = 0;
    quint32 infoSize = 0;
    qint64 width = 0, height = 0;
    bool topDown = false;
    int planes = 1, bpp = 0;
    quint32 compression = kRgb;
    qint64 imageSize = 0;
    qint32 xppm = 0, yppm = 0;
    quint32 coloursUsed = 0;
    quint32 masks[4] = {}; // red, green, blue, alpha
    qint64 paletteAt = 0;  // where the colour table starts
    int paletteEntry = 4;  // bytes per colour table entry
};

// The sample s of a channel of `bits` bits, rounded to 8 bits.
inline uint toEightBits(quint64 s, int bits)
{
    const quint64 max = (quint64(1) << bits) - 1;
    return uint((s * 255 + max / 2) / max);
}

BmpChannel channelOf(quint32 mask)
{
    BmpChannel c;
    c.mask = mask;
    if (mask) {
        c.shift = std::countr_zero(mask);
        c.bits = std::popcount(mask);
        if (c.bits <= 16) {
            c.table.resize(size_t(1) << c.bits);
            for (size_t s = 0; s < c.table.size(); ++s)
                c.table[s] = uchar(toEightBits(s, c.bits));
        }
    }
    return c;
}

// The sample of channel c in pixel value v, rounded to 8 bits.
inline uint scaled(const BmpChannel& c, quint32 v)
{
    if (!c.bits)
        return 0;
    const quint32 s = (v & c.mask) >> c.shift;
    return c.table.empty() ? toEightBits(s, c.bits) : c.table[s];
}

// True when uncompressed rows of width x height pixels at bpp bits, starting
// at offBits, lie within the file (the last row may lack its padding).
bool rowsFit(qint64 offBits, qint64 width, qint64 height, int bpp, qint64 size)
{
    const qint64 stride = (width * bpp + 31) / 32 * 4;
    return bpp > 0 && offBits + stride * (height - 1) + (width * bpp + 7) / 8 <= size;
}

// Reads the header; an empty string or the reason the file is refused.
QString readHeader(const uchar* d, qint64 size, Header& h)
{
    const QString broken = QStringLiteral("BMP ファイルのヘッダーが壊れています");
    if (size < 26)
        return broken;
    h.fileSize = qFromLittleEndian<quint32>(d + 2);
    h.offBits = qFromLittleEndian<quint32>(d + 10);
    h.infoSize = qFromLittleEndian<quint32>(d + 14);
    if (!knownHeaderSize(h.infoSize) || 14 + qint64(h.infoSize) > size)
        return broken;
    if (h.infoSize == 12) {
        h.width = qFromLittleEndian<quint16>(d + 18);
        h.height = qFromLittleEndian<quint16>(d + 20);
        h.planes = qFromLittleEndian<quint16>(d + 22);
        h.bpp = qFromLittleEndian<quint16>(d + 24);
        h.paletteEntry = 3;
        if (h.width == 0 || h.height == 0)
            return QStringLiteral("BMP ファイルの大きさが正しくありません");
    } else {
        // Fields beyond a short OS/2 2.x header are zero.
        uchar info[64] = {};
        std::memcpy(info, d + 14, std::min<size_t>(h.infoSize, sizeof(info)));
        const qint32 w = qFromLittleEndian<qint32>(info + 4);
        const qint32 rawHeight = qFromLittleEndian<qint32>(info + 8);
        if (w <= 0 || rawHeight == 0 || rawHeight == std::numeric_limits<qint32>::min())
            return QStringLiteral("BMP ファイルの大きさが正しくありません");
        h.width = w;
        h.topDown = rawHeight < 0;
        h.height = h.topDown ? -qint64(rawHeight) : rawHeight;
        h.planes = qFromLittleEndian<quint16>(info + 12);
        h.bpp = qFromLittleEndian<quint16>(info + 14);
        h.compression = qFromLittleEndian<quint32>(info + 16);
        h.imageSize = qFromLittleEndian<quint32>(info + 20);
        h.xppm = qFromLittleEndian<qint32>(info + 24);
        h.yppm = qFromLittleEndian<qint32>(info + 28);
        h.coloursUsed = qFromLittleEndian<quint32>(info + 32);
        // OS/2 2.x uses compression 3 and 4 for its own Huffman and 24-bit
        // run-length codings.
        if (h.infoSize == 64 && (h.compression == kBitfields || h.compression == kJpeg))
            return QStringLiteral("この圧縮形式の BMP ファイルには対応していません");
    }
    // Colours described by a colour profile (embedded or linked) are not
    // the plain values this reader shows.
    if (h.infoSize >= 108) {
        const quint32 space = qFromLittleEndian<quint32>(d + 14 + 56);
        if (space == 0x4D424544 || space == 0x4C494E4B) // "MBED", "LINK"
            return QStringLiteral("色プロファイル付きの BMP ファイルには対応していません");
    }
    h.paletteAt = 14 + qint64(h.infoSize);
    if (h.compression == kBitfields || h.compression == kAlphaBitfields) {
        // Masks follow a Windows 3 header; later headers hold them.
        const int count = h.compression == kAlphaBitfields || h.infoSize >= 56 ? 4 : 3;
        if (54 + 4 * count > size)
            return broken;
        for (int i = 0; i < count; ++i)
            h.masks[i] = qFromLittleEndian<quint32>(d + 54 + 4 * i);
        if (h.infoSize == 40)
            h.paletteAt += 4 * count;
    }
    if (h.planes != 1)
        return broken;
    if (h.fileSize > size + 4096 || h.imageSize > size)
        return QStringLiteral("BMP ファイルのヘッダーが壊れています: ファイルの大きさと合いません");
    if (h.xppm < 0 || h.yppm < 0 || h.xppm > 1000000 || h.yppm > 1000000 ||
        (h.xppm > 0 && h.yppm > 0 && std::max(h.xppm, h.yppm) > 100 * qint64(std::min(h.xppm, h.yppm))))
        return QStringLiteral("BMP ファイルの解像度が正しくありません");
    return {};
}

// Checks the bit-field masks: red, green and blue present, each one run of
// bits within the pixel, no two overlapping.
bool masksValid(const quint32 masks[4], int bpp)
{
    quint32 seen = 0;
    for (int i = 0; i < 4; ++i) {
        const quint32 m = masks[i];
        if (!m) {
            if (i < 3)
                return false;
            continue;
        }
        if (bpp < 32 && (m >> bpp) != 0)
            return false;
        const quint32 low = m >> std::countr_zero(m);
        if ((low & (low + 1)) != 0 || (seen & m) != 0)
            return false;
        seen |= m;
    }
    return true;
}

// Decodes run-length coded rows (bottom-up) into img, already filled with
// colour 0 so that pixels the file skips (moves, early ends) are defined.
// Returns an empty string, or why the data are refused: runs or moves past
// the picture, indexes beyond the colour table, data ending before the
// end-of-bitmap code.
QString decodeRle(const uchar* d, qint64 size, qint64 at, int bpp, int colours, QImage& img,
                  const std::function<bool(int)>& progress, bool& cancelled)
{
    const QString truncated = QStringLiteral("BMP ファイルが途中で切れています: 終わりの印がありません");
    const QString outside = QStringLiteral("BMP ファイルが壊れています: 圧縮データが画像の外を指しています");
    const QString badIndex = QStringLiteral("BMP ファイルが壊れています: 色表にない色番号があります");
    const qint64 width = img.width(), height = img.height();
    qint64 x = 0, y = 0;
    int lastPercent = -1;
    for (;;) {
        const int percent = int(std::min(y, height) * 100 / height);
        if (percent != lastPercent) {
            lastPercent = percent;
            if (progress && !progress(percent)) {
                cancelled = true;
                return QStringLiteral("読み込みを中止しました");
            }
        }
        if (at + 2 > size)
            return truncated;
        const int count = d[at], code = d[at + 1];
        at += 2;
        if (count > 0) { // a run of one value (4 bits: two alternating values)
            if (y >= height || x + count > width)
                return outside;
            const int hi = bpp == 8 ? code : code >> 4, lo = bpp == 8 ? code : code & 0x0F;
            if (hi >= colours || (count > 1 && lo >= colours))
                return badIndex;
            uchar* line = img.scanLine(int(height - 1 - y));
            for (int i = 0; i < count; ++i)
                line[x + i] = uchar(i % 2 ? lo : hi);
            x += count;
        } else if (code == 0) { // end of row
            if (y >= height)
                return outside;
            x = 0;
            ++y;
        } else if (code == 1) { // end of bitmap
            return {};
        } else if (code == 2) { // move right and up
            if (at + 2 > size)
                return truncated;
            x += d[at];
            y += d[at + 1];
            at += 2;
            if (x > width || y >= height)
                return outside;
        } else { // `code` literal pixels, padded to a whole 16-bit word
            const qint64 bytes = bpp == 8 ? code : (code + 1) / 2;
            if (at + bytes > size)
                return truncated;
            if (y >= height || x + code > width)
                return outside;
            uchar* line = img.scanLine(int(height - 1 - y));
            for (int i = 0; i < code; ++i) {
                const int v = bpp == 8 ? d[at + i] : (i % 2 ? d[at + i / 2] & 0x0F : d[at + i / 2] >> 4);
                if (v >= colours)
                    return badIndex;
                line[x + i] = uchar(v);
            }
            x += code;
            at += (bytes + 1) & ~qint64(1);
        }
    }
}

// Converts one row of 16- or 32-bit pixels through the masks.
void maskedRow(const uchar* s, QRgb* p, qint64 width, int bpp, const BmpChannel ch[4])
{
    for (qint64 x = 0; x < width; ++x) {
        const quint32 v = bpp == 16 ? qFromLittleEndian<quint16>(s + 2 * x) : qFromLittleEndian<quint32>(s + 4 * x);
        const uint a = ch[3].bits ? scaled(ch[3], v) : 255;
        p[x] = qRgba(int(scaled(ch[0], v)), int(scaled(ch[1], v)), int(scaled(ch[2], v)), int(a));
    }
}

} // namespace

bool looksLikeBmp(const uchar* data, qint64 size) { return size >= 2 && data[0] == 'B' && data[1] == 'M'; }

QSize bmpSize(const uchar* d, qint64 size)
{
    Header h;
    if (!looksLikeBmp(d, size) || !readHeader(d, size, h).isEmpty() || h.width <= 0 || h.height <= 0 ||
        h.width > std::numeric_limits<int>::max() || h.height > std::numeric_limits<int>::max())
        return {};
    return QSize(int(h.width), int(h.height));
}

bool bmpLayout(const uchar* d, qint64 headSize, qint64 size, BmpLayout& out, QString& error)
{
    error.clear();
    if (headSize < size) {
        // The header (of any size), its masks and the colour table must
        // all lie in the head.
        constexpr qint64 kLargestHeader = 14 + 124 + 16;
        if (headSize < kLargestHeader || headSize < qint64(qFromLittleEndian<quint32>(d + 10)))
            return false;
    }
    auto fail = [&](const QString& why) {
        error = why;
        return false;
    };
    if (!looksLikeBmp(d, size))
        return fail(QStringLiteral("BMP ファイルのヘッダーが壊れています"));
    Header h;
    const QString headerError = readHeader(d, size, h);
    if (!headerError.isEmpty())
        return fail(headerError);
    const int bpp = h.bpp;
    const qint64 width = h.width, height = h.height;
    if (h.compression == kJpeg || h.compression == kPng)
        return fail(QStringLiteral("JPEG や PNG を埋め込んだ BMP ファイルには対応していません"));
    const bool rle = h.compression == kRle8 || h.compression == kRle4;
    if ((h.compression == kRle8 && bpp != 8) || (h.compression == kRle4 && bpp != 4))
        return fail(QStringLiteral("BMP ファイルのヘッダーが壊れています: 圧縮形式と色数が合いません"));
    if (rle && h.topDown)
        return fail(QStringLiteral("BMP ファイルのヘッダーが壊れています: 圧縮した画像は上下逆にできません"));
    const bool masked = h.compression == kBitfields || h.compression == kAlphaBitfields;
    if (h.compression > kAlphaBitfields)
        return fail(QStringLiteral("この圧縮形式の BMP ファイルには対応していません"));
    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return fail(QStringLiteral("この色数の BMP ファイルには対応していません: %1 ビット").arg(bpp));
    if (masked && bpp != 16 && bpp != 32)
        return fail(QStringLiteral("BMP ファイルのヘッダーが壊れています: ビットフィールドと色数が合いません"));
    if (!masked && (bpp == 16 || bpp == 32)) {
        // Without masks: 5-5-5 and 8-8-8, the remaining bits unused.
        h.masks[0] = bpp == 16 ? 0x7C00 : 0xFF0000;
        h.masks[1] = bpp == 16 ? 0x03E0 : 0xFF00;
        h.masks[2] = bpp == 16 ? 0x001F : 0xFF;
        h.masks[3] = 0;
    }
    if ((bpp == 16 || bpp == 32) && !masksValid(h.masks, bpp))
        return fail(QStringLiteral("BMP ファイルのビットフィールドが正しくありません"));
    if (!fx::sizeAllowed(width, height))
        return fail(QStringLiteral("画像が大きすぎてメモリーに収まりません: %1 x %2").arg(width).arg(height));
    // A run of two bytes gives at most 255 pixels.
    if (rle ? height * width > (size - h.offBits) / 2 * 255 : !rowsFit(h.offBits, width, height, bpp, size))
        return fail(QStringLiteral("BMP ファイルが途中で切れています"));

    QList<QRgb> palette;
    if (bpp <= 8) {
        const qint64 full = qint64(1) << bpp;
        const qint64 room = (std::min(h.offBits, size) - h.paletteAt) / h.paletteEntry;
        qint64 count = h.coloursUsed > 0 ? qint64(h.coloursUsed) : full;
        if (h.infoSize == 12)
            count = std::min(full, room); // OS/2 1.x tables may be short
        if (count <= 0 || count > room)
            return fail(QStringLiteral("BMP ファイルの色表が壊れています"));
        count = std::min(count, full); // entries beyond the indexes are never used
        const uchar* t = d + h.paletteAt;
        for (qint64 i = 0; i < count; ++i, t += h.paletteEntry)
            palette << qRgb(t[2], t[1], t[0]);
    } else if (h.coloursUsed > 0 && h.paletteAt + qint64(h.coloursUsed) * 4 > size) {
        return fail(QStringLiteral("BMP ファイルの色表が壊れています"));
    }

    const bool alpha = (bpp == 16 || bpp == 32) && h.masks[3] != 0;
    out = BmpLayout();
    out.width = int(width);
    out.height = int(height);
    out.bpp = bpp;
    out.topDown = h.topDown;
    out.rle = rle;
    out.offset = h.offBits;
    out.stride = (width * bpp + 31) / 32 * 4;
    out.rowBytes = (width * bpp + 7) / 8;
    out.format = bpp == 1 ? QImage::Format_Mono
               : bpp <= 8 ? QImage::Format_Indexed8
               : alpha    ? QImage::Format_ARGB32
                          : QImage::Format_RGB32;
    out.colours = int(palette.size());
    if (bpp <= 8) {
        out.colourTable = palette;
        while (out.colourTable.size() < (bpp == 1 ? 2 : 256)) // never indexed: every pixel is checked
            out.colourTable << qRgb(0, 0, 0);
    }
    for (int i = 0; i < 4; ++i)
        out.channels[i] = channelOf(h.masks[i]);
    out.plain32 = bpp == 32 && h.masks[0] == 0xFF0000 && h.masks[1] == 0xFF00 && h.masks[2] == 0xFF && !alpha;
    out.xppm = h.xppm;
    out.yppm = h.yppm;
    return true;
}

QImage allocateBmpImage(const BmpLayout& l)
{
    QImage image = fx::allocate(l.width, l.height, l.format);
    if (image.isNull())
        return {};
    if (!l.colourTable.isEmpty())
        image.setColorTable(l.colourTable);
    if (l.xppm > 0)
        image.setDotsPerMeterX(l.xppm);
    if (l.yppm > 0)
        image.setDotsPerMeterY(l.yppm);
    return image;
}

QString bmpTooLargeText(const BmpLayout& l)
{
    return QStringLiteral("画像が大きすぎてメモリーに収まりません: %1 x %2").arg(l.width).arg(l.height);
}

QString bmpBadIndexText() { return QStringLiteral("BMP ファイルが壊れています: 色表にない色番号があります"); }

bool convertBmpRow(const BmpLayout& l, const uchar* s, uchar* line)
{
    const qint64 width = l.width;
    uchar highest = 0;
    switch (l.bpp) {
    case 1:
        std::memcpy(line, s, size_t((width + 7) / 8)); // both most significant bit first
        if (l.colours < 2)
            for (qint64 x = 0; x < width; ++x)
                highest |= (s[x / 8] >> (7 - x % 8)) & 1;
        break;
    case 2:
    case 4: {
        const int bpp = l.bpp, perByte = 8 / bpp, mask = (1 << bpp) - 1;
        for (qint64 x = 0; x < width; ++x) {
            line[x] = uchar((s[x / perByte] >> (8 - bpp * (x % perByte + 1))) & mask);
            highest = std::max(highest, line[x]);
        }
        break;
    }
    case 8:
        std::memcpy(line, s, size_t(width));
        for (qint64 x = 0; x < width; ++x)
            highest = std::max(highest, line[x]);
        break;
    case 24: {
        // B, G, R to B, G, R, 255: OpenCV's SIMD conversion.
        const cv::Mat from(1, l.width, CV_8UC3, const_cast<uchar*>(s));
        cv::Mat to(1, l.width, CV_8UC4, line);
        cv::cvtColor(from, to, cv::COLOR_BGR2BGRA);
        break;
    }
    default:
        if (l.plain32) {
            QRgb* p = reinterpret_cast<QRgb*>(line);
            std::memcpy(p, s, size_t(width) * 4);
            for (qint64 x = 0; x < width; ++x)
                p[x] |= 0xFF000000u;
        } else {
            maskedRow(s, reinterpret_cast<QRgb*>(line), width, l.bpp, l.channels);
        }
        break;
    }
    return l.bpp > 8 || highest < l.colours;
}

BmpImage decodeBmp(const uchar* d, qint64 size, const std::function<bool(int)>& progress)
{
    BmpImage out;
    auto fail = [&](const QString& why) {
        out.error = why;
        out.image = QImage();
        return out;
    };
    BmpLayout l;
    QString error;
    if (!bmpLayout(d, size, size, l, error))
        return fail(error);
    out.image = allocateBmpImage(l);
    if (out.image.isNull())
        return fail(bmpTooLargeText(l));
    if (l.rle) {
        out.image.fill(0);
        const QString why = decodeRle(d, size, l.offset, l.bpp, l.colours, out.image, progress, out.cancelled);
        if (!why.isEmpty())
            return fail(why);
        if (progress && !progress(100)) {
            out.cancelled = true;
            return fail(QStringLiteral("読み込みを中止しました"));
        }
    } else {
        const qint64 height = l.height;
        int lastPercent = -1;
        for (qint64 row = 0; row < height; ++row) {
            const uchar* s = d + l.offset + l.stride * (l.topDown ? row : height - 1 - row);
            if (!convertBmpRow(l, s, out.image.scanLine(int(row))))
                return fail(bmpBadIndexText());
            const int percent = int((row + 1) * 100 / height);
            if (percent != lastPercent) {
                lastPercent = percent;
                if (progress && !progress(percent)) {
                    out.cancelled = true;
                    return fail(QStringLiteral("読み込みを中止しました"));
                }
            }
        }
    }
    out.bitDepth = l.depth();
    return out;
}

} // namespace gf5::io
