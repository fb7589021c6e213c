#pragma once
// The work the SANE thread does for the scanner control: listing the
// devices, and one scan from opening the device to its last row. Settings
// are fixed before a job is posted; results are read once it is done.
#include "saneworker.h"
#include <QImage>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <sane/sane.h>

namespace gf5::sane {

class ListJob : public Job {
public:
    void run() override;

    bool ok = false;
    QString error;
    QStringList names;        // device names to open
    QStringList descriptions; // "vendor model (name)" for the chooser
};

class ScanJob : public Job {
public:
    QByteArray device;
    bool colour = true;
    int resolution = 200;
    QVector<QPair<QString, QVariant>> options;

    void run() override;
    void stopNow() override;
    bool canStop() const override { return true; }

    bool ok = false;
    QString error;
    QImage image; // RGB32
    double dpi = 0; // the resolution the device used, 0 when unknown

private:
    bool readImage(SANE_Handle h);

    std::mutex m_handleMutex; // guards m_handle against a stop from outside
    SANE_Handle m_handle = nullptr;
};

} // namespace gf5::sane
