#pragma once
// The floating paste's rectangle shown as the canvas's selection, over the
// picture drawn on the drawing surface.
#include "imaging/widgets/gf5disp.h"

namespace clipboard {

inline void showFloatingSelection(gf5::Gf5Disp& canvas, int32_t l, int32_t t, int32_t r, int32_t b)
{
    canvas.setSelectionLeft(l);
    canvas.setSelectionTop(t);
    canvas.setSelectionRight(r);
    canvas.setSelectionBottom(b);
    canvas.setDisplayMode(2);
    canvas.Refresh();
}

} // namespace clipboard
