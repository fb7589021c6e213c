#pragma once
// Reference work for the file rows: the same file written or read the best
// way we know, straight through the format's own library, into buffers that
// exist: libjpeg-turbo's TurboJPEG calls, libpng with our settings, a plain
// 24-bit BMP by OpenCV's colour conversion and one write, and the img2pdf
// command for a lossless PDF.
#include "bench.h"
#include <QString>

namespace bench::ref {

// False when the bench was built without TurboJPEG.
bool haveTurboJpeg();
// The plan's pixels as JPEG at quality (4:2:0, as our writer), to path.
Outcome turboJpegWrite(const QImage& plan, const QString& path, int quality);
// path decoded into img (B, G, R, X pixels, same size as the file's picture).
Outcome turboJpegRead(const QString& path, QImage& img);

// The plan as 8-bit RGB PNG with our writer's filter and zlib level.
Outcome libpngWrite(const QImage& plan, const QString& path);
// path decoded by libpng's simplified reader into img (B, G, R, A).
Outcome libpngRead(const QString& path, QImage& img);

// A 24-bit bottom-up BMP of the plan: rows converted into one buffer, one write.
Outcome bmpWrite(const QImage& plan, const QString& path);
// The file read at once and its rows converted into img.
Outcome bmpRead(const QString& path, QImage& img);

// The img2pdf command's path, empty when it is not installed.
QString img2pdfProgram();
// img2pdf on pngPath (embedded losslessly, as it is) into pdfPath.
Outcome img2pdf(const QString& pngPath, const QString& pdfPath);

} // namespace bench::ref
