#pragma once
// Text fitted into a rectangle: horizontal lines or vertical columns, as
// large as fits inside it with the font's proportions kept, centred both
// ways, never antialiased, clipped to the rectangle. Bold in a font without
// a bold face is drawn with its strokes thickened by hand.
#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace gf5 {

struct TextBox {
    QString text;
    QString family;      // empty: the application's font
    int pixelSize = 12;  // the size the fitting starts measuring from
    bool bold = false;
    bool vertical = false; // one upright character per cell, top to bottom
    QColor fore = Qt::black;
    QColor back = Qt::white;
    bool opaque = false;   // paint the whole rectangle with back first
};

// Draws box into rect (x in [left, right], y in [top, bottom] as QRect has it).
void drawTextBox(QPainter& p, const QRect& rect, const TextBox& box);

// The pixel size drawTextBox uses for box in a rectangle of size: the
// largest whose drawn text fits (horizontal text by its ink, vertical text
// by its character cells).
int fittedPixelSize(const TextBox& box, const QSize& size);

} // namespace gf5
