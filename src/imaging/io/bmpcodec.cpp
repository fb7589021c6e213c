#include "imaging/io/bmpcodec.h"
#include "imaging/effects/effectcore.h"
#include <QtEndian>
#include <cstring>

namespace gf5::io {

namespace {

constexpr quint32 kRgb = 0, kBitfields = 3;

} // namespace

bool looksLikeBmp(const uchar* data, qint64 size) { return size >= 2 && data[0] == 'B' && data[1] == 'M'; }

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
        out.unsupported = true; // older header forms
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

    bool plain = compression == kRgb && (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32);
    if (compression == kBitfields && bpp == 32 && size >= 66) {
        // Only the ordinary 8-8-8 layout without an alpha mask.
        const bool standard = qFromLittleEndian<quint32>(d + 54) == 0xFF0000 &&
                              qFromLittleEndian<quint32>(d + 58) == 0xFF00 &&
                              qFromLittleEndian<quint32>(d + 62) == 0xFF;
        const bool alpha = infoSize >= 56 && size >= 70 && qFromLittleEndian<quint32>(d + 66) != 0;
        plain = standard && !alpha;
    }
    if (!plain) {
        out.unsupported = true;
        return out;
    }
    if (!fx::sizeAllowed(width, height))
        return fail(QStringLiteral("画像が大きすぎて読み込めません: %1 x %2").arg(width).arg(height));

    const qint64 stride = (qint64(width) * bpp + 31) / 32 * 4;
    const qint64 lastRowBytes = (qint64(width) * bpp + 7) / 8; // the last row may lack its padding
    if (qint64(offBits) + stride * (height - 1) + lastRowBytes > size)
        return fail(QStringLiteral("BMP ファイルが途中で切れています"));

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

    int lastPercent = -1;
    for (qint64 row = 0; row < height; ++row) {
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
