// Parts library cases: switching the library tab to a folder of 500 parts,
// beside the reference work of reading all 500 pictures on the window's
// thread (what a browser without worker reads and cache would make the user
// wait for on every switch).
#include "bench.h"
#include "imaging/widgets/gf5thumb.h"
#include "imaging/widgets/thumbload.h"
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <cstdio>
#include <memory>

namespace {

constexpr int kParts = 500;

// Two library folders: 500 line drawings (8-bit BMP like the library's own)
// and a small second tab.
struct Folders {
    QString many, few;
};

const Folders& folders(const bench::Context& c)
{
    static Folders f = [&] {
        Folders out{c.folder + "/parts500", c.folder + "/parts10"};
        QDir().mkpath(out.many);
        QDir().mkpath(out.few);
        QList<QRgb> grey;
        for (int i = 0; i < 256; ++i)
            grey << qRgb(i, i, i);
        for (int i = 0; i < kParts; ++i) {
            QImage img(90 + i % 40, 60 + i % 30, QImage::Format_RGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            p.drawRect(2, 2, img.width() - 5, img.height() - 5);
            p.drawArc(4, 4, img.width() - 8, 2 * img.height(), 0, 90 * 16);
            p.end();
            QImage part = img.convertToFormat(QImage::Format_Indexed8, grey);
            part.save(QStringLiteral("%1/部品_%2.bmp").arg(i < 10 ? out.few : out.many).arg(i), "BMP");
            if (i < 10)
                part.save(QStringLiteral("%1/部品_%2.bmp").arg(out.many).arg(i), "BMP");
        }
        return out;
    }();
    return f;
}

void showFolder(gf5::Gf5Thumb& t, const QString& folder)
{
    t.Folder = folder;
    t.FileFilter = "jpg;bmp";
    t.Rebuild();
    t.Display();
}

std::unique_ptr<gf5::Gf5Thumb> browser()
{
    auto t = std::make_unique<gf5::Gf5Thumb>();
    t->resize(196, 160);
    t->setIconSize(QSize(48, 48));
    return t;
}

// The first switch: nothing cached yet. The window is free again as soon as
// the list is shown; the pictures arrive afterwards.
bench::Registrar firstSwitch("library 500 parts: first switch, reads, reference", [](const bench::Context& c) {
    const Folders& f = folders(c);
    auto t = browser();
    showFolder(*t, f.few);
    t->waitForThumbnails(10000);
    QElapsedTimer timer;
    timer.start();
    showFolder(*t, f.many);
    const double shown = timer.nsecsElapsed() / 1e6;
    const bool read = t->waitForThumbnails(60000);
    const double all = timer.nsecsElapsed() / 1e6;

    // The reference: every picture read on the window's thread.
    timer.restart();
    int made = 0;
    for (const QString& name : QDir(f.many).entryList({"*.bmp"}))
        made += !gf5::loadThumbnail(f.many + "/" + name, QSize(48, 48)).isNull();
    const double reference = timer.nsecsElapsed() / 1e6;
    std::printf("    list shown %.1f ms, all %d pictures in %.1f ms; reference (read all on the window thread) "
                "%.1f ms; window blocked %.1fx less\n",
                shown, t->count(), all, reference, reference / std::max(shown, 0.001));
    return bench::Outcome{read && made == kParts, 0};
});

// Switching back and forth: every picture comes from the cache.
bench::Registrar againSwitch("library tab there and back, 500 parts", [](const bench::Context& c) {
    const Folders& f = folders(c);
    // Kept for the program's life, like the window's browser.
    static gf5::Gf5Thumb* t = [&] {
        gf5::Gf5Thumb* b = browser().release();
        showFolder(*b, f.many);
        b->waitForThumbnails(60000);
        return b;
    }();
    showFolder(*t, f.few);
    showFolder(*t, f.many);
    return bench::Outcome{t->count() == kParts && !t->thumbnailsPending(), 0};
});

} // namespace
