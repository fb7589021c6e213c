#pragma once
// Rules of a plan's physical size: which resolutions are believed, how a
// known length sets the resolution, how parts and wall sizes relate to the
// plan's scale, and how resolution and scale are shown.
#include <QString>
#include <optional>

namespace scale {

// Resolutions outside this range are no real scan's and are not believed.
constexpr double kLeastDpi = 50;
constexpr double kMostDpi = 4800;

// What a file states, in dots per inch across and down.
struct StatedResolution {
    double x = 0;
    double y = 0;
};

// The resolution a plan works at and whether the image stated it (false:
// the settings file's value was taken).
struct PlanResolution {
    double dpi = 0;
    bool fromImage = false;
};

// True when stated is square (within half a dot per inch) and inside
// [kLeastDpi, kMostDpi].
bool isBelievable(const StatedResolution& stated);
// The image's own resolution when it states a believable one, otherwise
// settingsDpi. A value stored in dots per metre that is a whole number of
// dots per inch (11811 dpm is 300 dpi) comes back whole.
PlanResolution chooseResolution(const std::optional<StatedResolution>& stated, int settingsDpi);

// "300dpi・1/100": the resolution to whole dots per inch and the scale.
QString resolutionLabel(double dpi, int scaleDenominator);
// The tooltip's note when the settings file's value is used.
QString assumedResolutionNote(double dpi);

// The resolution at which spanPx pixels measure lengthMm on the building
// drawn at 1:scaleDenominator. Empty for a zero span, a length <= 0 or a
// scale below 1.
std::optional<double> calibratedDpi(double spanPx, double lengthMm, int scaleDenominator);
// Why a calibration cannot be made, in words for the user; empty when it can.
QString calibrationProblem(double spanPx, double lengthMm, int scaleDenominator);

// How much a part drawn at partDpi grows when placed on a plan at planDpi;
// 1 when either resolution is unknown (the part keeps its pixel size).
double partScaleFactor(double planDpi, double partDpi);

// The real thickness of a wall sizePx pixels thick, in millimetres on the
// building, at the plan's resolution and scale; 0 when dpi is not known.
double realThicknessMm(double sizePx, double dpi, int scaleDenominator);
// "約169mm" for realThicknessMm; empty when it is not known.
QString realThicknessText(double sizePx, double dpi, int scaleDenominator);

} // namespace scale

namespace scale {
// dpi as the whole dots per metre an image and its files keep; 0 for dpi <= 0.
int dotsPerMetre(double dpi);
} // namespace scale
