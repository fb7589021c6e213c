// Reading and writing image files, and the file dialogs.
#include "imaging/io/gf5file.h"
#include "imaging/effects/effectcore.h"
#include "imaging/io/bmpcodec.h"
#include "imaging/io/dialogfilter.h"
#include "imaging/io/imagewrite.h"
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

struct ReadOutcome {
    QImage image;
    int depth = 24;
    QString error; // empty on success
};

// Reads an image file, choosing the decoder by the file's first bytes.
// report(percent) returns false to cancel.
ReadOutcome readImageFile(const QString& path, const std::function<bool(int)>& report)
{
    ReadOutcome out;
    const QFileInfo info(path);
    if (!info.exists()) {
        out.error = QStringLiteral("ファイルが見つかりません: %1").arg(path);
        return out;
    }
    if (!info.isFile()) {
        out.error = QStringLiteral("ファイルではありません: %1").arg(path);
        return out;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.error = QStringLiteral("ファイルを開けませんでした: %1").arg(file.errorString());
        return out;
    }
    const qint64 size = file.size();
    const uchar* data = size > 0 ? file.map(0, size) : nullptr;
    QByteArray whole;
    if (size > 0 && !data) {
        whole = file.readAll();
        data = reinterpret_cast<const uchar*>(whole.constData());
    }
    if (!data || size <= 0) {
        out.error = QStringLiteral("ファイルが空です: %1").arg(path);
        return out;
    }
    const QString cancelled = QStringLiteral("読み込みを中止しました");

    if (io::looksLikeJpeg(reinterpret_cast<const char*>(data), size)) {
        io::JpegImage jpeg = io::decodeJpeg(data, size_t(size), report);
        out.image = std::move(jpeg.image);
        out.depth = jpeg.bitDepth;
        out.error = out.image.isNull() ? jpeg.error : QString();
        return out;
    }
    if (io::looksLikeBmp(data, size)) {
        io::BmpImage bmp = io::decodeBmp(data, size, report);
        if (!bmp.unsupported) {
            out.image = std::move(bmp.image);
            out.depth = bmp.bitDepth;
            out.error = out.image.isNull() ? bmp.error : QString();
            return out;
        }
    }

    // Everything else through Qt's readers.
    if (!report(0)) {
        out.error = cancelled;
        return out;
    }
    const int fileBits = bmpBitsPerPixel(data, size);
    allowLargeReads();
    file.seek(0);
    QImageReader reader(&file);
    const QSize claimed = reader.size();
    if (claimed.isValid() && !fx::sizeAllowed(claimed.width(), claimed.height())) {
        out.error = QStringLiteral("画像が大きすぎて読み込めません: %1 x %2").arg(claimed.width()).arg(claimed.height());
        return out;
    }
    if (!reader.read(&out.image) || out.image.isNull()) {
        out.error = QStringLiteral("画像として読み込めませんでした: %1").arg(reader.errorString());
        return out;
    }
    if (!normalise(out.image, out.depth, fileBits))
        out.error = QStringLiteral("画像を変換できませんでした");
    else if (!report(100))
        out.error = cancelled;
    return out;
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
        ReadOutcome read = readImageFile(FileName, [this](int percent) {
            emit Progress(int16_t(percent));
            return !CancelRequested;
        });
        if (!read.error.isEmpty()) {
            LastError = read.error;
            return 0;
        }
        const int32_t handle = ImageStore::add(std::move(read.image), read.depth);
        if (!handle) {
            LastError = QStringLiteral("画像を保持できませんでした");
            return 0;
        }
        ImageHandle = handle;
        return 1;
    }
    io::FileType type;
    switch (FileOperation) {
    case WriteBmp: type = io::FileType::Bmp; break;
    case WriteJpeg: type = io::FileType::Jpeg; break;
    case WritePng: type = io::FileType::Png; break;
    case WritePdf: type = io::FileType::Pdf; break;
    default:
        LastError = QStringLiteral("不明なファイル操作です: %1").arg(FileOperation);
        return 0;
    }
    const QImage* stored = ImageStore::image(ImageHandle);
    if (!stored || stored->isNull()) {
        LastError = QStringLiteral("書き込む画像がありません");
        return 0;
    }
    io::WriteOptions options;
    options.jpegQuality = JpegQuality <= 0 ? 75 : std::min<int>(JpegQuality, 100);
    options.title = DocumentTitle;
    LastError = io::writeImageFile(*stored, FileName, type, options);
    return LastError.isEmpty() ? 1 : 0;
}

int32_t Gf5File::ShowOpenDialog()
{
    const QString chosen = dialogOverride
                               ? dialogOverride(false)
                               : QFileDialog::getOpenFileName(DialogParent, QStringLiteral("開く"),
                                                              QFileInfo(FileName).absolutePath(),
                                                              io::dialogFilter(DialogFilter, false));
    if (chosen.isEmpty())
        return 0;
    FileName = chosen;
    return 1;
}

int32_t Gf5File::ShowSaveDialog()
{
    QString chosen;
    if (dialogOverride) {
        chosen = dialogOverride(true);
    } else {
        QString chosenFilter;
        chosen = QFileDialog::getSaveFileName(DialogParent, QStringLiteral("名前を付けて保存"), FileName,
                                              io::dialogFilter(DialogFilter, true), &chosenFilter);
        chosen = io::withChosenExtension(chosen, chosenFilter);
    }
    if (chosen.isEmpty())
        return 0;
    FileName = chosen;
    return 1;
}

} // namespace gf5
