#include "canvas/shape_rules.h"
#include "shell/numbers.h"
#include <algorithm>
#include <climits>

namespace canvas {

int16_t penStyleFromText(const QString& text)
{
    if (text == QStringLiteral("――"))
        return 1;
    if (text == QStringLiteral("……"))
        return 3;
    if (text == QStringLiteral("‐‐‐‐"))
        return 2;
    return 0;
}

int32_t lineWidthFromText(const QString& text) { return numbers::readWholeNumber(text); }

int32_t roundBoxCorner(int32_t width) { return numbers::roundHalfEven(width / 4.0); }

int32_t wallPenWidth(bool size6, bool size7, bool size8)
{
    int32_t w = 1;
    if (size6)
        w = 4;
    if (size7)
        w = 3;
    if (size8)
        w = 2;
    return w;
}

ShapeCall shapeForTool(int tool, int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1,
                       int32_t x2, int32_t y2)
{
    // Wide arithmetic keeps the doubled rectangles of the arcs from
    // overflowing on absurd selections; the drawing control clips anyway.
    const int64_t w = int64_t(r) - l, h = int64_t(b) - t;
    auto c = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    using K = ShapeCall::Kind;
    switch (tool) {
    case 0: return {K::Rectangle, {l, t, r, b}};
    case 1: return {K::Line, {l, t, r, t}};
    case 2: return {K::Line, {l, b, r, b}};
    case 3: return {K::Line, {l, t, l, b}};
    case 4: return {K::Line, {r, t, r, b}};
    case 5: return {K::Line, {r, t, l, b}};
    case 6: return {K::Line, {l, t, r, b}};
    // Quarter ellipses centred on one corner, radii w and h.
    case 7: return {K::Arc, {l, t, c(r + w), c(b + h), r, t, l, b}};
    case 8: return {K::Arc, {l, c(t - h), c(r + w), b, l, t, r, b}};
    case 9: return {K::Arc, {c(l - w), t, r, c(b + h), r, b, l, t}};
    case 10: return {K::Arc, {c(l - w), c(t - h), r, b, l, b, r, t}};
    case 11: return {K::Ellipse, {l, t, r, b}};
    case 12: {
        const int32_t corner = roundBoxCorner(c(w));
        return {K::RoundRect, {l, t, r, b, corner, corner}};
    }
    // Half ellipses whose diameter is one edge of the selection.
    case 13: return {K::Arc, {l, t, r, c(b + h), r, b, l, b}};
    case 14: return {K::Arc, {l, c(t - h), r, b, l, t, r, t}};
    case 15: return {K::Arc, {l, t, c(r + w), b, r, t, r, b}};
    case 16: return {K::Arc, {c(l - w), t, r, b, l, b, l, t}};
    case 20: return {K::Line, {x1, y1, x2, y2}};
    default: return {};
    }
}

} // namespace canvas
