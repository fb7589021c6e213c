#include "file_read.h"
#include "shell/main_window.h"
#include <QElapsedTimer>

namespace documents {

int32_t readWithProgress(MainWindow& f, bool atOnce)
{
    // A read this long is worth a window with its cancel button.
    constexpr qint64 kSlowMs = 400;
    f.ProgressSource = 0;
    f.fileIo.FileOperation = gf5::Gf5File::Read;
    bool shown = atOnce;
    if (atOnce)
        f.ShowProgress();
    QElapsedTimer timer;
    timer.start();
    const QMetaObject::Connection watch =
        QObject::connect(&f.fileIo, &gf5::Gf5File::Progress, &f, [&](int16_t percent) {
            if (shown || timer.elapsed() < kSlowMs)
                return;
            shown = true;
            f.ShowProgress();
            f.OnProgress(percent);
        });
    ++f.busyDepth;
    const int32_t ok = f.fileIo.Execute();
    --f.busyDepth;
    QObject::disconnect(watch);
    if (shown)
        f.CloseProgress();
    return ok;
}

} // namespace documents
