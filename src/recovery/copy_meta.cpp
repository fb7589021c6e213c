#include "copy_meta.h"
#include <QFile>

namespace recovery {

namespace {
bool isHidden(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        return true; // C0 and C1 controls, DEL
    if (c == 0x2028 || c == 0x2029)
        return true; // line and paragraph separators
    // Text-direction embeddings, overrides and isolates: they would let a
    // name show something other than what it is.
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F;
}

// The longest prefix of utf8 within limit bytes that ends between characters.
QByteArray cutUtf8(const QByteArray& utf8, qsizetype limit)
{
    if (utf8.size() <= limit)
        return utf8;
    qsizetype end = limit;
    while (end > 0 && (uchar(utf8[end]) & 0xC0) == 0x80)
        --end; // utf8[end] continues a character: cut before that character
    return utf8.left(end);
}
}

QString cleanName(const QString& name)
{
    // Every character takes at least one byte: what lies past kNameLimit
    // characters can never be kept.
    QString out;
    qsizetype bytes = 0;
    for (char32_t c : name.left(kNameLimit).toUcs4()) {
        if (isHidden(c))
            continue;
        bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (bytes > kNameLimit)
            break;
        out += QString::fromUcs4(&c, 1);
    }
    return out.trimmed();
}

Meta readMeta(const QByteArray& input)
{
    const QByteArray text = input.left(kMetaReadLimit);
    Meta meta;
    bool inGeneral = false;
    bool haveName = false, haveTime = false;
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = text.indexOf('\n', at);
        if (end < 0)
            end = text.size();
        const QByteArray line = text.mid(at, end - at).trimmed();
        at = end + 1;
        if (line.startsWith('[')) {
            inGeneral = line == "[General]";
            continue;
        }
        if (!inGeneral)
            continue;
        if (!haveName && line.startsWith("name=")) {
            // Cut before decoding, so a huge name costs no more than a short one.
            meta.name = cleanName(QString::fromUtf8(cutUtf8(line.mid(5), kNameLimit)));
            haveName = true;
        } else if (!haveTime && line.startsWith("time=")) {
            meta.time = QDateTime::fromString(QString::fromLatin1(line.mid(5, 64)), Qt::ISODate);
            haveTime = true;
        } else if (line.startsWith("scale=")) {
            bool ok = false;
            const int n = line.mid(6, 16).toInt(&ok);
            meta.scaleDenominator = ok && n > 0 ? n : 0;
        } else if (line == "resolution=assumed") {
            meta.resolutionAssumed = true;
        }
    }
    return meta;
}

Meta readMetaFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return readMeta(f.read(kMetaReadLimit));
}

QByteArray metaText(const Meta& meta)
{
    // Written by hand: QSettings would escape the Japanese name.
    QByteArray text = "[General]\nname=";
    text += cleanName(meta.name).toUtf8();
    text += "\ntime=" + meta.time.toString(Qt::ISODateWithMs).toUtf8() + "\n";
    if (meta.scaleDenominator > 0)
        text += "scale=" + QByteArray::number(meta.scaleDenominator) + "\n";
    if (meta.resolutionAssumed)
        text += "resolution=assumed\n";
    return text;
}

} // namespace recovery
