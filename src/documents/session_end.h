#pragma once
// The end of the program from outside: a signal (SIGTERM at logout or
// shutdown, SIGHUP when the terminal closes, SIGINT) or the desktop
// session's "save your work now". Every window's unsaved work is kept as a
// recovery copy, without questions; after a signal the program then leaves
// its event loop and ends normally.
class QApplication;

namespace recovery {

// Keeps the unsaved work of every main window now.
void keepEveryWindowsWork();
// True once a signal asked the program to end: questions still open are
// left unanswered, and nothing is decided on their behalf.
bool sessionEnding();
// Connects the signals and the session manager's request to the above.
void keepWorkAtSessionEnd(QApplication& app);

} // namespace recovery
