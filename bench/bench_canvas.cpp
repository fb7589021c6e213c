// Canvas cases: what the user waits for on screen with a large plan.
#include "bench.h"
#include "imaging/draw/gf5print.h"
#include "imaging/widgets/gf5disp.h"
#include <QPixmap>

namespace {

// A canvas of the editor's size showing the plan fitted, kept between runs
// like the real one.
gf5::Gf5Disp& canvas(int32_t plan)
{
    static gf5::Gf5Disp* disp = [] {
        auto* d = new gf5::Gf5Disp;
        d->resize(519, 455);
        return d;
    }();
    if (disp->ImageHandle() != plan) {
        disp->setImageHandle(plan);
        disp->setZoomMode(0);
        disp->UpdateLayout();
    }
    return *disp;
}

// First paint after a new image: the fitted view is built from the plan.
bench::Registrar firstPaint("canvas repaint, new image (fit)", [](const bench::Context& c) {
    gf5::Gf5Disp& d = canvas(c.plan);
    d.setImageHandle(c.plan);
    d.setDisplayMode(1);
    d.Refresh();
    QPixmap shot = d.viewport()->grab();
    return bench::Outcome{!shot.isNull(), 0};
});

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
