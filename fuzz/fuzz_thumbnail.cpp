// Thumbnails: a file read for showing, normalised and painted on a square
// white icon as the parts library does.
#include "fuzzsupport.h"
#include "imaging/io/imageread.h"
#include "imaging/io/normalise.h"
#include <QPainter>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::startQt();
    gf5::io::limitQtImageReaders();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QSize box(48, 48);
    const QImage thumb = gf5::io::readImageForDisplay(fuzzsupport::inputFile(data, size, "part"), box);
    QImage icon(box, QImage::Format_RGB32);
    icon.fill(Qt::white);
    if (!thumb.isNull()) {
        QPainter p(&icon);
        p.drawImage(QPoint((box.width() - thumb.width()) / 2, (box.height() - thumb.height()) / 2), thumb);
    }
    return 0;
}
