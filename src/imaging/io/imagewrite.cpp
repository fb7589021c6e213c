// Writing an image to a file in one of the formats the imaging layer knows.
#include "imaging/io/imagewrite.h"
#include "imaging/io/bmpwriter.h"
#include "imaging/io/jpegcodec.h"
#include "imaging/io/pdfwriter.h"
#include "imaging/io/pngwriter.h"
#include "imaging/io/savefile.h"
#include <QImageWriter>
#include <cmath>
#include <limits>

namespace gf5::io {

namespace {

// The image's resolution in dots per inch (whole numbers, as shown to the
// user), 96 when it has none.
int imageDpi(const QImage& image)
{
    const int dpi = int(std::lround(image.dotsPerMeterX() * 0.0254));
    return dpi > 0 ? dpi : 96;
}

bool writeWithQt(const QImage& image, const char* format, QIODevice& device, QString* error)
{
    QImageWriter writer(&device, format);
    if (writer.write(image))
        return true;
    *error = QStringLiteral("%1 に変換できませんでした（%2）").arg(QString::fromLatin1(format).toUpper(), writer.errorString());
    return false;
}

} // namespace

QString writeImageFile(const QImage& source, const QString& path, FileType type, const WriteOptions& options)
{
    if (source.isNull())
        return QStringLiteral("書き込む画像がありません");
    QImage image = source;
    if (options.dpi > 0) {
        const int dpm = int(std::min<double>(std::lround(options.dpi / 0.0254), std::numeric_limits<int>::max()));
        image.setDotsPerMeterX(dpm);
        image.setDotsPerMeterY(dpm);
    }
    const QString failed = QStringLiteral("書き込めませんでした: %1");
    CheckedSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return failed.arg(out.failureReason());
    bool ok = false;
    QString reason;
    switch (type) {
    case FileType::Jpeg:
        ok = encodeJpeg(image, std::clamp(options.jpegQuality, 1, 100), out, &reason);
        break;
    case FileType::Png:
        ok = encodePng(image, out, &reason);
        break;
    case FileType::Pdf:
        ok = writePdfPage(image, imageDpi(image), options.title, out, &reason);
        break;
    case FileType::Bmp:
        ok = bmpWriterTakes(image) ? encodeBmp(image, out, &reason) : writeWithQt(image, "bmp", out, &reason);
        break;
    }
    if (!ok) {
        out.cancelWriting();
        return failed.arg(out.failureReason(reason));
    }
    if (!out.commit())
        return failed.arg(out.failureReason());
    return {};
}

} // namespace gf5::io
