#pragma once
// Turns the signals that end a program from outside (SIGTERM at logout or
// shutdown, SIGHUP when its terminal closes, SIGINT from Ctrl+C) into a Qt
// signal delivered by the event loop, so that the program can keep the
// user's work and exit normally. The handler only writes the signal's
// number into a socket pair (async-signal-safe); a QSocketNotifier on the
// other end emits received().
#include <QObject>

class QSocketNotifier;

namespace recovery {

class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one object at a time. The previous handlers
    // come back when it is destroyed.
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;
    bool installed() const { return m_notifier != nullptr; }

signals:
    void received(int signal);

private:
    void readPending();
    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace recovery
