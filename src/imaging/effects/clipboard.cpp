// Pictures to and from the system clipboard.
#include "imaging/effects/effectcore.h"
#include "imaging/io/normalise.h"
#include "imaging/store/imagestore.h"
#include <QClipboard>
#include <QGuiApplication>

namespace gf5 {

int32_t Gf5Effect::CopySourceToClipboard()
{
    CancelRequested = false;
    const QImage* img = ImageStore::image(SourceImage);
    if (!img || img->isNull() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 0;
    QGuiApplication::clipboard()->setImage(*img);
    return 1;
}

int32_t Gf5Effect::GetClipboardImage()
{
    CancelRequested = false;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return 0;
    const QImage picture = QGuiApplication::clipboard()->image();
    if (picture.isNull())
        return 0;
    // Transparent parts of a pasted picture show paper white.
    QImage rgb = io::normaliseImage(picture, io::ImageUse::Canvas);
    if (rgb.isNull())
        return 0;
    return fx::storeResult(*this, std::move(rgb));
}

} // namespace gf5
