#pragma once
// The moment the window first shows the picture, for work that should wait
// until then and for measuring how long the program takes to open a file.
#include <QWidget>
#include <functional>

namespace gf5 {
class Gf5Disp;
}

namespace startup {

// Runs fn once, from the event loop, after widget has painted for the first
// time (a widget already painted before the call counts only from its next
// paint), or after fallbackMs if it has not painted by then (negative: no
// fallback). fn does not run if widget is destroyed first.
void afterFirstPaint(QWidget* widget, std::function<void()> fn, int fallbackMs = 2000);

// When the environment variable ZORVAT_REPORT_FIRST_PAINT is set, writes
// the line "painted" to standard output once the canvas has first painted
// (the picture, or the reduced copy shown while it is read), then "whole"
// once it has painted the whole picture, and ends the program if the
// variable's value is "quit". For timing the program's start from outside;
// otherwise does nothing.
void reportFirstPaintIfAsked(gf5::Gf5Disp& canvas);

// The most a picture can take on screen when first shown (fitted to a view
// no larger than the primary screen): a reduced copy covering it shows the
// picture as well as the whole would.
QSize standInBox();

} // namespace startup
