#include "gf5scan.h"
#include "../store/imagestore.h"
#include "sanejobs.h"
#include <QCoreApplication>
#include <QImage>
#include <QInputDialog>
#include <QMetaMethod>
#include <algorithm>

namespace gf5 {

std::function<int(const QStringList&)> Gf5Scan::chooserOverride;

namespace {
constexpr int kTickMs = 30;        // how often the window is kept alive while waiting
constexpr int kStopGraceMs = 1000; // a stop not taken by then is forced on the device
constexpr int kStopGiveUpMs = 3000; // then the job is left to end on its own

// A listing still running from an earlier call (given up on, or waited on by
// another control): waited for again instead of asking the devices twice.
std::shared_ptr<sane::ListJob>& pendingList()
{
    static std::shared_ptr<sane::ListJob> job;
    return job;
}
} // namespace

bool Gf5Scan::await(sane::Job& job, int limitMs)
{
    const int64_t start = sane::nowMs();
    int64_t stoppedAt = 0;
    bool forced = false;
    Failure why = Failure::None;
    int shown = -1;
    for (;;) {
        if (job.waitDone(kTickMs))
            break;
        const int64_t now = sane::nowMs();
        if (why == Failure::None) {
            if (CancelRequested)
                why = Failure::Cancelled;
            else if (now - std::max(start, job.lastActivity.load()) > limitMs)
                why = Failure::NoAnswer;
            if (why != Failure::None) {
                job.stop = true;
                stoppedAt = now;
                if (!job.canStop())
                    break;
            }
        } else {
            if (!forced && now - stoppedAt > kStopGraceMs) {
                job.stopNow();
                forced = true;
            }
            if (now - stoppedAt > kStopGiveUpMs)
                break; // the job ends on its own; its result is dropped
        }
        int percent = job.percent.load();
        if (percent < 0) // no measure: show the time spent against the limit
            percent = int(std::min<int64_t>(99, (now - start) * 100 / std::max(1, limitMs)));
        if (percent != shown) {
            shown = percent;
            emit Progress(int16_t(percent));
        }
        QCoreApplication::processEvents();
    }
    if (why == Failure::None && CancelRequested)
        why = Failure::Cancelled; // pressed just as the job ended
    if (why == Failure::None)
        return true;
    LastFailure = why;
    LastError = why == Failure::Cancelled ? QStringLiteral("取り止めました")
                                          : QStringLiteral("スキャナが応答しませんでした");
    return false;
}

int32_t Gf5Scan::SelectSource()
{
    LastError.clear();
    LastFailure = Failure::None;
    CancelRequested = false;
    std::shared_ptr<sane::ListJob>& pending = pendingList();
    if (!pending || pending->isDone()) {
        pending = std::make_shared<sane::ListJob>();
        sane::post(pending);
    }
    const std::shared_ptr<sane::ListJob> job = pending;
    if (!await(*job, DiscoveryLimitMs))
        return 0;
    pending.reset();
    if (!job->ok) {
        LastError = job->error;
        LastFailure = Failure::Device;
        return 0;
    }
    if (job->names.isEmpty()) {
        m_device.clear();
        LastError = QStringLiteral("スキャナが見つかりません");
        LastFailure = Failure::NoDevice;
        return 0;
    }
    int picked = 0;
    if (job->names.size() > 1) {
        emit ChoosingSource();
        if (chooserOverride) {
            picked = chooserOverride(job->descriptions);
        } else {
            bool ok = false;
            const QString item = QInputDialog::getItem(DialogParent, QStringLiteral("スキャナの選択"),
                                                       QStringLiteral("スキャナ:"), job->descriptions, 0, false, &ok);
            picked = ok ? int(job->descriptions.indexOf(item)) : -1;
        }
        if (picked < 0 || picked >= job->names.size()) {
            LastError = QStringLiteral("取り止めました");
            LastFailure = Failure::Cancelled;
            return 0;
        }
    }
    m_device = job->names[picked];
    return 1;
}

int32_t Gf5Scan::Acquire()
{
    LastError.clear();
    LastFailure = Failure::None;
    CancelRequested = false;
    if (m_device.isEmpty()) {
        LastError = QStringLiteral("スキャナが選ばれていません");
        LastFailure = Failure::NoDevice;
        return 0;
    }
    auto job = std::make_shared<sane::ScanJob>();
    job->device = m_device.toUtf8();
    job->colour = ScanSetting == 1;
    job->resolution = Resolution;
    job->options = ExtraOptions;
    sane::post(job);
    if (!await(*job, AnswerLimitMs))
        return 0;
    if (!job->ok) {
        LastError = job->error;
        LastFailure = Failure::Device;
        return 0;
    }
    QImage image = std::move(job->image);
    if (job->dpi > 0) {
        // The image records the resolution the device really used.
        image.setDotsPerMeterX(qRound(job->dpi / 0.0254));
        image.setDotsPerMeterY(qRound(job->dpi / 0.0254));
    }
    const int32_t handle = ImageStore::add(image, 24);
    if (handle == 0) {
        LastError = QStringLiteral("メモリが足りません");
        LastFailure = Failure::Device;
        return 0;
    }
    if (!isSignalConnected(QMetaMethod::fromSignal(&Gf5Scan::ImageAcquired))) {
        ImageStore::release(handle); // nobody would own it
        return 1;
    }
    emit ImageAcquired(handle);
    return 1;
}

} // namespace gf5
