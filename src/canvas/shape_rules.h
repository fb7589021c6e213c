#pragma once
// Geometry and pen rules of the drawing tools, free of any window: which
// drawing call a tool makes on a selection rectangle, the pen style named by
// the style box's text, the rounded box's corner size and the wall pen width.
#include <QString>
#include <array>
#include <cstdint>

namespace canvas {

// Pen style of the style box's text: "――" solid (1), "‐‐‐‐" dashed (2),
// "……" dotted (3); any other text 0.
int16_t penStyleFromText(const QString& text);

// Line width typed into the width box: its leading number, halves to even;
// no number gives 0.
int32_t lineWidthFromText(const QString& text);

// Corner size of the rounded box: a quarter of the selection's width,
// rounded to the nearest whole number with halves to even (50 -> 12, 70 -> 18).
int32_t roundBoxCorner(int32_t width);

// Width of the wall pen from the three thin wall-size options (6, 7, 8):
// 4, 3, 2 pixels, later options winning; 1 when none of them is chosen.
int32_t wallPenWidth(bool size6, bool size7, bool size8);

// One call of the drawing control.
struct ShapeCall {
    enum Kind { None, Rectangle, Line, Arc, Ellipse, RoundRect };
    Kind kind = None;
    // Rectangle/Ellipse: l, t, r, b. Line: x1, y1, x2, y2. RoundRect: l, t,
    // r, b, cw, ch. Arc: l, t, r, b of the full ellipse, then the start and
    // end points of the counter-clockwise arc.
    std::array<int32_t, 8> a{};
};

// The call that draws tool 0..16 fitted to the selection (l, t, r, b), or
// tool 20, the straight line (x1, y1)-(x2, y2). Other tools draw nothing.
ShapeCall shapeForTool(int tool, int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1 = 0,
                       int32_t y1 = 0, int32_t x2 = 0, int32_t y2 = 0);

} // namespace canvas
