// Reading and writing image files, and the file dialogs.
#include "imaging/io/gf5file.h"
#include "imaging/effects/effectcore.h"
#include "imaging/io/bmpcodec.h"
#include "imaging/io/jpegcodec.h"
#include "imaging/store/imagestore.h"
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QStringList>

namespace gf5 {

std::function<QString(bool save)> Gf5File::dialogOverride;

namespace {

// Bits per pixel in a BMP header (bytes 28-29), 0 when data is no BMP.
int bmpBitsPerPixel(const uchar* data, qint64 size)
{
    if (size < 30 || data[0] != 'B' || data[1] != 'M')
        return 0;
    return data[28] | (data[29] << 8);
}

// The image as the store keeps it, with the bit depth reported for it:
// 1-, 4- and 8-bit pictures keep their indexed or grey format, full colour
// becomes RGB32 (24) and pictures with alpha ARGB32 (32).
bool normalise(QImage& img, int& depth, int fileBits)
{
    switch (img.format()) {
    case QImage::Format_Mono:
        depth = 1;
        break;
    case QImage::Format_MonoLSB:
        img = img.convertToFormat(QImage::Format_Mono);
        depth = 1;
        break;
    case QImage::Format_Indexed8:
        depth = fileBits == 4 || fileBits == 1 ? fileBits : 8;
        break;
    case QImage::Format_Grayscale8:
        depth = 8;
        break;
    case QImage::Format_RGB32:
        depth = fileBits > 0 ? fileBits : 24;
        break;
    case QImage::Format_ARGB32:
        depth = 32;
        break;
    default:
        if (img.hasAlphaChannel()) {
            img = img.convertToFormat(QImage::Format_ARGB32);
            depth = 32;
        } else if (img.isGrayscale() && img.depth() > 8) {
            img = img.convertToFormat(QImage::Format_Grayscale8);
            depth = 8;
        } else {
            img = img.convertToFormat(QImage::Format_RGB32);
            depth = fileBits > 0 ? fileBits : 24;
        }
        break;
    }
    return !img.isNull();
}

// Lets Qt's readers allocate as much as the imaging layer allows (Qt's own
// default refuses pictures above 128 MB, less than an A4 page at 600 dpi).
void allowLargeReads()
{
    const int allowedMb = int(std::min<qint64>(fx::maxImageBytes() >> 20, std::numeric_limits<int>::max()));
    const int current = QImageReader::allocationLimit();
    if (current != 0 && current < allowedMb)
        QImageReader::setAllocationLimit(allowedMb);
}

// "*;JPG;BMP;" -> the image types offered by the dialogs.
QString dialogFilter(const QString& types)
{
    QStringList patterns;
    for (const QString& part : types.split(';', Qt::SkipEmptyParts)) {
        const QString ext = part.trimmed().toLower().remove(QStringLiteral("*.")).remove('.');
        if (ext.isEmpty() || ext == QLatin1String("*"))
            continue;
        QStringList exts{ext};
        if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
            exts = {QStringLiteral("jpg"), QStringLiteral("jpeg")};
        for (const QString& e : exts)
            for (const QString& p : {"*." + e, "*." + e.toUpper()})
                if (!patterns.contains(p))
                    patterns << p;
    }
    if (patterns.isEmpty())
        patterns = QStringList{"*.jpg", "*.jpeg", "*.bmp", "*.JPG", "*.JPEG", "*.BMP"};
    return QStringLiteral("画像 (%1);;すべてのファイル (*)").arg(patterns.join(' '));
}

} // namespace

int32_t Gf5File::Execute()
{
    LastError.clear();
    CancelRequested = false;
    if (FileName.isEmpty()) {
        LastError = QStringLiteral("ファイル名がありません");
        return 0;
    }

    if (FileOperation == Read) {
        const QFileInfo info(FileName);
        if (!info.exists()) {
            LastError = QStringLiteral("ファイルが見つかりません: %1").arg(FileName);
            return 0;
        }
        if (!info.isFile()) {
            LastError = QStringLiteral("ファイルではありません: %1").arg(FileName);
            return 0;
        }
        QFile file(FileName);
        if (!file.open(QIODevice::ReadOnly)) {
            LastError = QStringLiteral("ファイルを開けませんでした: %1").arg(file.errorString());
            return 0;
        }
        const qint64 size = file.size();
        const uchar* data = size > 0 ? file.map(0, size) : nullptr;
        QByteArray whole;
        if (size > 0 && !data) {
            whole = file.readAll();
            data = reinterpret_cast<const uchar*>(whole.constData());
        }
        if (!data || size <= 0) {
            LastError = QStringLiteral("ファイルが空です: %1").arg(FileName);
            return 0;
        }

        QImage img;
        int depth = 24;
        const auto report = [this](int percent) {
            emit Progress(int16_t(percent));
            return !CancelRequested;
        };
        bool decoded = false;
        if (io::looksLikeJpeg(reinterpret_cast<const char*>(data), size)) {
            io::JpegImage jpeg = io::decodeJpeg(data, size_t(size), report);
            if (jpeg.image.isNull()) {
                LastError = jpeg.error;
                return 0;
            }
            img = std::move(jpeg.image);
            depth = jpeg.bitDepth;
            decoded = true;
        } else if (io::looksLikeBmp(data, size)) {
            io::BmpImage bmp = io::decodeBmp(data, size, report);
            if (!bmp.unsupported) {
                if (bmp.image.isNull()) {
                    LastError = bmp.error;
                    return 0;
                }
                img = std::move(bmp.image);
                depth = bmp.bitDepth;
                decoded = true;
            }
        }
        if (!decoded) {
            if (!report(0)) {
                LastError = QStringLiteral("読み込みを中止しました");
                return 0;
            }
            const int fileBits = bmpBitsPerPixel(data, size);
            allowLargeReads();
            file.seek(0);
            QImageReader reader(&file);
            const QSize claimed = reader.size();
            if (claimed.isValid() && !fx::sizeAllowed(claimed.width(), claimed.height())) {
                LastError = QStringLiteral("画像が大きすぎて読み込めません: %1 x %2")
                                .arg(claimed.width()).arg(claimed.height());
                return 0;
            }
            if (!reader.read(&img) || img.isNull()) {
                LastError = QStringLiteral("画像として読み込めませんでした: %1").arg(reader.errorString());
                return 0;
            }
            if (!normalise(img, depth, fileBits)) {
                LastError = QStringLiteral("画像を変換できませんでした");
                return 0;
            }
            if (!report(100)) {
                LastError = QStringLiteral("読み込みを中止しました");
                return 0;
            }
        }
        const int32_t handle = ImageStore::add(std::move(img), depth);
        if (!handle) {
            LastError = QStringLiteral("画像を保持できませんでした");
            return 0;
        }
        ImageHandle = handle;
        return 1;
    }

    if (FileOperation != WriteBmp && FileOperation != WriteJpeg) {
        LastError = QStringLiteral("不明なファイル操作です: %1").arg(FileOperation);
        return 0;
    }
    const QImage* stored = ImageStore::image(ImageHandle);
    if (!stored || stored->isNull()) {
        LastError = QStringLiteral("書き込む画像がありません");
        return 0;
    }
    const QImage image = *stored;
    // The new file is written beside the target and renamed over it only
    // when complete, so a failure leaves any old file as it was.
    QSaveFile out(FileName);
    if (!out.open(QIODevice::WriteOnly)) {
        LastError = QStringLiteral("書き込めませんでした: %1").arg(out.errorString());
        return 0;
    }
    bool ok;
    QString reason;
    if (FileOperation == WriteJpeg) {
        const int quality = JpegQuality <= 0 ? 75 : std::min<int>(JpegQuality, 100);
        ok = io::encodeJpeg(image, quality, out, &reason);
    } else {
        QImageWriter writer(&out, "bmp");
        ok = writer.write(image);
        if (!ok)
            reason = writer.errorString();
    }
    if (!ok) {
        out.cancelWriting();
        LastError = QStringLiteral("書き込めませんでした: %1").arg(reason);
        return 0;
    }
    if (!out.commit()) {
        LastError = QStringLiteral("書き込めませんでした: %1").arg(out.errorString());
        return 0;
    }
    return 1;
}

int32_t Gf5File::ShowOpenDialog()
{
    const QString chosen = dialogOverride
                               ? dialogOverride(false)
                               : QFileDialog::getOpenFileName(DialogParent, QStringLiteral("開く"),
                                                              QFileInfo(FileName).absolutePath(),
                                                              dialogFilter(DialogFilter));
    if (chosen.isEmpty())
        return 0;
    FileName = chosen;
    return 1;
}

int32_t Gf5File::ShowSaveDialog()
{
    const QString chosen = dialogOverride
                               ? dialogOverride(true)
                               : QFileDialog::getSaveFileName(DialogParent, QStringLiteral("名前を付けて保存"),
                                                              FileName, dialogFilter(DialogFilter));
    if (chosen.isEmpty())
        return 0;
    FileName = chosen;
    return 1;
}

} // namespace gf5
