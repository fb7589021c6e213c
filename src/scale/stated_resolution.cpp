#include "stated_resolution.h"
#include <QFile>

namespace scale {

namespace {
constexpr double kInchesPerMetre = 1.0 / 0.0254;

quint32 be16(const QByteArray& b, qsizetype at) { return quint32(quint8(b[at])) << 8 | quint8(b[at + 1]); }
quint32 be32(const QByteArray& b, qsizetype at) { return be16(b, at) << 16 | be16(b, at + 2); }
quint32 le16(const QByteArray& b, qsizetype at) { return quint32(quint8(b[at + 1])) << 8 | quint8(b[at]); }
quint32 le32(const QByteArray& b, qsizetype at) { return le16(b, at + 2) << 16 | le16(b, at); }

std::optional<StatedResolution> fromPng(const QByteArray& b)
{
    qsizetype at = 8;
    while (at + 8 <= b.size()) {
        const quint32 length = be32(b, at);
        const QByteArray type = b.mid(at + 4, 4);
        if (type == "IDAT" || type == "IEND")
            break;
        if (type == "pHYs" && length >= 9 && at + 17 <= b.size()) {
            if (quint8(b[at + 16]) != 1) // unit unknown: an aspect ratio only
                return std::nullopt;
            return StatedResolution{be32(b, at + 8) / kInchesPerMetre, be32(b, at + 12) / kInchesPerMetre};
        }
        at += qsizetype(length) + 12;
    }
    return std::nullopt;
}

std::optional<StatedResolution> fromBmp(const QByteArray& b)
{
    if (b.size() < 46 || le32(b, 14) < 40)
        return std::nullopt;
    const auto x = qint32(le32(b, 38)), y = qint32(le32(b, 42));
    return StatedResolution{x / kInchesPerMetre, y / kInchesPerMetre};
}

// X/Y resolution of IFD0 in an EXIF block starting with its TIFF header.
std::optional<StatedResolution> fromExif(const QByteArray& t)
{
    if (t.size() < 8)
        return std::nullopt;
    const bool little = t.startsWith("II");
    if (!little && !t.startsWith("MM"))
        return std::nullopt;
    auto u16 = [&](qsizetype at) { return little ? le16(t, at) : be16(t, at); };
    auto u32 = [&](qsizetype at) { return little ? le32(t, at) : be32(t, at); };
    const qsizetype ifd = u32(4);
    if (ifd + 2 > t.size())
        return std::nullopt;
    const quint32 count = u16(ifd);
    double x = -1, y = -1, perInch = 1;
    for (quint32 i = 0; i < count; ++i) {
        const qsizetype e = ifd + 2 + qsizetype(i) * 12;
        if (e + 12 > t.size())
            break;
        const quint32 tag = u16(e);
        auto rational = [&]() {
            const qsizetype at = u32(e + 8);
            if (at + 8 > t.size())
                return -1.0;
            const quint32 den = u32(at + 4);
            return den == 0 ? 0.0 : double(u32(at)) / den;
        };
        if (tag == 0x011A)
            x = rational();
        else if (tag == 0x011B)
            y = rational();
        else if (tag == 0x0128 && u16(e + 8) == 3) // centimetres
            perInch = 2.54;
    }
    if (x < 0 || y < 0)
        return std::nullopt;
    return StatedResolution{x * perInch, y * perInch};
}

std::optional<StatedResolution> fromJpeg(const QByteArray& b)
{
    std::optional<StatedResolution> exif;
    qsizetype at = 2;
    while (at + 4 <= b.size() && quint8(b[at]) == 0xFF) {
        const quint8 marker = quint8(b[at + 1]);
        if (marker == 0xDA || (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xCC))
            break; // image data or frame header: no more application blocks to read
        const qsizetype length = be16(b, at + 2);
        const QByteArray body = b.mid(at + 4, length - 2);
        if (marker == 0xE0 && body.startsWith(QByteArray("JFIF\0", 5)) && body.size() >= 12) {
            const quint8 unit = quint8(body[7]);
            if (unit == 1 || unit == 2) {
                const double perInch = unit == 1 ? 1.0 : 2.54;
                return StatedResolution{be16(body, 8) * perInch, be16(body, 10) * perInch};
            }
        } else if (marker == 0xE1 && body.startsWith(QByteArray("Exif\0\0", 6)) && !exif) {
            exif = fromExif(body.mid(6));
        }
        at += length + 2;
    }
    return exif;
}
}

std::optional<StatedResolution> statedResolution(const QByteArray& head)
{
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return fromPng(head);
    if (head.startsWith("BM"))
        return fromBmp(head);
    if (head.startsWith("\xFF\xD8"))
        return fromJpeg(head);
    return std::nullopt;
}

std::optional<StatedResolution> statedResolutionOfFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Enough for the header blocks before the image data, EXIF included.
    return statedResolution(f.read(256 * 1024));
}

} // namespace scale
