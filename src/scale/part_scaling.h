#pragma once
// A library part brought to the plan's scale: parts drawn at one resolution
// are resampled by plan resolution / part resolution before they float on
// the plan.
#include <QImage>
#include <QSize>

namespace scale {

// The part's size after scaling by factor (each side at least 1 pixel).
QSize scaledPartSize(const QSize& part, double factor);

// The part resampled by factor; the part itself when the size does not
// change. Pictures of pure black and pure white only (the library's line
// drawings) stay pure black and white, so a white-transparent paste keeps
// no pale fringe; other pictures are scaled smoothly. The result states the
// resolution dpi when dpi > 0. Null when memory runs out.
QImage scalePart(const QImage& part, double factor, double dpi = 0);

} // namespace scale
