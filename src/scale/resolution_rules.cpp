#include "resolution_rules.h"
#include <algorithm>
#include <cmath>

namespace scale {

namespace {
constexpr double kMmPerInch = 25.4;
}

bool isBelievable(const StatedResolution& stated)
{
    auto inRange = [](double dpi) { return std::isfinite(dpi) && dpi >= kLeastDpi && dpi <= kMostDpi; };
    return inRange(stated.x) && inRange(stated.y) && std::abs(stated.x - stated.y) <= 0.5;
}

PlanResolution chooseResolution(const std::optional<StatedResolution>& stated, int settingsDpi)
{
    if (!stated || !isBelievable(*stated))
        return {double(settingsDpi), false};
    // Dots per metre are whole numbers: 300 dpi is stored as 11811 and read
    // back as 299.9994.
    const double whole = std::round(stated->x);
    return {std::abs(stated->x - whole) < 0.01 ? whole : stated->x, true};
}

QString resolutionLabel(double dpi, int scaleDenominator)
{
    return QStringLiteral("%1dpi・1/%2").arg(std::lround(dpi)).arg(scaleDenominator);
}

QString assumedResolutionNote(double dpi)
{
    return QStringLiteral("解像度の記録がないため %1dpi として扱っています").arg(std::lround(dpi));
}

QString calibrationProblem(double spanPx, double lengthMm, int scaleDenominator)
{
    if (!(spanPx > 0))
        return QStringLiteral("寸法の範囲を選択してください。");
    if (!(lengthMm > 0) || !std::isfinite(lengthMm))
        return QStringLiteral("寸法は 0 より大きい数で入力してください。");
    if (scaleDenominator < 1)
        return QStringLiteral("縮尺を正しく入力してください。");
    return {};
}

std::optional<double> calibratedDpi(double spanPx, double lengthMm, int scaleDenominator)
{
    if (!calibrationProblem(spanPx, lengthMm, scaleDenominator).isEmpty())
        return std::nullopt;
    // The span's length on paper is lengthMm / scale millimetres.
    const double paperInches = lengthMm / scaleDenominator / kMmPerInch;
    return spanPx / paperInches;
}

double partScaleFactor(double planDpi, double partDpi)
{
    if (!(planDpi > 0) || !(partDpi > 0))
        return 1.0;
    return planDpi / partDpi;
}

double realThicknessMm(double sizePx, double dpi, int scaleDenominator)
{
    if (!(dpi > 0) || scaleDenominator < 1)
        return 0;
    return sizePx / dpi * kMmPerInch * scaleDenominator;
}

QString realThicknessText(double sizePx, double dpi, int scaleDenominator)
{
    const double mm = realThicknessMm(sizePx, dpi, scaleDenominator);
    if (mm <= 0)
        return {};
    return QStringLiteral("約%1mm").arg(std::lround(mm));
}

} // namespace scale

namespace scale {
int dotsPerMetre(double dpi)
{
    if (!(dpi > 0))
        return 0;
    return int(std::lround(std::min(dpi / 0.0254, 2147483647.0)));
}
} // namespace scale
