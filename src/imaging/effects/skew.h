#pragma once
// Measuring how far a scanned drawing is turned from straight. The drawing's
// long straight lines (walls, frames, table rules) are taken to be meant
// horizontal or vertical; the angle that lines up the most ink along rows
// and columns at once is the skew.
#include <QImage>
#include <cstdint>
#include <optional>

namespace gf5 {

// Largest skew searched for, either way, in degrees.
constexpr double kMaxSkewDegrees = 10.0;

// The angle in degrees, counter-clockwise on screen, by which the picture's
// long straight lines are turned from horizontal and vertical (turning the
// picture by minus this angle straightens it). Empty when the picture holds
// no straight line at least an eighth of its shorter side long.
std::optional<double> measureSkew(const QImage& picture);

// Skews smaller than this are left alone: a turn would only soften the lines.
constexpr double kSmallestSkewDegrees = 0.05;

// The turn that straightens the picture, in hundredths of a degree
// counter-clockwise (as Gf5Effect::Rotate takes it); empty when there is
// nothing to straighten (no long lines, or a skew under 0.05 degrees).
std::optional<int32_t> straighteningTurn(const QImage& picture);

} // namespace gf5
