// A program that edits and is then ended from outside, for the recovery
// tests. It uses the user folders of its environment.
//   recovery_child edit <seed> <expected.png>
//       paints noise on a new sheet, saves what the canvas shows as
//       expected.png, prints "ready" and waits to be ended;
//   recovery_child periodic
//       shows a large grey picture and, whenever no copy is being written,
//       fills it with the next grey and asks for the periodic copy, so that
//       copies are written one after the other; prints "ready" once the
//       first copy is on disk.
#include "documents/recovery.h"
#include "documents/session_end.h"
#include "testsupport/formfixture.h"
#include <QApplication>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {
void sayReady()
{
    std::printf("ready\n");
    std::fflush(stdout);
}
}

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    QTemporaryDir programDir;
    MainWindow window({}, programDir.path());
    window.show();
    recovery::keepWorkAtSessionEnd(app);
    recovery::Keeper& keeper = window.recoveryKeeper();
    QTimer tick;

    if (args[1] == "edit" && args.size() == 4) {
        window.TakeUndoSnapshot();
        QImage* img = gf5::ImageStore::image(window.dspCanvas->ImageHandle());
        QRandomGenerator rng(args[2].toUInt());
        for (int y = 10; y < 110; ++y)
            for (int x = 10; x < 210; ++x)
                img->setPixel(x, y, 0xFF000000u | (rng.generate() & 0xFFFFFF));
        if (!img->save(args[3], "PNG"))
            return 3;
        QTimer::singleShot(0, &app, sayReady);
    } else if (args[1] == "periodic") {
        QImage grey(3000, 2000, QImage::Format_RGB32);
        grey.fill(qRgb(0, 0, 0));
        testsupport::showOnCanvas(window, grey);
        keeper.schedule.firstDelayMs = 0;
        keeper.schedule.intervalMs = 0;
        keeper.sliceBudgetMs = 0; // a megabyte a slice: a copy takes many slices
        static int level = 0;
        static bool ready = false;
        QObject::connect(&tick, &QTimer::timeout, &app, [&] {
            if (keeper.writing())
                return;
            if (!ready && !keeper.slotFolder().isEmpty() && QFileInfo::exists(recovery::imageIn(keeper.slotFolder()))) {
                ready = true;
                sayReady();
            }
            level = (level + 1) % 256;
            gf5::ImageStore::image(window.dspCanvas->ImageHandle())->fill(qRgb(level, level, level));
            keeper.checkDue();
        });
        tick.start(5);
    } else {
        return 2;
    }
    return app.exec();
}
