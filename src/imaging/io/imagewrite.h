#pragma once
// Writing an image to a file in one of the formats the imaging layer knows.
// Every format carries the image's resolution: BMP and PNG in dots per
// metre, JPEG in whole dots per inch, PDF as a page the size the image has
// at that resolution.
#include <QImage>
#include <QString>

namespace gf5::io {

enum class FileType { Bmp, Jpeg, Png, Pdf };

struct WriteOptions {
    int jpegQuality = 75; // 1 to 100
    int dpi = 0;          // resolution to write; 0 keeps the image's own
    QString title;        // PDF document title
};

// Writes image to path. The new file is written beside the target and
// renamed over it only when complete, so a failure leaves any old file as it
// was. Returns why it failed, in words for the user, or an empty text.
// PDF output paints through Qt's PDF engine and needs a QGuiApplication.
QString writeImageFile(const QImage& image, const QString& path, FileType type, const WriteOptions& options = {});

} // namespace gf5::io
