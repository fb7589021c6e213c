#pragma once
// Captions that show whole whatever the desktop's font size: the window's
// controls have fixed places, so a caption wider than its control is drawn
// in a smaller size of the same font instead of being cut.
class QWidget;

namespace captions {

// How much wider a control's caption is than the room the style gives it
// (0 when it fits, or when the control has no caption of its kind).
int overflow(const QWidget& control);

// Shrinks the font of every control below `root` whose caption does not fit,
// a step at a time down to 6 points.
void shrinkToFit(QWidget& root);

} // namespace captions
