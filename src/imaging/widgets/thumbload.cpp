#include "thumbload.h"
#include "imaging/effects/effectcore.h"
#include "imaging/io/bmpcodec.h"
#include "imaging/io/pngcodec.h"
#include "imaging/io/regularfile.h"
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace gf5 {

namespace {
// JPEG and run-length BMP code at most a few hundred pixels per byte; deflate
// (PNG and the like) reaches about a thousand bytes per byte, eight pixels
// each at one bit per pixel.
constexpr qint64 kPixelsPerByte = 1024;
constexpr qint64 kPixelsPerByteDeflate = 1032 * 8;
constexpr qint64 kSmallPicturePixels = 64 * 64;

// An indexed picture whose colour table is shorter than its indexes reach
// would be read past the table's end when drawn: missing entries are black.
void completeColourTable(QImage& img)
{
    if (img.format() != QImage::Format_Indexed8 || img.colorCount() >= 256)
        return;
    QList<QRgb> table = img.colorTable();
    while (table.size() < 256)
        table << qRgb(0, 0, 0);
    img.setColorTable(table);
}

QImage fitted(QImage img, const QSize& box)
{
    if (img.isNull())
        return {};
    completeColourTable(img);
    img = fx::toRgb32(img);
    if (img.isNull())
        return {};
    if (img.width() > box.width() || img.height() > box.height())
        img = img.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return img;
}
} // namespace

bool plausiblePixelCount(const QSize& claimed, qint64 fileBytes)
{
    if (!claimed.isValid() || claimed.isEmpty() || fileBytes <= 0)
        return false;
    const qint64 pixels = qint64(claimed.width()) * claimed.height();
    return pixels <= kSmallPicturePixels || pixels <= fileBytes * kPixelsPerByte;
}

QImage thumbnailFromBytes(const QByteArray& bytes, const QSize& box)
{
    if (bytes.isEmpty() || box.isEmpty())
        return {};
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    // BMP: the project's reader checks the pixels against the
    // file's bytes before it allocates.
    if (io::looksLikeBmp(data, bytes.size()))
        return fitted(io::decodeBmp(data, bytes.size(), nullptr).image, box);
    // PNG through the project's reader: every colour type exactly, and the
    // claimed size checked against the file's bytes before anything is made.
    if (io::looksLikePng(data, bytes.size()))
        return fitted(io::decodePng(data, bytes.size(), nullptr).image, box);
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    const QSize claimed = reader.size();
    const QByteArray format = reader.format();
    const bool deflate = format != "jpeg" && format != "bmp";
    if (!plausiblePixelCount(claimed, deflate ? bytes.size() * (kPixelsPerByteDeflate / kPixelsPerByte)
                                              : bytes.size())
        || !fx::sizeAllowed(claimed.width(), claimed.height()))
        return {};
    // JPEG decodes straight at the reduced size, so a large scan costs
    // little time and memory.
    const QSize small = claimed.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (small.width() < claimed.width() || small.height() < claimed.height())
        reader.setScaledSize(small);
    QImage img;
    if (!reader.read(&img))
        return {};
    return fitted(std::move(img), box);
}

QImage loadThumbnail(const QString& path, const QSize& box)
{
    QFile file;
    if (!io::openRegularFile(path, file, nullptr))
        return {};
    const qint64 size = file.size();
    if (size <= 0 || size > kMaxThumbnailFileBytes)
        return {};
    return thumbnailFromBytes(file.read(kMaxThumbnailFileBytes), box);
}

} // namespace gf5
