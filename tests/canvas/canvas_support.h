#pragma once
// Helpers shared by the canvas tests.
#include "testsupport/formfixture.h"
#include <QComboBox>
#include <cmath>
#include <functional>
#include <vector>

namespace canvastest {

// Sets the selection and shows it, as a user's drag leaves it.
inline void select(MainWindow& f, int l, int t, int r, int b)
{
    testsupport::setSelection(f, l, t, r, b);
    f.dspCanvas->setDisplayMode(2);
    f.dspCanvas->Refresh();
}

inline QRect selection(const MainWindow& f) { return testsupport::selectionRect(f); }

inline void setComboText(QComboBox* box, const QString& text)
{
    if (box->isEditable())
        box->setEditText(text);
    else
        box->setCurrentText(text);
}

// Points of a curve, densely sampled.
using Curve = std::vector<QPointF>;

inline Curve segment(QPointF a, QPointF b)
{
    Curve c;
    for (int i = 0; i <= 400; ++i)
        c.push_back(a + (b - a) * (i / 400.0));
    return c;
}

// Part of the ellipse centred on (cx, cy) with radii rx, ry, from angle a0 to
// a1 (degrees, measured on screen with y downwards: 0 right, 90 down).
inline Curve ellipseArc(double cx, double cy, double rx, double ry, double a0, double a1)
{
    Curve c;
    for (int i = 0; i <= 1000; ++i) {
        const double a = (a0 + (a1 - a0) * i / 1000.0) * M_PI / 180.0;
        c.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return c;
}

inline Curve join(std::initializer_list<Curve> parts)
{
    Curve all;
    for (const Curve& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

inline double distanceTo(const Curve& c, QPointF p)
{
    double best = 1e18;
    for (const QPointF& q : c)
        best = std::min(best, std::hypot(q.x() - p.x(), q.y() - p.y()));
    return best;
}

// Pixels of exactly the colour, as points at their centres' corner (the
// drawing control's pixel (x, y) covers x..x+1).
inline std::vector<QPoint> pixelsOf(const QImage& img, QRgb colour)
{
    std::vector<QPoint> out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                out.push_back({x, y});
    return out;
}

// True when some pixel of the colour lies within radius of p.
inline bool colourNear(const QImage& img, QPointF p, QRgb colour, int radius = 1)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const int x = int(std::floor(p.x())) + dx, y = int(std::floor(p.y())) + dy;
            if (img.valid(x, y) && (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
        }
    return false;
}

} // namespace canvastest
