#pragma once
// The fill to black with extra bands that stop it as black ink would, for
// a room fill that must not run out through door gaps and open corners.
#include <QImage>
#include <QPoint>
#include <QPolygonF>
#include <QRect>
#include <vector>

namespace canvas {

// As floodFillToBlack, with every band in `barriers` (polygons in image
// pixels) blocking the fill for its duration; the pixels under the bands
// keep their colours. A band that covers the seed is left out, so a click
// inside a doorway still fills. Returns the bounding rectangle of the
// filled pixels (empty when nothing changed).
QRect floodFillToBlackWithin(QImage& img, QPoint seed, QRgb fill, const std::vector<QPolygonF>& barriers);

} // namespace canvas
