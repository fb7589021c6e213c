#pragma once
// Where Zorvat finds its own read-only data and keeps the user's files.
// Installed, the program folder may be read-only: everything the program
// writes goes to the user's XDG folders or a private temporary folder.
#include <QString>

namespace userpaths {

// The program folder (settings sample, parts library, help page) for an
// executable in exeDir: "<prefix>/share/zorvat" when the executable is
// installed as "<prefix>/bin/zorvat" and that folder exists, otherwise
// exeDir itself (a build tree keeps its data beside the executable).
QString programFolder(const QString& exeDir);

// The user's folders for Zorvat, following the XDG base directories
// ($XDG_CONFIG_HOME, $XDG_DATA_HOME, $XDG_STATE_HOME with their defaults
// ~/.config, ~/.local/share, ~/.local/state). Not created here.
QString configFolder(); // .../zorvat: the user's zorvat.ini
QString dataFolder();   // .../zorvat: the user's buhin/bihin, buhin/moji
QString stateFolder();  // .../zorvat: recovery copies

// A private folder of this run (mode 0700), created on first use and removed
// with its contents when the program exits. Empty when it cannot be made.
QString runTempFolder();

} // namespace userpaths
