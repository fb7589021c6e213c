#include "door_geometry.h"
#include "shell/numbers.h"

namespace floorplan {

Rect doorSquare(const Rect& box, int side)
{
    if (isHorizontal(box)) {
        const int32_t w = box.width();
        if (side == 1)
            return {box.left, box.top - w, box.right, box.top - 1};
        return {box.left, box.bottom + 1, box.right, box.bottom + w};
    }
    const int32_t h = box.height();
    if (side == 1)
        return {box.left - h, box.top, box.left - 1, box.bottom};
    return {box.right + 1, box.top, box.right + h, box.bottom};
}

DoorSwing doorSwing(const Rect& start, const Rect& end, int side)
{
    const Rect box = wallBox(start, end);
    if (isHorizontal(box)) {
        const bool fromLeft = start.left < end.left;
        if (side == 1)
            return fromLeft ? DoorSwing{3, 9, {box.left, box.top - 1}}
                            : DoorSwing{4, 7, {box.right, box.top - 1}};
        return fromLeft ? DoorSwing{3, 10, {box.left, box.bottom + 1}}
                        : DoorSwing{4, 8, {box.right, box.bottom + 1}};
    }
    const bool fromTop = start.bottom < end.bottom;
    if (side == 1)
        return fromTop ? DoorSwing{1, 8, {box.left - 1, box.top}}
                       : DoorSwing{2, 7, {box.left - 1, box.bottom}};
    return fromTop ? DoorSwing{1, 10, {box.right + 1, box.top}}
                   : DoorSwing{2, 9, {box.right + 1, box.bottom}};
}

SlidingDoorFigures slidingDoorFigures(const Rect& start, const Rect& end, int side, bool clearDust,
                                      double d)
{
    using numbers::roundHalfEven;
    SlidingDoorFigures f;
    const Rect box = wallBox(start, end);
    const int32_t k = start.height() / 2; // integer division truncates towards zero
    f.k = k;
    f.white = box;
    const int32_t X0 = box.left, Y0 = box.top, X1 = box.right, Y1 = box.bottom;
    if (isHorizontal(box)) {
        if (clearDust) {
            f.white.top = roundHalfEven(Y0 - d);
            f.white.bottom = roundHalfEven(Y1 + d);
        }
        if (side == 1) {
            f.black = {X0, Y0 + k, X1, Y1};
            f.dotted = {{X0, Y0}, {X1, Y0}};
        } else {
            f.black = {X0, Y0, X1, Y1 - k};
            f.dotted = {{X0, Y1}, {X1, Y1}};
        }
    } else {
        if (clearDust) {
            f.white.left = roundHalfEven(X0 - d);
            f.white.right = roundHalfEven(X1 + d);
        }
        if (side == 1) {
            f.black = {X0 + k, Y0, X1, Y1};
            f.dotted = {{X0, Y0}, {X0, Y1}};
        } else {
            f.black = {X0, Y0, X1 - k, Y1};
            f.dotted = {{X1, Y0}, {X1, Y1}};
        }
    }
    return f;
}

} // namespace floorplan
