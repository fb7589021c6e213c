#pragma once
// The colour rule that tells the traced plan from the underlay: plan pixels
// are pure grey (red = green = blue), underlay pixels never are.
#include <QRgb>

namespace floorplan {

inline bool isPureGrey(QRgb c) { return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c); }

// Marking: a pure-grey pixel gets one more step of blue (one less at 255),
// so that it no longer counts as plan content. Others are kept.
inline QRgb markUnderlayPixel(QRgb c)
{
    if (!isPureGrey(c))
        return c;
    const int b = qBlue(c);
    return qRgb(qRed(c), qGreen(c), b < 255 ? b + 1 : 254);
}

// Removal: everything that is not pure grey becomes white.
inline QRgb removeUnderlayPixel(QRgb c) { return isPureGrey(c) ? c : qRgb(255, 255, 255); }

} // namespace floorplan
