#pragma once
// Scanner control on SANE: choose a source, scan one picture, hand it over
// as a stored image through ImageAcquired.
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

class Gf5Scan : public QObject {
    Q_OBJECT
public:
    explicit Gf5Scan(QObject* parent = nullptr) : QObject(parent) {}

    // 1: colour at Resolution dots per inch; other values scan in whatever
    // mode the device is set to, still at Resolution.
    int16_t ScanSetting = 1;
    int32_t Resolution = 200;
    // Set while Acquire runs (from an ImageAcquired receiver or a progress
    // handler) to stop the scan; Acquire then returns 0.
    bool CancelRequested = false;
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

    // Tests and scripted runs can answer the chooser: given the devices'
    // descriptions, return the index picked or -1 for cancel.
    static std::function<int(const QStringList& devices)> chooserOverride;

signals:
    // A new stored image, owned by the receiver (0 = no image came).
    void ImageAcquired(int32_t handle);

private:
    bool readImage(void* device, QImage& image);

    QString m_device;
};

} // namespace gf5
