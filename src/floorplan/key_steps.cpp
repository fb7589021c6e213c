#include "key_steps.h"
#include "shell/numbers.h"

namespace floorplan {

int32_t keyStep(bool ctrl, const std::array<bool, 10>& chosen, const std::array<int16_t, 10>& table)
{
    if (ctrl)
        return 1;
    for (int i = 1; i <= 9; ++i) {
        if (chosen[i]) {
            const int32_t step = numbers::roundHalfEven(table[i] / 2.0);
            return step < 1 ? 1 : step;
        }
    }
    return 0;
}

Rect moveSelection(const Rect& sel, KeypadDirection dir, int32_t step)
{
    Rect r = sel;
    switch (dir) {
    case KeypadDirection::Up: r.top -= step; r.bottom -= step; break;
    case KeypadDirection::Down: r.top += step; r.bottom += step; break;
    case KeypadDirection::Left: r.left -= step; r.right -= step; break;
    case KeypadDirection::Right: r.left += step; r.right += step; break;
    }
    return r;
}

Rect resizeSelection(const Rect& sel, KeypadDirection dir)
{
    Rect r = sel;
    switch (dir) {
    case KeypadDirection::Up:
        if (r.bottom > r.top)
            r.bottom -= 1;
        break;
    case KeypadDirection::Down: r.bottom += 1; break;
    case KeypadDirection::Left:
        if (r.right > r.left)
            r.right -= 1;
        break;
    case KeypadDirection::Right: r.right += 1; break;
    }
    return r;
}

} // namespace floorplan
