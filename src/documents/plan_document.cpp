#include "plan_document.h"

namespace documents {

namespace {
// Matches no picture: the state of a canvas whose contents are saved nowhere.
constexpr PlanDocument::CanvasState kSavedNowhere{-1, -1};
}

void PlanDocument::open(const QString& path, double dpi, ResolutionSource source)
{
    m_path = path;
    m_recovered = false;
    setResolution(dpi, source);
    m_scaleDenominator = kDefaultScaleDenominator;
    m_wallMap.reset();
}

void PlanDocument::recover(const QString& path)
{
    m_path = path;
    m_recovered = true;
    m_clean = kSavedNowhere;
}

void PlanDocument::markClean(CanvasState now)
{
    m_clean = now;
    m_cleanDpi = m_dpi;
    m_recovered = false;
}

bool PlanDocument::hasUnsavedWork(CanvasState now) const
{
    return now.handle != 0 && (!(now == m_clean) || m_dpi != m_cleanDpi);
}

void PlanDocument::setResolution(double dpi, ResolutionSource source)
{
    m_dpi = dpi;
    m_resolutionSource = source;
}

bool PlanDocument::setScaleDenominator(int n)
{
    if (n < 1)
        return false;
    m_scaleDenominator = n;
    return true;
}

void PlanDocument::setScaleSetting(const ScaleSetting& setting)
{
    setResolution(setting.dpi, setting.source);
    setScaleDenominator(setting.scaleDenominator);
}

void PlanDocument::restoreScaleFromUndo()
{
    if (m_undoScale)
        setScaleSetting(*m_undoScale);
}

} // namespace documents
