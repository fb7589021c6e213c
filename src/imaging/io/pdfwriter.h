#pragma once
// A one-page PDF holding one image at its own resolution.
#include <QImage>
#include <QString>

class QIODevice;

namespace gf5::io {

// The page is as large as the image at dpi (4677 x 6614 pixels at 400 dpi
// give 297 x 420 mm) and the image fills it, stored losslessly at full
// size. title becomes the document's title. Returns false with error set
// when painting fails; device errors show when the device is closed.
bool writePdfPage(const QImage& image, double dpi, const QString& title, QIODevice& device, QString* error);

} // namespace gf5::io
