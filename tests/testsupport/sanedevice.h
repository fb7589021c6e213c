#pragma once
// SANE's "test" backend as the only scanner of a test: a private
// configuration folder named by SANE_CONFIG_DIR.
#include <QFile>
#include <QString>

namespace testsupport {

// Writes dll.conf (the test backend, or none) and test.conf with `devices`
// test devices into dir. False when SANE's test backend is not installed.
inline bool writeSaneTestConfig(const QString& dir, int devices)
{
    QFile src("/etc/sane.d/test.conf");
    QFile dst(dir + "/test.conf"), dll(dir + "/dll.conf");
    if (!src.open(QIODevice::ReadOnly) || !dst.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !dll.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray conf = src.readAll();
    conf.replace("number_of_devices 2", "number_of_devices " + QByteArray::number(qMax(devices, 1)));
    dst.write(conf);
    dll.write(devices > 0 ? "test\n" : "\n");
    return true;
}

} // namespace testsupport
