#pragma once
// Scanner control on SANE: choose a source, scan one picture, hand it over
// as a stored image through ImageAcquired. The device work runs on the SANE
// thread (saneworker.h); these calls wait for it while the window stays
// alive, report progress, and give up on a device that stops answering.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <QPair>
#include <cstdint>
#include <functional>

class QImage;
class QWidget;

namespace gf5 {

namespace sane {
class Job;
}

class Gf5Scan : public QObject {
    Q_OBJECT
public:
    explicit Gf5Scan(QObject* parent = nullptr) : QObject(parent) {}

    // 1: colour at Resolution dots per inch; other values scan in whatever
    // mode the device is set to, still at Resolution.
    int16_t ScanSetting = 1;
    int32_t Resolution = 200;
    // Set while SelectSource or Acquire runs (from a progress handler) to
    // stop it; it then returns 0 with LastFailure Cancelled.
    bool CancelRequested = false;
    // How long the devices may take to be listed, and how long a scanner may
    // stay silent during a scan, before it counts as not answering.
    int32_t DiscoveryLimitMs = 15000;
    int32_t AnswerLimitMs = 30000;
    // Owner of the chooser shown when several scanners are found.
    QWidget* DialogParent = nullptr;
    // Further device options set after mode and resolution, by SANE option
    // name: strings for lists, numbers for integers and fixed-point values,
    // bools for switches (tests use the test device's "test-picture").
    QVector<QPair<QString, QVariant>> ExtraOptions;

    // Looks for scanners; with one it is taken, with several the user picks
    // one. Nonzero when a source is ready for Acquire.
    int32_t SelectSource();
    // Scans one picture from the selected source and raises ImageAcquired
    // with the new image. Nonzero on success; 0 on any device failure or a
    // cancel (no image is raised then).
    int32_t Acquire();

    QString SourceName() const { return m_device; }
    // Why the last SelectSource or Acquire failed (empty after success).
    QString LastError;
    enum class Failure {
        None,
        Cancelled, // CancelRequested, or the chooser was cancelled
        NoAnswer,  // the devices did not answer within the limits
        NoDevice,  // no scanner found, or none selected
        Device,    // the device reported an error or sent unusable data
    };
    Failure LastFailure = Failure::None;

    // Tests and scripted runs can answer the chooser: given the devices'
    // descriptions, return the index picked or -1 for cancel.
    static std::function<int(const QStringList& devices)> chooserOverride;

signals:
    // A new stored image, owned by the receiver (0 = no image came).
    void ImageAcquired(int32_t handle);
    // While SelectSource or Acquire waits: percent of the scan's bytes
    // received, or while the devices are listed, of the time limit used.
    void Progress(int16_t percent);
    // SelectSource is about to ask the user to choose among several devices.
    void ChoosingSource();

private:
    // Waits for a posted job; false (LastFailure, LastError set) when it was
    // cancelled or stopped answering for limitMs.
    bool await(sane::Job& job, int limitMs);

    QString m_device;
};

} // namespace gf5
