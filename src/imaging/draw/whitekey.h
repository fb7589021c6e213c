#pragma once
// Pictures whose pure white is left out when they are laid over an image.
#include <QImage>
#include <QSize>

namespace gf5 {

// The picture with pure white (255, 255, 255) made fully transparent and
// every other pixel opaque, scaled to size. The key is applied before the
// scaling, so a pixel between a line and the paper only ever mixes the
// line's colour with transparency: laid over an image it darkens towards
// the line and never leaves a pale fringe. Premultiplied ARGB; null when
// the picture is null or size is empty.
QImage whiteKeyedScaled(const QImage& picture, const QSize& size);

} // namespace gf5
