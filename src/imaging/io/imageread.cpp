#include "imaging/io/imageread.h"
#include "imaging/effects/effectcore.h"
#include "imaging/io/bmpcodec.h"
#include "imaging/io/fileload.h"
#include "imaging/io/jpegcodec.h"
#include "imaging/io/normalise.h"
#include "imaging/io/pngcodec.h"
#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>
#include <memory>

namespace gf5::io {

namespace {

QString conversionFailedText() { return QStringLiteral("画像を変換できませんでした"); }

// The bit depth reported for a picture in a store format: 1-, 4- and 8-bit
// pictures keep their indexed or grey format, full colour is RGB32 (24 or
// the file's 32) and pictures with alpha ARGB32 (32).
int storedDepth(const QImage& img, int fileBits)
{
    switch (img.format()) {
    case QImage::Format_Mono:
        return 1;
    case QImage::Format_Indexed8:
        return fileBits == 4 || fileBits == 1 ? fileBits : 8;
    case QImage::Format_Grayscale8:
        return 8;
    case QImage::Format_ARGB32:
        return 32;
    default:
        return fileBits > 0 ? fileBits : 24;
    }
}

// The most pixels a file of Qt's format can describe per byte, from how
// densely the format can pack them (0: no bound beyond the allocation limit,
// as for formats that may leave areas out or code them in no bits at all).
qint64 mostPixelsPerByte(const QByteArray& format)
{
    if (format == "png" || format == "ico" || format == "cur")
        return 8 * 1032; // deflate expands at most 1032 times, one bit a pixel
    if (format == "gif")
        return 2731; // a 12-bit LZW code stands for at most 4096 pixels
    if (format == "tga")
        return 64; // a two-byte run gives at most 128 pixels
    if (format == "pbm" || format == "pgm" || format == "ppm" || format == "xbm" || format == "wbmp")
        return 8;
    if (format == "xpm")
        return 1;
    return 0;
}

// The reduction (1, 2, 4 or 8) at which a JPEG of size full still covers box.
int jpegReduction(const QSize& full, const QSize& box)
{
    if (!box.isValid() || full.isEmpty())
        return 1;
    const QSize fitted = full.scaled(box, Qt::KeepAspectRatio);
    int r = 1;
    while (r < 8 && full.width() / (2 * r) >= fitted.width() && full.height() / (2 * r) >= fitted.height())
        r *= 2;
    return r;
}

// Qt's reader errors in words for the user (its own texts are English).
QString qtReaderError(QImageReader::ImageReaderError error)
{
    switch (error) {
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("画像として読み込めませんでした: 対応していない形式か、壊れたファイルです");
    case QImageReader::DeviceError:
        return QStringLiteral("画像として読み込めませんでした: ファイルを読めません");
    case QImageReader::InvalidDataError:
        return QStringLiteral("画像として読み込めませんでした: ファイルが壊れているか途中で切れています");
    default:
        return QStringLiteral("画像として読み込めませんでした");
    }
}

// Reads through Qt's readers what the program's own readers do not handle.
ReadOutcome readWithQt(QIODevice& file, qint64 size, const QSize& box)
{
    ReadOutcome out;
    limitQtImageReaders();
    file.seek(0);
    QImageReader reader(&file);
    const QSize claimed = reader.size();
    if (claimed.isValid()) {
        if (!fx::sizeAllowed(claimed.width(), claimed.height())) {
            out.error =
                QStringLiteral("画像が大きすぎてメモリーに収まりません: %1 x %2").arg(claimed.width()).arg(claimed.height());
            return out;
        }
        const qint64 perByte = mostPixelsPerByte(reader.format());
        if (perByte > 0 && qint64(claimed.width()) * claimed.height() > perByte * size) {
            out.error = QStringLiteral("画像ファイルが壊れているか途中で切れています");
            return out;
        }
        if (box.isValid()) {
            const QSize fitted = claimed.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
            if (fitted.width() < claimed.width() || fitted.height() < claimed.height())
                reader.setScaledSize(fitted);
        }
    }
    if (!reader.read(&out.image) || out.image.isNull()) {
        out.image = QImage();
        out.error = qtReaderError(reader.error());
        return out;
    }
    out.image = normaliseImage(std::move(out.image), ImageUse::Store);
    if (out.image.isNull())
        out.error = conversionFailedText();
    else
        out.depth = storedDepth(out.image, 0);
    return out;
}

} // namespace

void limitQtImageReaders()
{
    const int limitMb = int(std::min<qint64>(fx::maxImageBytes() >> 20, std::numeric_limits<int>::max()));
    if (QImageReader::allocationLimit() != limitMb)
        QImageReader::setAllocationLimit(limitMb);
}

namespace {

// The size the picture in data claims, from its header alone.
QSize claimedSize(const QByteArray& bytes)
{
    const uchar* d = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 size = bytes.size();
    if (looksLikeJpeg(bytes.constData(), size))
        return jpegSize(d, size_t(size));
    if (looksLikePng(d, size))
        return pngSize(d, size);
    if (looksLikeBmp(d, size))
        return bmpSize(d, size);
    limitQtImageReaders();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).size();
}

QString cancelledText() { return QStringLiteral("読み込みを中止しました"); }

// Decodes a whole file's bytes with the reader its first bytes call for.
ReadOutcome decodeBytes(QByteArray& bytes, const std::function<bool(int)>& progress, const QSize& box)
{
    ReadOutcome out;
    const uchar* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 size = bytes.size();
    if (looksLikeJpeg(bytes.constData(), size)) {
        JpegImage jpeg = decodeJpeg(data, size_t(size), progress, [&](const QSize& full) { return jpegReduction(full, box); });
        out.image = std::move(jpeg.image);
        out.depth = jpeg.bitDepth;
        out.error = out.image.isNull() ? jpeg.error : QString();
        return out;
    }
    if (looksLikePng(data, size)) {
        PngImage png = decodePng(data, size, progress);
        out.image = normaliseImage(std::move(png.image), ImageUse::Store);
        out.depth = png.bitDepth;
        out.error = out.image.isNull() ? (png.error.isEmpty() ? conversionFailedText() : png.error)
                                       : QString();
        return out;
    }
    if (looksLikeBmp(data, size)) {
        BmpImage bmp = decodeBmp(data, size, progress);
        out.image = normaliseImage(std::move(bmp.image), ImageUse::Store);
        out.depth = bmp.bitDepth;
        out.error = out.image.isNull() ? (bmp.error.isEmpty() ? conversionFailedText() : bmp.error)
                                       : QString();
        return out;
    }
    // Everything else through Qt's readers.
    if (!progress(0)) {
        out.error = cancelledText();
        return out;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    out = readWithQt(buffer, size, box);
    if (out.error.isEmpty() && !progress(100)) {
        out.image = QImage();
        out.error = cancelledText();
    }
    return out;
}

QString noSize(const QString& path) { return QStringLiteral("画像ファイルの大きさを読み取れません: %1").arg(path); }

QString declinedText() { return QStringLiteral("大きな画像を開くのをやめました"); }

// A BMP's image filled row by row on the reading thread.
struct BmpRowsInto {
    BmpLayout layout;
    QImage image;
    uchar* bits = nullptr;
    qsizetype bytesPerLine = 0;
};

// The rows of an uncompressed BMP go straight into its image as they are
// read, when the head holds the header and colour table and the file is
// already as long as its header says (one still being written is read
// whole first, as are run-length files). The file is refused or approved
// as decodeBmp would refuse it and readImageFile approve it; when the image
// cannot be had the file is read whole and refused then, as before.
std::shared_ptr<RecordSink> bmpRowSink(const uchar* head, qint64 headSize, qint64 fileSize,
                                       const std::function<bool(const QSize&)>& approve, bool& asked, bool& declined,
                                       std::shared_ptr<BmpRowsInto>& into)
{
    if (!looksLikeBmp(head, headSize) || headSize < 6 || fileSize < qint64(qFromLittleEndian<quint32>(head + 2)))
        return nullptr;
    auto rows = std::make_shared<BmpRowsInto>();
    QString error;
    if (!bmpLayout(head, headSize, fileSize, rows->layout, error) || rows->layout.rle)
        return nullptr;
    const BmpLayout& l = rows->layout;
    if (approve) {
        asked = true;
        if (!approve(QSize(l.width, l.height))) {
            declined = true;
            return nullptr;
        }
    }
    rows->image = allocateBmpImage(l);
    if (rows->image.isNull())
        return nullptr;
    rows->bits = rows->image.bits();
    rows->bytesPerLine = rows->image.bytesPerLine();
    auto sink = std::make_shared<RecordSink>();
    sink->offset = l.offset;
    sink->stride = l.stride;
    sink->count = l.height;
    sink->lastBytes = l.rowBytes;
    sink->take = [rows](qint64 first, qint64 n, const uchar* data, QString& error) {
        const BmpLayout& l = rows->layout;
        for (qint64 i = 0; i < n; ++i) {
            const qint64 row = first + i;
            uchar* line = rows->bits + rows->bytesPerLine * (l.topDown ? row : l.height - 1 - row);
            if (!convertBmpRow(l, data + i * l.stride, line)) {
                error = bmpBadIndexText();
                return false;
            }
        }
        return true;
    };
    into = rows;
    return sink;
}

} // namespace

ImagePeek peekImageFile(const QString& path)
{
    ImagePeek out;
    // The head of the file holds the header of every format read here; a
    // JPEG whose size comes after larger metadata is read on.
    constexpr qint64 kHead = 1 << 20;
    LoadedFile in = loadFile(path, nullptr, kHead);
    if (in.error.isEmpty() && in.bytes.size() >= kHead && !claimedSize(in.bytes).isValid())
        in = loadFile(path, nullptr);
    if (!in.error.isEmpty()) {
        out.error = in.error;
        return out;
    }
    if (in.bytes.isEmpty()) {
        out.error = QStringLiteral("ファイルが空です: %1").arg(path);
        return out;
    }
    out.size = claimedSize(in.bytes);
    if (!out.size.isValid() || out.size.isEmpty()) {
        out.size = QSize();
        out.error = noSize(path);
    }
    return out;
}

qint64 editingBytes(const QSize& size)
{
    return size.isValid() ? qint64(size.width()) * size.height() * 4 : 0;
}

ReadOutcome readImageFile(const QString& path, const std::function<bool(int)>& report, const QSize& box,
                          const std::function<bool(const QSize&)>& approve)
{
    ReadOutcome out;
    // A read that takes long (a slow folder, a file still being written)
    // reports its bytes in the first half and the decoding in the second.
    bool slowRead = false;
    auto progress = [&](int percent) { return !report || report(slowRead ? 50 + percent / 2 : percent); };
    // A BMP's rows may be decoded as they arrive (reported as its decoding).
    bool asked = false, declined = false;
    std::shared_ptr<BmpRowsInto> rows;
    auto divert = [&](const uchar* head, qint64 headSize, qint64 fileSize) {
        Diversion d;
        d.sink = bmpRowSink(head, headSize, fileSize, approve, asked, declined, rows);
        if (declined)
            d.error = declinedText();
        else if (d.sink)
            d.sink->progress = progress;
        return d;
    };
    LoadedFile in = loadFile(
        path,
        [&](int percent) {
            slowRead = true;
            return !report || report(percent / 2);
        },
        0, GrowthPatience(), divert);
    if (!in.error.isEmpty()) {
        out.error = in.error;
        out.stopped = in.cancelled || declined;
        return out;
    }
    if (in.diverted) {
        out.image = normaliseImage(std::move(rows->image), ImageUse::Store);
        out.depth = rows->layout.depth();
        if (out.image.isNull())
            out.error = conversionFailedText();
        return out;
    }
    if (in.bytes.isEmpty()) {
        out.error = QStringLiteral("ファイルが空です: %1").arg(path);
        return out;
    }
    if (approve && !asked) {
        const QSize claimed = claimedSize(in.bytes);
        if (claimed.isValid() && !claimed.isEmpty() && !approve(claimed)) {
            out.error = declinedText();
            out.stopped = true;
            return out;
        }
    }
    out = decodeBytes(in.bytes, progress, box);
    out.stopped = out.image.isNull() && out.error == cancelledText();
    return out;
}

} // namespace gf5::io
