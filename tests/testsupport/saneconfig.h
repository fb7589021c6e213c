#pragma once
// SANE configurations for tests: SANE's "test" device, and a network
// scanner that accepts the connection but never answers.
#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>

namespace testsupport {

// Writes dll.conf and test.conf into dir for `devices` test devices (0: an
// empty device list). False when SANE's test device is not installed.
bool writeSaneTestConfig(const QString& dir, int devices);

// SANE keeps a device's settings for the whole session (the program's
// life): options for the test device that start from a plain flatbed
// without faults, followed by `options`.
QVector<QPair<QString, QVariant>> plainTestDevice(const QVector<QPair<QString, QVariant>>& options);

// A scanner server on a loopback address that takes connections and never
// answers, as an unresponsive network scanner does. Closing it (or the
// destructor) lets a waiting client fail.
class SilentScanner {
public:
    SilentScanner();
    ~SilentScanner();
    SilentScanner(const SilentScanner&) = delete;
    SilentScanner& operator=(const SilentScanner&) = delete;
    bool isListening() const { return m_fd >= 0; }
    QString host() const { return m_host; }
    // Writes dll.conf and net.conf into dir naming only this host, and
    // points SANE at dir.
    bool install(const QString& dir) const;
    void close();

private:
    int m_fd = -1;
    QString m_host;
};

} // namespace testsupport
