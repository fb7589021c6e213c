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

// A question with はい and いいえ (いいえ is the default); true for はい.
bool ask(QWidget* parent, const QString& text);
// The same with はい as the default, where a stray Return must not lose work.
bool askYesDefault(QWidget* parent, const QString& text);
// When set, ask() and askYesDefault() return its answer instead of opening a box.
extern std::function<bool(const QString&)> askOverride;

} // namespace messages
