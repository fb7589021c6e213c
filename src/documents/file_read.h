#pragma once
// Reading a picture with the file control while the window shows how far
// the read has come: every read can be stopped from the progress window,
// also one from a slow folder or of a file still being written.
#include <cstdint>

class MainWindow;

namespace documents {

// Runs the file control's read of its FileName (the result as Execute
// gives it). With atOnce the progress window is shown from the start;
// otherwise only once the read has taken longer than a moment, so quick
// reads of drops, parts and reverts show no window. Input to the window is
// held back meanwhile.
int32_t readWithProgress(MainWindow& f, bool atOnce);

} // namespace documents
