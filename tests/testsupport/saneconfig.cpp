#include "saneconfig.h"
#include <QFile>
#include <QRandomGenerator>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {
bool writeFile(const QString& path, const QByteArray& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}
}

bool writeSaneTestConfig(const QString& dir, int devices)
{
    QFile src("/etc/sane.d/test.conf");
    if (!src.open(QIODevice::ReadOnly))
        return false;
    QByteArray conf = src.readAll();
    conf.replace("number_of_devices 2", "number_of_devices " + QByteArray::number(devices));
    return writeFile(dir + "/test.conf", conf) && writeFile(dir + "/dll.conf", devices > 0 ? "test\n" : "\n");
}

QVector<QPair<QString, QVariant>> plainTestDevice(const QVector<QPair<QString, QVariant>>& options)
{
    QVector<QPair<QString, QVariant>> all = {{"read-limit", false},   {"read-delay", false},
                                             {"read-return-value", "Default"}, {"hand-scanner", false},
                                             {"three-pass", false}};
    return all + options;
}

SilentScanner::SilentScanner()
{
    // The network backend always uses the scanner port; a random loopback
    // address keeps parallel runs apart.
    for (int attempt = 0; attempt < 5 && m_fd < 0; ++attempt) {
        const quint32 r = QRandomGenerator::global()->bounded(1u << 16);
        m_host = QStringLiteral("127.%1.%2.%3").arg(100 + int(r % 100)).arg(int(r / 100 % 250)).arg(2 + attempt);
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0)
            return;
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(6566);
        inet_pton(AF_INET, m_host.toLatin1().constData(), &addr.sin_addr);
        // Connections wait in the backlog: the kernel completes them, nobody
        // reads or writes.
        if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && ::listen(fd, 8) == 0)
            m_fd = fd;
        else
            ::close(fd);
    }
}

SilentScanner::~SilentScanner() { close(); }

void SilentScanner::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool SilentScanner::install(const QString& dir) const
{
    if (!writeFile(dir + "/dll.conf", "net\n") ||
        !writeFile(dir + "/net.conf", "connect_timeout = 5\n" + m_host.toLatin1() + "\n"))
        return false;
    qputenv("SANE_CONFIG_DIR", dir.toLocal8Bit());
    return true;
}

} // namespace testsupport
