#pragma once
// Shrinking pictures by area averaging, so that 1-pixel lines stay visible
// far down. Qt's smooth scaling does this in fixed point on several threads
// and matches an exact area average to within one or two levels, at several
// times the speed of OpenCV's area resize at scales that are not whole
// numbers; both the canvas view and the Resize command shrink through here.
#include <QImage>
#include <QRect>
#include <QSize>

namespace gf5::fx {

// True for the formats shrunk in place of a converted copy (4 bytes a pixel,
// no straight alpha to premultiply first).
bool shrinksDirectly(QImage::Format format);

// src shrunk to size by area averaging (no dimension of size may exceed
// src's). Formats other than the direct ones come back as RGB32, or as
// ARGB32_Premultiplied when they have alpha. Null when the memory cannot be
// had.
QImage shrinkArea(const QImage& src, QSize size);

// Recomputes rect of dst, where dst is (or is to be) src shrunk to dst's
// size, from the matching part of src only: what a local change needs. dst
// must be RGB32 or ARGB32_Premultiplied. The block is an exact area average,
// within a few levels of the whole-picture result.
void shrinkAreaInto(const QImage& src, QImage& dst, const QRect& rect);

} // namespace gf5::fx
