// Reading and writing image files, and the file dialogs.
#include "imaging/io/gf5file.h"
#include "imaging/effects/effectcore.h"
#include "imaging/io/dialogfilter.h"
#include "imaging/io/imageread.h"
#include "imaging/io/imagewrite.h"
#include "imaging/io/jpegcodec.h"
#include "imaging/store/imagestore.h"
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QDateTime>
#include <QStringList>
#include <future>
#include <optional>

namespace gf5 {

namespace {
// A read started ahead of its Execute, and what the file looked like then.
struct PendingRead {
    QString path;
    qint64 size = -1;
    QDateTime modified;
    QSize fullSize;
    std::shared_future<QImage> standIn;
    std::promise<void> go; // lets the whole be read after a reduced copy
    std::future<io::ReadOutcome> result;
};

PendingRead& pendingRead()
{
    static PendingRead pending;
    return pending;
}

// The pending read's outcome when it is of path and the file is unchanged
// since; otherwise nothing (and the pending read is dropped either way).
std::optional<io::ReadOutcome> takePendingRead(const QString& path)
{
    PendingRead& p = pendingRead();
    if (!p.result.valid())
        return std::nullopt;
    try {
        p.go.set_value();
    } catch (const std::future_error&) {
        // already let go
    }
    io::ReadOutcome outcome = p.result.get();
    p.standIn = {};
    const QFileInfo now(path);
    const bool same = p.path == path && now.size() == p.size && now.lastModified() == p.modified;
    p.path.clear();
    if (!same)
        return std::nullopt;
    return outcome;
}
} // namespace

namespace {
// The JPEG at path decoded at the smallest of libjpeg's scales (a half, a
// quarter, an eighth) that still covers box; null for any other file, when
// no scale is smaller than the whole, or on any error.
QImage reducedJpeg(const QString& path, const QSize& full, const QSize& box)
{
    const QSize fitted = full.scaled(box, Qt::KeepAspectRatio);
    int reduction = 1;
    while (reduction < 8 && full.width() / (2 * reduction) >= fitted.width() &&
           full.height() / (2 * reduction) >= fitted.height())
        reduction *= 2;
    if (reduction == 1)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > fx::maxImageBytes())
        return {};
    const QByteArray bytes = file.readAll();
    if (!io::looksLikeJpeg(bytes.constData(), bytes.size()))
        return {};
    io::JpegImage jpeg = io::decodeJpeg(reinterpret_cast<const uchar*>(bytes.constData()), size_t(bytes.size()), nullptr,
                                        [reduction](const QSize&) { return reduction; });
    return std::move(jpeg.image);
}
} // namespace

void Gf5File::readAhead(const QString& path, const QSize& standInBox)
{
    PendingRead& p = pendingRead();
    if (p.result.valid() || path.isEmpty())
        return;
    const io::ImagePeek peek = io::peekImageFile(path);
    if (!peek.error.isEmpty() || io::editingBytes(peek.size) > io::kLargePictureBytes)
        return;
    const QFileInfo info(path);
    p.path = path;
    p.size = info.size();
    p.modified = info.lastModified();
    p.fullSize = peek.size;
    try {
        auto standIn = std::make_shared<std::promise<QImage>>();
        p.standIn = standIn->get_future().share();
        p.go = std::promise<void>();
        std::shared_future<void> go = p.go.get_future().share();
        const QSize full = peek.size;
        // The reduced picture first: it is what a window shows soonest.
        p.result = std::async(std::launch::async, [path, full, standInBox, standIn, go] {
            QImage reduced = standInBox.isValid() ? reducedJpeg(path, full, standInBox) : QImage();
            const bool reducedCopy = !reduced.isNull();
            standIn->set_value(std::move(reduced));
            // The whole is read once the window has shown the reduced copy
            // (its read is taken then): both at once would slow the window.
            if (reducedCopy)
                go.wait_for(std::chrono::seconds(1));
            return io::readImageFile(path, nullptr);
        });
    } catch (...) {
        // No thread to be had: the file is read when it is opened.
        p.path.clear();
        p.standIn = {};
    }
}

Gf5File::StandIn Gf5File::readAheadStandIn(const QString& path)
{
    const PendingRead& p = pendingRead();
    if (!p.result.valid() || !p.standIn.valid() || p.path != path)
        return {};
    StandIn out;
    try {
        out.image = p.standIn.get();
    } catch (...) {
        return {}; // the reduced decode failed for want of memory
    }
    out.fullSize = out.image.isNull() ? QSize() : p.fullSize;
    return out;
}

std::function<QString(bool save)> Gf5File::dialogOverride;
std::function<bool(const QString& path, const QSize& size, qint64 bytes)> Gf5File::largePictureQuestion;

int32_t Gf5File::Execute()
{
    LastError.clear();
    Declined = false;
    CancelRequested = false;
    if (FileName.isEmpty()) {
        LastError = QStringLiteral("ファイル名がありません");
        return 0;
    }
    if (FileOperation == Read) {
        // The question comes once the header is known and before anything
        // is made; none is asked for pictures below the threshold, nor for
        // those too large to be made at all (the reader refuses them).
        auto approve = [this](const QSize& size) {
            const qint64 bytes = io::editingBytes(size);
            return !largePictureQuestion || bytes <= io::kLargePictureBytes ||
                   !fx::sizeAllowed(size.width(), size.height()) || largePictureQuestion(FileName, size, bytes);
        };
        std::optional<io::ReadOutcome> ahead = takePendingRead(FileName);
        io::ReadOutcome read = ahead ? std::move(*ahead) : io::readImageFile(
            FileName,
            [this](int percent) {
                emit Progress(int16_t(percent));
                return !CancelRequested;
            },
            QSize(), approve);
        if (!read.error.isEmpty()) {
            LastError = read.error;
            Declined = read.stopped;
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
