// Canvas cases: what the user waits for on screen with a large plan.
#include "bench.h"
#include "reference.h"
#include "imaging/draw/gf5print.h"
#include "imaging/widgets/gf5disp.h"
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <map>

namespace {

// A display of the given size showing the plan fitted (zoom 0) or at a
// factor, kept between runs like the real canvas.
gf5::Gf5Disp& display(int32_t plan, QSize size, double zoom)
{
    static std::map<std::pair<std::pair<int, int>, double>, gf5::Gf5Disp*> displays;
    gf5::Gf5Disp*& disp = displays[{{size.width(), size.height()}, zoom}];
    if (!disp) {
        disp = new gf5::Gf5Disp;
        disp->resize(size);
        bench::atExit([d = disp] { delete d; });
    }
    if (disp->ImageHandle() != plan) {
        disp->setImageHandle(plan);
        disp->setZoomFactor(zoom > 0 ? zoom : 1.0);
        disp->setZoomMode(zoom > 0 ? 1 : 0);
        disp->UpdateLayout();
    }
    return *disp;
}

// The canvas of the editor's size, fitted.
gf5::Gf5Disp& canvas(int32_t plan) { return display(plan, QSize(519, 455), 0); }

// A new image on the display: the view is rebuilt from the plan and painted.
bench::Outcome rebuildView(gf5::Gf5Disp& d, int32_t plan)
{
    d.setImageHandle(plan);
    d.setDisplayMode(1);
    d.Refresh();
    QPixmap shot = d.viewport()->grab();
    return bench::Outcome{!shot.isNull(), 0};
}

// Qt's smooth scaling of the plan to the size of the display's view.
bench::Outcome viewReference(gf5::Gf5Disp& d, const bench::Context& c)
{
    const double s = d.currentScale();
    const QSize size(std::max(1, int(std::lround(c.planImage.width() * s))),
                     std::max(1, int(std::lround(c.planImage.height() * s))));
    return bench::ref::qtSmooth(c.planImage, size);
}

// Rows of the view rebuilt after a new image, at three view sizes.
struct ViewRow {
    ViewRow(const char* name, QSize size, double zoom)
        : registrar(QString::fromUtf8(name),
                    [=](const bench::Context& c) { return rebuildView(display(c.plan, size, zoom), c.plan); },
                    [=](const bench::Context& c) { return viewReference(display(c.plan, size, zoom), c); },
                    bench::ratioAtMost(1.3))
    {
    }
    bench::Registrar registrar;
};

// First paint after a new image: the fitted view is built from the plan.
ViewRow firstPaint("canvas repaint, new image (fit 519 x 455) (ref: Qt smooth)", QSize(519, 455), 0);
ViewRow largeFit("canvas repaint, new image (fit 1200 x 900) (ref: Qt smooth)", QSize(1200, 900), 0);
ViewRow half("canvas repaint, new image (x 0.5, 519 x 455) (ref: Qt smooth)", QSize(519, 455), 0.5);

// Repaint with the selection moved: the cached view is reused.
bench::Registrar selectionPaint("canvas repaint, selection moved (fit)", [](const bench::Context& c) {
    gf5::Gf5Disp& d = canvas(c.plan);
    d.setSelectionLeft(d.SelectionLeft() + 10);
    d.setSelectionTop(100);
    d.setSelectionRight(d.SelectionLeft() + 400);
    d.setSelectionBottom(500);
    d.setDisplayMode(2);
    d.Refresh();
    QPixmap shot = d.viewport()->grab();
    return bench::Outcome{!shot.isNull(), 0};
});

// A drawing command: working copy, one filled rectangle, commit, repaint.
bench::Registrar drawAndCommit("canvas draw + commit (fit)", [](const bench::Context& c) {
    gf5::Gf5Disp& d = canvas(c.plan);
    gf5::Gf5Print print;
    d.setDisplayMode(3);
    d.Refresh();
    print.BrushStyle = 1;
    print.BrushColor = 0;
    print.FillRectangle(d.DrawingDC(), 1000, 1000, 1020, 1400);
    d.CommitDrawing();
    d.setDisplayMode(2);
    d.Refresh();
    QPixmap shot = d.viewport()->grab();
    return bench::Outcome{!shot.isNull(), 0};
});

} // namespace
