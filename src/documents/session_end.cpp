#include "session_end.h"
#include "recovery/shutdown_signals.h"
#include "shell/main_window.h"
#include <QApplication>
#include <QSessionManager>

namespace recovery {

namespace {
bool s_ending = false;
}

bool sessionEnding() { return s_ending; }

void keepEveryWindowsWork()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<MainWindow*>(w))
            window->keepUnsavedWork(false);
}

void keepWorkAtSessionEnd(QApplication& app)
{
    auto* endSignals = new ShutdownSignals(&app);
    QObject::connect(endSignals, &ShutdownSignals::received, &app, [] {
        s_ending = true;
        keepEveryWindowsWork();
        // Leaves every event loop, a dialog's too; the windows are then
        // destroyed as after a normal exit.
        QCoreApplication::exit(0);
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [](QSessionManager&) { keepEveryWindowsWork(); });
}

} // namespace recovery
