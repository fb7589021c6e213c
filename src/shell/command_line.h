#pragma once
// The program's command line, read before any window or display is needed:
// --help and --version answer on standard output, an unknown option is an
// error, Qt's own options are left for Qt, everything else names files.
#include <QString>
#include <QStringList>

namespace command_line {

enum class Action { Run, Help, Version, Error };

struct Parsed {
    Action action = Action::Run;
    QStringList files;  // in order, for the window
    QString message;    // Help/Version: what to print; Error: why
};

// args: the arguments without the program's name.
Parsed parse(const QStringList& args);

// The exit status for an action that ends the program before any window.
inline int exitStatus(Action a) { return a == Action::Error ? 2 : 0; }

QString usageText();
QString versionText();

} // namespace command_line
