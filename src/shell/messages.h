#pragma once
// Message boxes of the editor. Tests replace the box with a recorder.
#include <QString>
#include <functional>

class QWidget;

namespace messages {

// An OK message box with an empty title.
void show(QWidget* parent, const QString& text);
// When set, show() calls it instead of opening a box.
extern std::function<void(const QString&)> override;

} // namespace messages
