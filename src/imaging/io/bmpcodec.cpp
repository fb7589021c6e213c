#include "imaging/io/bmpcodec.h"
#include "imaging/effects/effectcore.h"
#include <QtEndian>
#include <cstring>

namespace gf5::io {

namespace {

constexpr quint32 kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6;

// True when uncompressed rows of width x height pixels at bpp bits, starting
// at offBits, lie within the file (the last row may lack its padding).
bool rowsFit(qint64 offBits, qint64 width, qint64 height, int bpp, qint64 size)
{
    const qint64 stride = (width * bpp + 31) / 32 * 4;
    return bpp > 0 && offBits + stride * (height - 1) + (width * bpp + 7) / 8 <= size;
}

// Decodes run-length coded rows (bottom-up) into img, already filled with
// colour 0 so that pixels the file skips are defined. Pixels beyond the
// image are dropped. False when the data end before the end-of-bitmap code
// or the last row.
bool decodeRle(const uchar* d, qint64 size, qint64 at, int bpp, QImage& img,
               const std::function<bool(int)>& progress, bool& cancelled)
{
    const qint64 width = img.width(), height = img.height();
    qint64 x = 0, y = 0;
    auto put = [&](qint64 px, int value) {
        if (px < width && y < height)
            img.scanLine(int(height - 1 - y))[px] = uchar(value);
    };
    int lastPercent = -1;
    while (y < height) {
        const int percent = int(y * 100 / height);
        if (percent != lastPercent) {
            lastPercent = percent;
            if (progress && !progress(percent)) {
                cancelled = true;
                return false;
            }
        }
        if (at + 2 > size)
            return false;
        const int count = d[at], code = d[at + 1];
        at += 2;
        if (count > 0) { // a run of one value (RLE4: two alternating values)
            for (int i = 0; i < count; ++i)
                put(x + i, bpp == 8 ? code : (i % 2 ? code & 0x0F : code >> 4));
            x += count;
        } else if (code == 0) { // end of row
            x = 0;
            ++y;
        } else if (code == 1) { // end of bitmap
            return true;
        } else if (code == 2) { // move right and up
            if (at + 2 > size)
                return false;
            x += d[at];
            y += d[at + 1];
            at += 2;
        } else { // `code` literal pixels, padded to a whole 16-bit word
            const qint64 bytes = bpp == 8 ? code : (code + 1) / 2;
            if (at + bytes > size)
                return false;
            for (int i = 0; i < code; ++i)
                put(x + i, bpp == 8 ? d[at + i] : (i % 2 ? d[at + i / 2] & 0x0F : d[at + i / 2] >> 4));
            x += code;
            at += (bytes + 1) & ~qint64(1);
        }
    }
    return true;
}

} // namespace

bool looksLikeBmp(const uchar* data, qint64 size) { return size >= 2 && data[0] == 'B' && data[1] == 'M'; }

QSize bmpSize(const uchar* d, qint64 size)
{
    if (!looksLikeBmp(d, size) || size < 26)
        return {};
    const quint32 infoSize = qFromLittleEndian<quint32>(d + 14);
    if (infoSize == 12)
        return QSize(qFromLittleEndian<quint16>(d + 18), qFromLittleEndian<quint16>(d + 20));
    const qint32 w = qFromLittleEndian<qint32>(d + 18), h = qFromLittleEndian<qint32>(d + 22);
    if (w <= 0 || h == 0 || h == std::numeric_limits<qint32>::min())
        return {};
    return QSize(w, h < 0 ? -h : h);
}

BmpImage decodeBmp(const uchar* d, qint64 size, const std::function<bool(int)>& progress)
{
    BmpImage out;
    auto fail = [&](const QString& why) {
        out.error = why;
        out.image = QImage();
        return out;
    };
    if (!looksLikeBmp(d, size) || size < 54)
        return fail(QStringLiteral("BMP ファイルのヘッダーが壊れています"));
    const quint32 offBits = qFromLittleEndian<quint32>(d + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(d + 14);
    if (infoSize < 40 || 14 + qint64(infoSize) > size) {
        // Older header forms go to Qt's reader, but only with all their rows.
        if (infoSize == 12 && size >= 26 &&
            !rowsFit(offBits, qFromLittleEndian<quint16>(d + 18), qFromLittleEndian<quint16>(d + 20),
                     qFromLittleEndian<quint16>(d + 24), size))
            return fail(QStringLiteral("BMP ファイルが途中で切れています"));
        out.unsupported = true;
        return out;
    }
    const qint32 width = qFromLittleEndian<qint32>(d + 18);
    const qint32 rawHeight = qFromLittleEndian<qint32>(d + 22);
    const int bpp = qFromLittleEndian<quint16>(d + 28);
    const quint32 compression = qFromLittleEndian<quint32>(d + 30);
    const qint32 xppm = qFromLittleEndian<qint32>(d + 38);
    const qint32 yppm = qFromLittleEndian<qint32>(d + 42);
    const quint32 coloursUsed = qFromLittleEndian<quint32>(d + 46);
    if (width <= 0 || rawHeight == 0 || rawHeight == std::numeric_limits<qint32>::min())
        return fail(QStringLiteral("BMP ファイルの大きさが正しくありません"));
    const bool topDown = rawHeight < 0;
    const qint64 height = topDown ? -qint64(rawHeight) : rawHeight;

    const bool rle = (compression == kRle8 && bpp == 8) || (compression == kRle4 && bpp == 4);
    if (rle && rawHeight < 0)
        return fail(QStringLiteral("BMP ファイルのヘッダーが壊れています"));
    bool plain = rle || (compression == kRgb && (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32));
    if (compression == kBitfields && bpp == 32 && size >= 66) {
        // Only the ordinary 8-8-8 layout without an alpha mask.
        const bool standard = qFromLittleEndian<quint32>(d + 54) == 0xFF0000 &&
                              qFromLittleEndian<quint32>(d + 58) == 0xFF00 &&
                              qFromLittleEndian<quint32>(d + 62) == 0xFF;
        const bool alpha = infoSize >= 56 && size >= 70 && qFromLittleEndian<quint32>(d + 66) != 0;
        plain = standard && !alpha;
    }
    if (!fx::sizeAllowed(width, height))
        return fail(QStringLiteral("画像が大きすぎて読み込めません: %1 x %2").arg(width).arg(height));
    const QString truncated = QStringLiteral("BMP ファイルが途中で切れています");
    if (!plain) {
        // Qt's reader gets only uncompressed files whose rows are all there:
        // it would leave the rows of a short file undefined.
        if (compression != kRgb && compression != kBitfields && compression != kAlphaBitfields)
            return fail(QStringLiteral("この圧縮形式の BMP ファイルには対応していません"));
        if (!rowsFit(offBits, width, height, bpp, size))
            return fail(truncated);
        out.unsupported = true;
        return out;
    }
    // A run of two bytes gives at most 255 pixels.
    if (rle ? height * width > (size - qint64(offBits)) / 2 * 255 : !rowsFit(offBits, width, height, bpp, size))
        return fail(truncated);
    const qint64 stride = (qint64(width) * bpp + 31) / 32 * 4;
    const qint64 lastRowBytes = (qint64(width) * bpp + 7) / 8;

    QList<QRgb> palette;
    if (bpp <= 8) {
        const qint64 count = coloursUsed > 0 ? std::min<qint64>(coloursUsed, 1 << bpp) : (1 << bpp);
        const qint64 at = 14 + qint64(infoSize);
        if (at + count * 4 > qint64(offBits) || at + count * 4 > size)
            return fail(QStringLiteral("BMP ファイルの色表が壊れています"));
        for (qint64 i = 0; i < count; ++i)
            palette << qRgb(d[at + 4 * i + 2], d[at + 4 * i + 1], d[at + 4 * i]);
        while (palette.size() < (1 << bpp)) // indexes beyond a short table show black
            palette << qRgb(0, 0, 0);
    }

    const QImage::Format format = bpp == 1 ? QImage::Format_Mono
                                : bpp <= 8 ? QImage::Format_Indexed8
                                           : QImage::Format_RGB32;
    out.image = fx::allocate(width, int(height), format);
    if (out.image.isNull())
        return fail(QStringLiteral("画像が大きすぎて読み込めません: %1 x %2").arg(width).arg(height));
    if (bpp <= 8)
        out.image.setColorTable(palette);
    if (rle) {
        out.image.fill(0);
        if (!decodeRle(d, size, offBits, bpp, out.image, progress, out.cancelled))
            return fail(out.cancelled ? QStringLiteral("読み込みを中止しました") : truncated);
        if (progress && !progress(100)) {
            out.cancelled = true;
            return fail(QStringLiteral("読み込みを中止しました"));
        }
    }

    int lastPercent = -1;
    for (qint64 row = 0; row < (rle ? 0 : height); ++row) {
        const uchar* s = d + offBits + stride * (topDown ? row : height - 1 - row);
        uchar* line = out.image.scanLine(int(row));
        switch (bpp) {
        case 1:
            std::memcpy(line, s, size_t(lastRowBytes)); // both most significant bit first
            break;
        case 4:
            for (qint32 x = 0; x < width; ++x)
                line[x] = x % 2 ? s[x / 2] & 0x0F : s[x / 2] >> 4;
            break;
        case 8:
            std::memcpy(line, s, size_t(width));
            break;
        case 24: {
            QRgb* p = reinterpret_cast<QRgb*>(line);
            for (qint32 x = 0; x < width; ++x, s += 3)
                p[x] = 0xFF000000u | (quint32(s[2]) << 16) | (quint32(s[1]) << 8) | s[0];
            break;
        }
        default: {
            QRgb* p = reinterpret_cast<QRgb*>(line);
            std::memcpy(p, s, size_t(width) * 4);
            for (qint32 x = 0; x < width; ++x)
                p[x] |= 0xFF000000u;
            break;
        }
        }
        const int percent = int((row + 1) * 100 / height);
        if (percent != lastPercent) {
            lastPercent = percent;
            if (progress && !progress(percent)) {
                out.cancelled = true;
                return fail(QStringLiteral("読み込みを中止しました"));
            }
        }
    }
    if (xppm > 0)
        out.image.setDotsPerMeterX(xppm);
    if (yppm > 0)
        out.image.setDotsPerMeterY(yppm);
    out.bitDepth = bpp;
    return out;
}

} // namespace gf5::io
