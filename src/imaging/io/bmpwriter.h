#pragma once
// Writing full-colour pictures as 24-bit BMP files: rows converted a band at
// a time with SIMD and written as they are ready, the file's bytes the same
// as Qt's BMP writer gives. Other formats stay with Qt's writer.
#include <QIODevice>
#include <QImage>
#include <QString>

namespace gf5::io {

// True for the pictures encodeBmp writes (32-bit without alpha).
bool bmpWriterTakes(const QImage& image);

// Writes image to out; false with reason when the picture is too large for
// the format or a write fails.
bool encodeBmp(const QImage& image, QIODevice& out, QString* reason);

} // namespace gf5::io
