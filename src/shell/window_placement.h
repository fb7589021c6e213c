#pragma once
// Where the editor's windows open: the main window where it was when last
// closed, the help and progress windows centred on the main window and
// below its toolbar.
#include <QRect>
#include <QString>

class QWidget;

namespace placement {

// The rectangle of a window of `size` centred on `owner` (the main window's
// frame), moved down so that its top is at least `keepClear` pixels below
// the owner's top (the title bar and toolbar stay visible), then pulled
// inside `screen` (its top and left win when it is larger than the screen).
QRect centredOn(const QRect& owner, const QSize& size, int keepClear, const QRect& screen);

// Moves `window` to centredOn its owner (`owner`), on the owner's screen.
void centreOnOwner(QWidget& window, const QWidget& owner);

// The file that keeps the main window's place between runs, in the user's
// configuration folder.
QString placementFile();

// Saves the window's size, place and maximised state.
void saveMainWindowPlacement(const QWidget& window);

// Gives the window the size and place saved last (kept on a screen that
// exists); false, leaving the window alone, when nothing was saved.
bool restoreMainWindowPlacement(QWidget& window);

} // namespace placement
