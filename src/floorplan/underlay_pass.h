#pragma once
// The underlay's pixel passes, in place over an RGB32 picture, rows shared
// out between the cores. Each is one pass over memory: making the underlay
// runs the green curve and the marking together, so the picture is read
// and written once and no second image is needed.
#include <QImage>
#include <QRect>
#include <functional>

namespace floorplan {

// Called between bands with the last row done (image rows); may let the
// window paint.
using RowProgress = std::function<void(int row)>;

// Every pixel's green through greenCurve (alpha made opaque), then within
// markArea (clipped to the image) every pure-grey pixel marked as
// markUnderlayPixel does. False, with nothing changed, unless image is RGB32
// and its pixels can be had for writing.
bool makeUnderlay(QImage& image, const uchar greenCurve[256], const QRect& markArea,
                  const RowProgress& progress = {});
// The same pass reading source and writing target, an RGB32 image of
// source's size (its pixels are all overwritten): the picture before the
// pass stays as it was, with no copy made of it. False, with target
// untouched, when the images do not fit.
bool makeUnderlay(const QImage& source, QImage& target, const uchar greenCurve[256], const QRect& markArea,
                  const RowProgress& progress = {});

// Within area (clipped to the image) every pixel that is not pure grey made
// white, as removeUnderlayPixel does. Same conditions as makeUnderlay.
bool removeUnderlay(QImage& image, const QRect& area, const RowProgress& progress = {});
// The same from source into target (outside area, source's pixels as they are).
bool removeUnderlay(const QImage& source, QImage& target, const QRect& area, const RowProgress& progress = {});

} // namespace floorplan
