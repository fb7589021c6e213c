#pragma once
// Icons of the picture buttons, drawn by the program so they stay crisp.
#include <QIcon>

namespace icons {

enum class Icon {
    ArrowUp, ArrowDown, ArrowLeft, ArrowRight, Plus, Minus, Slash, Door, SlidingDoor,
    CornerTopLeft, CornerTopRight, CornerBottomLeft, CornerBottomRight,
    FillBox, Box, EdgeTop, EdgeBottom, EdgeLeft, EdgeRight, DiagonalUp, DiagonalDown,
    QuarterBottomRight, QuarterTopRight, QuarterBottomLeft, QuarterTopLeft,
    Circle, RoundBox, HalfUp, HalfDown, HalfLeft, HalfRight,
    FillMode, Undo, Copy, Paste, Palette, RotateClockwise, RotateCounterClockwise,
    MirrorLeftRight, MirrorTopBottom, ClipboardToPreview,
    Open, Save, SaveAs, NewImage, Revert, Scan, Print, Help, Exit,
};

QIcon make(Icon icon);
// The mouse cursor shown while fill mode is on.
QPixmap fillCursorPixmap();

} // namespace icons
