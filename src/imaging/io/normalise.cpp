#include "imaging/io/normalise.h"
#include "imaging/effects/effectcore.h"
#include "imaging/io/imageread.h"

namespace gf5::io {

QImage normaliseImage(QImage image, ImageUse use)
{
    if (image.isNull())
        return {};
    if (image.format() == QImage::Format_MonoLSB)
        image = image.convertToFormat(QImage::Format_Mono);
    const int entries = image.format() == QImage::Format_Mono ? 2 : image.format() == QImage::Format_Indexed8 ? 256 : 0;
    if (entries > 0 && image.colorCount() < entries) {
        QList<QRgb> table = image.colorTable();
        while (table.size() < entries)
            table << qRgb(0, 0, 0);
        image.setColorTable(table);
    }
    if (use == ImageUse::Canvas)
        return fx::toRgb32(image);
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return image;
    default:
        break;
    }
    if (!fx::sizeAllowed(image.width(), image.height()))
        return {};
    QImage out;
    if (image.hasAlphaChannel())
        out = image.convertToFormat(QImage::Format_ARGB32);
    else if (image.isGrayscale() && image.depth() > 8)
        out = image.convertToFormat(QImage::Format_Grayscale8);
    else
        out = image.convertToFormat(QImage::Format_RGB32);
    return out;
}

QImage readImageForDisplay(const QString& path, const QSize& box, QString* error)
{
    ReadOutcome read = readImageFile(path, nullptr, box);
    if (error)
        *error = read.error;
    if (!read.error.isEmpty())
        return {};
    QImage image = normaliseImage(std::move(read.image), ImageUse::Canvas);
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("画像を変換できませんでした");
        return {};
    }
    if (box.isValid() && (image.width() > box.width() || image.height() > box.height()))
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace gf5::io
