// Parts library cases: switching the library tab to a folder of 500 parts,
// beside the same 500 pictures read and shrunk on every core.
#include "bench.h"
#include "imaging/widgets/gf5thumb.h"
#include "imaging/widgets/thumbload.h"
#include <QDir>
#include <QElapsedTimer>
#include <QIcon>
#include <QListWidget>
#include <QPixmap>
#include <QPainter>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

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

// The pictures of folder read and shrunk to thumbnails on every core, each
// thread taking the next name: the fastest way we know to have them all.
int readAllOnEveryCore(const QString& folder)
{
    const QStringList names = QDir(folder).entryList({"*.bmp"});
    std::atomic<int> next{0}, made{0};
    auto work = [&] {
        for (int i = next++; i < names.size(); i = next++)
            made += !gf5::loadThumbnail(folder + "/" + names[i], QSize(48, 48)).isNull();
    };
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < std::max(1u, std::thread::hardware_concurrency()); ++t)
        threads.emplace_back(work);
    work();
    for (std::thread& t : threads)
        t.join();
    return made;
}

// The first switch: nothing cached yet. Timed from the switch until every
// picture is shown (the browser and its first tab are made untimed); the
// time until the list itself shows, when the window is free again, is
// printed beside it.
bench::Registrar firstSwitch(
    "library 500 parts: first switch until all shown (ref: all read on every core)",
    [](const bench::Context& c) {
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
        static int printed = 0;
        if (printed++ == 1)
            std::printf("    library: the list shows after %.1f ms, the window is free from then on\n", shown);
        return bench::Outcome{read && t->count() == kParts, 0, all};
    },
    [](const bench::Context& c) {
        const Folders& f = folders(c);
        QElapsedTimer timer;
        timer.start();
        const int made = readAllOnEveryCore(f.many);
        return bench::Outcome{made == kParts, 0, timer.nsecsElapsed() / 1e6};
    },
    bench::ratioAtMost(1.5));

// Switching back and forth: every picture comes from the cache. The
// reference lists each tab's folder and fills a plain icon list with its
// names and icons held in memory.
bench::Registrar againSwitch(
    "library tab there and back, 500 parts (ref: folder listed, QListWidget from icons in memory)",
    [](const bench::Context& c) {
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
    },
    [](const bench::Context& c) {
        const Folders& f = folders(c);
        struct Tab {
            QStringList names;
            QList<QIcon> icons;
        };
        static const std::pair<Tab, Tab> tabs = [&] {
            auto load = [](const QString& folder) {
                Tab tab;
                for (const QString& name : QDir(folder).entryList({"*.bmp"})) {
                    tab.names << name;
                    tab.icons << QIcon(QPixmap::fromImage(gf5::loadThumbnail(folder + "/" + name, QSize(48, 48))));
                }
                return tab;
            };
            return std::pair{load(f.few), load(f.many)};
        }();
        static QListWidget* list = [] {
            auto* l = new QListWidget;
            l->setViewMode(QListView::IconMode);
            l->resize(196, 160);
            l->setIconSize(QSize(48, 48));
            return l;
        }();
        for (const auto& [tab, folder] : {std::pair{&tabs.first, f.few}, std::pair{&tabs.second, f.many}}) {
            if (QDir(folder).entryList({"*.bmp"}).size() != tab->names.size())
                return bench::Outcome{};
            list->clear();
            for (int i = 0; i < tab->names.size(); ++i)
                list->addItem(new QListWidgetItem(tab->icons[i], tab->names[i]));
        }
        return bench::Outcome{list->count() == kParts, 0};
    });

} // namespace
