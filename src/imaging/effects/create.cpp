// New images: blank ones, copies and conversions between bit depths.
#include "imaging/effects/effectcore.h"
#include "imaging/store/imagestore.h"
#include <QColor>
#include <QList>
#include <algorithm>

namespace gf5 {

namespace {

// The sixteen colours of the classic 4-bit palette.
QList<QRgb> sixteenColours()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// rgb32 converted to the format of the given depth; null for depths the
// layer does not hold.
QImage toDepth(const QImage& rgb32, int bits)
{
    switch (bits) {
    case 1:
        return rgb32.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    case 4:
        return rgb32.convertToFormat(QImage::Format_Indexed8, sixteenColours(), Qt::ThresholdDither);
    case 8:
        return rgb32.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    case 24:
        return ImageStore::copy(rgb32);
    case 32:
        return rgb32.convertToFormat(QImage::Format_ARGB32);
    default:
        return {};
    }
}

} // namespace

int32_t Gf5Effect::Duplicate()
{
    CancelRequested = false;
    const StoredImage* stored = ImageStore::get(SourceImage);
    if (!stored || stored->image.isNull())
        return 0;
    const int depth = stored->bitDepth;
    QImage copy = ImageStore::copy(stored->image);
    if (copy.isNull())
        return 0;
    return fx::storeResult(*this, std::move(copy), depth);
}

int32_t Gf5Effect::CreateImage(int32_t w, int32_t h, int16_t bits, int16_t r, int16_t g, int16_t b)
{
    CancelRequested = false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return 0;
    QImage img = fx::allocate(w, h, QImage::Format_RGB32);
    if (img.isNull())
        return 0;
    img.fill(QColor(fx::clampByte(r), fx::clampByte(g), fx::clampByte(b)));
    if (bits != 24) {
        img = toDepth(img, bits);
        if (img.isNull())
            return 0;
    }
    return fx::storeResult(*this, std::move(img), bits);
}

// a, b and c are options the layer does not need.
int32_t Gf5Effect::ConvertBitDepth(int16_t bits, int32_t a, int32_t b, int16_t c)
{
    CancelRequested = false;
    const QImage* stored = ImageStore::image(SourceImage);
    if (!stored || stored->isNull())
        return 0;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return 0;
    const QImage rgb = fx::toRgb32(*stored);
    if (rgb.isNull())
        return 0;
    QImage out = bits == 24 && rgb.constBits() != stored->constBits() ? rgb : toDepth(rgb, bits);
    if (out.isNull())
        return 0;
    fx::keepMetadata(*stored, out);
    if (!progress(100))
        return 0;
    return fx::storeResult(*this, std::move(out), bits);
}

} // namespace gf5
