// The editor's own commands on the plan, timed as the user waits for them:
// from the key press or button click until the window is idle and the canvas
// has repainted. The window is opened once, with the plan opened through the
// open button, and kept between runs; every row leaves the canvas as it
// found it (an untimed undo or second key press after the timed part).
#include "bench.h"
#include "editor_session.h"
#include "reference.h"
#include "imaging/effects/effectcore.h"
#include <QPoint>
#include <QRect>
#include <opencv2/core.hpp>

namespace {

using bench::Context;
using bench::Outcome;
using namespace bench::editor;

// A 20-pixel square on the plan's paper, where a wall starts, and one
// 600 pixels to its right, where it ends.
const QRect kStart(1000, 1000, 21, 21);
const QRect kEnd(1600, 1000, 21, 21);

void selectSquare(MainWindow& f, const QRect& r) { select(f, r.left(), r.top(), r.right(), r.bottom()); }

// The undo snapshot's copy: the plan into a buffer that exists.
Outcome snapshotCopy(const Context& c) { return bench::ref::copyBytes(c.planImage, c.scratch()); }

// A whole-image command's least work: one pass over the plan's bytes and
// the snapshot's copy, two memcpy's into buffers that exist.
Outcome passAndSnapshot(const Context& c)
{
    const Outcome pass = bench::ref::copyBytes(c.planImage, c.scratch());
    const Outcome snapshot = bench::ref::copyBytes(c.planImage, c.scratch());
    return Outcome{pass.ok && snapshot.ok, 0};
}

// The view's rebuild: Qt's smooth scaling of the plan to the canvas's size.
Outcome viewRebuild(const Context& c)
{
    const QSize view = window(c).dspCanvas->viewport()->size();
    return bench::ref::qtSmooth(c.planImage, c.planImage.size().scaled(view, Qt::KeepAspectRatio));
}

// Keypad 5 with a square selected marks the start of a wall: undo
// snapshot, the square's pixels saved, the square painted red. A second
// press (untimed) takes the mark back.
const bench::Registrar keypad5(
    "editor: keypad 5, wall start marked (to idle) (ref: memcpy, the snapshot's copy)",
    [](const Context& c) {
        MainWindow& f = window(c);
        selectSquare(f, kStart);
        const qint64 start = nowNs();
        pressKeypad(f, Qt::Key_5);
        untilIdle(f);
        const double ms = msSince(start);
        const bool marked = f.WallStartMarked;
        pressKeypad(f, Qt::Key_5);
        untilIdle(f);
        return Outcome{marked && !f.WallStartMarked && showsPlan(f, c), 0, ms};
    },
    snapshotCopy, bench::msAtMost(30));

// The first command after a file is opened has no snapshot to copy into:
// the plan is opened again (untimed) before each press.
const bench::Registrar keypad5First(
    "editor: keypad 5, first after opening the plan (to idle) (ref: memcpy)",
    [](const Context& c) {
        MainWindow& f = window(c);
        const bool opened = openFile(f, c.planBmp);
        selectSquare(f, kStart);
        const qint64 start = nowNs();
        pressKeypad(f, Qt::Key_5);
        untilIdle(f);
        const double ms = msSince(start);
        pressKeypad(f, Qt::Key_5);
        untilIdle(f);
        return Outcome{opened && !f.WallStartMarked && showsPlan(f, c), 0, ms};
    },
    snapshotCopy);

// Ctrl+Z after a solid wall drawn with keypad 5 and keypad +.
const bench::Registrar undoWall(
    "editor: Ctrl+Z after a wall (to idle) (ref: Qt smooth to the view)",
    [](const Context& c) {
        MainWindow& f = window(c);
        selectSquare(f, kStart);
        pressKeypad(f, Qt::Key_5);
        selectSquare(f, kEnd);
        pressKeypad(f, Qt::Key_Plus);
        untilIdle(f);
        const bool drawn = !f.WallStartMarked;
        const qint64 start = nowNs();
        pressKey(f, Qt::Key_Z, Qt::ControlModifier);
        untilIdle(f);
        return Outcome{drawn && showsPlan(f, c), 0, msSince(start)};
    },
    viewRebuild, bench::msAtMost(40));

// A button click until idle, then an untimed undo that brings the plan back.
Outcome clickThenUndo(const Context& c, const char* button)
{
    MainWindow& f = window(c);
    select(f, 0, 0, 0, 0);
    const qint64 start = nowNs();
    const bool clicked = clickButton(f, button);
    untilIdle(f);
    const double ms = msSince(start);
    pressKey(f, Qt::Key_Z, Qt::ControlModifier);
    untilIdle(f);
    untilWallsRead(f);
    return Outcome{clicked && showsPlan(f, c), 0, ms};
}

const bench::Registrar underlayMade(
    "editor: underlay creation 下絵作成処理 (button to idle) (ref: 2 memcpy, pass + snapshot)",
    [](const Context& c) { return clickThenUndo(c, "btnRGB"); }, passAndSnapshot, bench::ratioAtMost(2.5));

const bench::Registrar underlayRemoved(
    "editor: underlay removal 下絵を取る (button to idle) (ref: 2 memcpy, pass + snapshot)",
    [](const Context& c) { return clickThenUndo(c, "btnGomiFix"); }, passAndSnapshot, bench::ratioAtMost(2.0));

const bench::Registrar brightnessClick(
    "editor: brightness +8 明度UP (button to idle) (ref: cv::add in place + memcpy snapshot)",
    [](const Context& c) { return clickThenUndo(c, "Command14"); },
    [](const Context& c) {
        const Outcome snapshot = bench::ref::copyBytes(c.planImage, c.scratch());
        cv::Mat pixels = gf5::fx::viewOf(c.scratch());
        cv::add(pixels, cv::Scalar(8, 8, 8, 0), pixels);
        return Outcome{snapshot.ok, 0};
    },
    bench::ratioAtMost(2.5));

} // namespace
