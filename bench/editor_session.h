#pragma once
// The editor's main window driven as a user drives it, for the rows that
// time whole commands (key press or button click until the window is idle
// and the canvas has repainted) and for the memory check.
#include "bench.h"
#include "shell/main_window.h"
#include <QString>
#include <memory>

namespace bench::editor {

// The main window on the build's program folder (settings, parts library),
// shown, with message boxes answered without showing them.
std::unique_ptr<MainWindow> openWindow();

// The window the editor rows share: opened at first use with the plan's BMP
// file, kept until the bench ends.
MainWindow& window(const Context& c);

// Opens file as the user does: the open button, the file dialog answered
// with file; returns once the window has read the plan's walls. True when the canvas then shows an image of the file's size.
bool openFile(MainWindow& f, const QString& file);

// Processes events until none are left, then makes sure the canvas has
// painted since the call before (a command that changed nothing on screen
// still gets one repaint, as a user's window would).
void untilIdle(MainWindow& f);
// The window reads the plan's walls behind the scenes after an open or an
// underlay step; rows time commands on an idle machine, so the reading
// ends first (then the window is idle again).
void untilWallsRead(MainWindow& f);

// Keys as the platform delivers them; keypad keys carry the keypad modifier.
void pressKeypad(MainWindow& f, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
void pressKey(MainWindow& f, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);

// Clicks a button of the window found by its objectName.
bool clickButton(MainWindow& f, const char* objectName);

// Whether the canvas holds the plan's pixels as they were opened: a row
// that leaves anything else behind would time the next run on other work.
bool showsPlan(const MainWindow& f, const Context& c);

// The canvas selection as left, top, right, bottom.
void select(MainWindow& f, int l, int t, int r, int b);

// A monotonic clock in nanoseconds, and the milliseconds since a reading of
// it, for rows that time only part of a run.
qint64 nowNs();
double msSince(qint64 startNs);

} // namespace bench::editor
