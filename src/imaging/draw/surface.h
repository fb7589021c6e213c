#pragma once
// Drawing surfaces: what a drawing handle (a display's DrawingDC or a
// printer page) names. Drawing operations look the handle up here.
#include <QRect>
#include <cstdint>
#include <functional>

class QImage;
class QPainter;

namespace gf5 {

class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;
    // Pixels of the surface, or nullptr for a surface without pixels (paper).
    virtual QImage* surfaceImage() = 0;
    // Runs fn with a painter on the surface, then shows the change.
    virtual void paintOn(const std::function<void(QPainter&)>& fn) = 0;
    // Like paintOn for drawing known to stay inside bounds (surface
    // coordinates): the surface may clip to bounds and redraw only that part.
    virtual void paintWithin(const QRect& bounds, const std::function<void(QPainter&)>& fn)
    {
        (void)bounds;
        paintOn(fn);
    }
    // Pixels were written directly into surfaceImage() inside rect.
    virtual void surfaceChanged(const QRect& rect) = 0;
    // While a print preview is drawn: screen pixels per surface unit at the
    // preview's present zoom. 0 when the drawing goes to its real output.
    virtual double previewPixelsPerUnit() const { return 0; }
};

class SurfaceRegistry {
public:
    static int32_t add(DrawingSurface* surface); // never 0
    static void remove(int32_t handle);
    static DrawingSurface* find(int32_t handle);  // nullptr when unknown
};

} // namespace gf5
