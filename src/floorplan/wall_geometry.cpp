#include "wall_geometry.h"
#include "shell/numbers.h"
#include <algorithm>

namespace floorplan {

bool isHorizontal(const Rect& box) { return box.height() < box.width(); }

Rect wallBox(const Rect& start, const Rect& end)
{
    return {std::min(start.left, end.left), std::min(start.top, end.top),
            std::max(start.right, end.right), std::max(start.bottom, end.bottom)};
}

WallShape computeWallShape(const Rect& start, const Rect& end, bool inset)
{
    WallShape s;
    s.box = wallBox(start, end);
    const int32_t x0 = s.box.left, y0 = s.box.top, x1 = s.box.right, y1 = s.box.bottom;
    const int32_t a = start.height() - 2;
    const double limit = 1.5 * a;
    if (limit >= double(x1 - x0) || limit >= double(y1 - y0))
        return s;
    s.vertexCount = 6;
    const bool rightward = end.left > start.left;
    const bool downward = end.top > start.top;
    // The band runs from top-left to bottom-right when the end lies right of
    // and below the start, or left of and above it.
    const bool falling = rightward == downward;
    const int32_t i = inset ? 2 : 0;
    if (falling) {
        s.xs = {x0 + i, x0 + a - i, x1 - i, x1 - i, x1 - a + i, x0 + i};
        s.ys = {y0 + i, y0 + i, y1 - a + i, y1 - i, y1 - i, y0 + a - i};
    } else {
        s.xs = {x0 + i, x1 - a + i, x1 - i, x1 - i, x0 + a - i, x0 + i};
        s.ys = {y1 - a + i, y0 + i, y0 + i, y0 + a - i, y1 - i, y1 - i};
    }
    return s;
}

std::optional<Rect> adjustAcrossWall(const Rect& box, bool widen, double d)
{
    using numbers::roundHalfEven;
    Rect r = box;
    if (!widen) {
        if (isHorizontal(box)) {
            r.top += 2;
            r.bottom -= 2;
        } else {
            r.left += 2;
            r.right -= 2;
        }
        return r;
    }
    if (isHorizontal(box)) {
        const int32_t h = box.height();
        r.top = roundHalfEven(box.top - d);
        r.bottom = roundHalfEven(box.bottom + d);
        r.left = box.left + h;
        r.right = box.right - h;
        if (r.left >= r.right)
            return std::nullopt;
    } else {
        const int32_t w = box.width();
        r.left = roundHalfEven(box.left - d);
        r.right = roundHalfEven(box.right + d);
        r.top = box.top + w;
        r.bottom = box.bottom - w;
        if (r.top >= r.bottom)
            return std::nullopt;
    }
    return r;
}

Line crossMark(const Rect& box, double d)
{
    using numbers::roundHalfEven;
    if (isHorizontal(box)) {
        const int32_t x = roundHalfEven(box.left + box.width() / 2.0);
        return {{x, roundHalfEven(box.top - d)}, {x, roundHalfEven(box.bottom + d)}};
    }
    const int32_t y = roundHalfEven(box.top + box.height() / 2.0);
    return {{roundHalfEven(box.left - d), y}, {roundHalfEven(box.right + d), y}};
}

bool isDotSquare(const Rect& end) { return end.width() == 7 && end.height() == 7; }

Line dotLine(const Rect& start, const Rect& end)
{
    return {{start.left + 3, start.top + 3}, {end.left + 3, end.top + 3}};
}

std::vector<Rect> cornerOpenings(int code, const Rect& q)
{
    const int32_t L = q.left, T = q.top, R = q.right, B = q.bottom;
    switch (code) {
    case 1: return {{L + 2, T - 4, R - 2, B - 2}, {L + 2, T + 2, R + 4, B - 2}};
    case 3: return {{L - 4, T + 2, R - 2, B - 2}, {L + 2, T - 4, R - 2, B - 2}};
    case 7: return {{L + 2, T + 2, R + 2, B - 2}, {L + 2, T + 2, R - 2, B + 4}};
    case 9: return {{L - 4, T + 2, R - 2, B - 2}, {L + 2, T + 2, R - 2, B + 4}};
    default: return {};
    }
}

bool isCornerSquare(const Rect& sel)
{
    if (sel.bottom < 0 || sel.right < 1)
        return false;
    return sel.width() == sel.height() && sel.width() >= 6;
}

} // namespace floorplan
