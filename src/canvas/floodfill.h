#pragma once
// Flood fills on an image in memory, 4-connected (a fill never leaks through
// a diagonal gap between two pixels).
#include <QImage>
#include <QPoint>
#include <QRect>

namespace canvas {

// Everything connected to seed that is not pure black (0, 0, 0) takes the
// colour fill; only pure black stops it. A seed on a black pixel fills
// nothing. img must be RGB32 or ARGB32. Returns the bounding rectangle of
// the filled pixels (empty when nothing changed).
QRect floodFillToBlack(QImage& img, QPoint seed, QRgb fill);

// The area connected to seed whose pixels have exactly the seed's colour
// takes the colour fill. img must be RGB32 or ARGB32. Returns the bounding
// rectangle of the filled pixels (empty when nothing changed).
QRect floodFillSameColour(QImage& img, QPoint seed, QRgb fill);

} // namespace canvas
