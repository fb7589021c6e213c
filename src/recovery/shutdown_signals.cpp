#include "shutdown_signals.h"
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace recovery {

namespace {
const int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
volatile sig_atomic_t s_writeFd = -1;
struct sigaction s_previous[3];

extern "C" void onSignal(int signal)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    const int fd = s_writeFd;
    if (fd >= 0) {
        // Non-blocking: should the pair be full, the signals already in it
        // are enough.
        [[maybe_unused]] const ssize_t n = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}
}

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent)
{
    if (s_writeFd >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_fds) != 0)
        return;
    s_writeFd = m_fds[0];
    m_notifier = new QSocketNotifier(m_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::readPending);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        ::sigaction(kSignals[i], &action, &s_previous[i]);
}

ShutdownSignals::~ShutdownSignals()
{
    if (!m_notifier)
        return;
    for (int i = 0; i < 3; ++i)
        ::sigaction(kSignals[i], &s_previous[i], nullptr);
    s_writeFd = -1;
    delete m_notifier;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void ShutdownSignals::readPending()
{
    unsigned char bytes[16];
    const ssize_t n = ::read(m_fds[1], bytes, sizeof bytes);
    for (ssize_t i = 0; i < n; ++i)
        emit received(bytes[i]);
}

} // namespace recovery
