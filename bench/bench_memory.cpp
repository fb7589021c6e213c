// Peak memory of the editor with the A3 plan open, one undo snapshot taken
// and one effect run (in both orders), then every other whole-image step:
// contrast, both underlay buttons, a click fill, the effects, turns and
// straightening, all with the ink analysis's wall map of the plan held.
// Measured in a fresh process that never builds the plan itself (it opens the plan's file as a user does), so nothing the
// bench made for its other rows counts. The kernel's high-water mark of
// resident memory (VmHWM) is reset before the file is opened and after
// every step where the kernel allows it, so each step shows its own peak
// beside the window's own baseline.
#include "bench.h"
#include "editor_session.h"
#include "imaging/store/bufferpool.h"
#include "imaging/store/imagestore.h"
#include "ink/analyse.h"
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <malloc.h>

namespace bench {

namespace {

// A field of /proc/self/status in megabytes (10^6 bytes); -1 when missing.
double statusMb(const char* field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(f.readAll());
    const QRegularExpression re(QStringLiteral("^%1:\\s+(\\d+) kB").arg(QLatin1String(field)),
                                QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1).toDouble() * 1024 / 1e6 : -1;
}

// Resets VmHWM to the present resident size; false where not allowed.
bool resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

// The highest step peak so far, for the child's closing line.
double highestPeak = 0;

// One step's figures: the step's own peak (the high-water mark is reset
// after each step where the kernel allows it) and what stays resident after
// it. Beside the pixels of the store's images (a buffer shared by a snapshot
// and the canvas counted once) and the pool, what else the resident memory
// holds above the window's own (working copies of the display, transient
// buffers, freed heap), in images of the plan's size; and the heap's free
// bytes, which the allocator keeps rather than gives back.
void report(const char* step, double window, const MainWindow& f)
{
    const QImage* canvas = gf5::ImageStore::image(f.dspCanvas->ImageHandle());
    const double image = canvas ? canvas->sizeInBytes() / 1e6 : 0;
    const double peak = statusMb("VmHWM"), now = statusMb("VmRSS");
    highestPeak = std::max(highestPeak, peak);
    const double stored = gf5::ImageStore::pixelBytes() / 1e6;
    const double pooled = gf5::BufferPool::pooledCount() * (gf5::BufferPool::pooledBytes() / 1e6);
    const double other = now - window - stored - pooled;
    const struct mallinfo2 heap = mallinfo2();
    std::printf("  %-28s peak %6.1f MB  now %6.1f MB  images: stored %.1f, pooled %d, elsewhere %.1f; heap free %.0f MB\n",
                step, peak, now, image > 0 ? stored / image : 0.0, gf5::BufferPool::pooledCount(),
                image > 0 ? other / image : 0.0, heap.fordblks / 1e6);
    std::fflush(stdout);
    resetPeak();
}

} // namespace

int peakMemoryChild(const QString& planFile, bool effectFirst)
{
    using namespace editor;
    std::unique_ptr<MainWindow> f = openWindow();
    const double window = statusMb("VmRSS");
    const bool reset = resetPeak();
    std::printf("  window open, before the plan: %.1f MB resident; peak %s\n", window,
                reset ? "reset here and after each step (each peak is its step's own)"
                      : "NOT reset (counts since the start)");
    if (!openFile(*f, planFile)) {
        std::printf("  the plan could not be opened\n");
        return 1;
    }
    report("plan opened", window, *f);
    auto keypad5 = [&] {
        select(*f, 1000, 1000, 1020, 1020);
        pressKeypad(*f, Qt::Key_5); // undo snapshot, start square marked
        untilIdle(*f);
        pressKeypad(*f, Qt::Key_5); // the mark taken back
        untilIdle(*f);
        report("+ keypad 5 (undo snapshot)", window, *f);
    };
    auto brightness = [&] {
        select(*f, 0, 0, 0, 0);
        clickButton(*f, "Command14"); // brightness +8 over the whole image
        untilIdle(*f);
        report("+ brightness +8 (one effect)", window, *f);
    };
    if (effectFirst) {
        brightness();
        keypad5();
    } else {
        keypad5();
        brightness();
    }
    pressKey(*f, Qt::Key_Z, Qt::ControlModifier);
    untilIdle(*f);
    report("+ Ctrl+Z", window, *f);
    std::shared_ptr<const ink::WallMap> walls;
    if (!effectFirst) {
        // The ink analysis of the plan, its wall map kept for the rest of
        // the session as the document keeps it.
        if (const QImage* canvas = gf5::ImageStore::image(f->dspCanvas->ImageHandle())) {
            const cv::Mat view(canvas->height(), canvas->width(), CV_8UC4, const_cast<uchar*>(canvas->constBits()),
                               size_t(canvas->bytesPerLine()));
            ink::Analysis a = ink::analyseWalls(view, kPlanDpi);
            walls = std::make_shared<const ink::WallMap>(std::move(a.map));
        }
        report("+ ink analysis (map held)", window, *f);
        // Every other whole-image step, one after the other, as a long
        // editing session would run them.
        auto click = [&](const char* button, const char* step) {
            select(*f, 0, 0, 0, 0);
            clickButton(*f, button);
            untilIdle(*f);
            report(step, window, *f);
        };
        auto undo = [&] {
            pressKey(*f, Qt::Key_Z, Qt::ControlModifier);
            untilIdle(*f);
            report("+ Ctrl+Z", window, *f);
        };
        click("btnContlast", "+ contrast");
        click("btnRGB", "+ 下絵作成処理");
        undo();
        click("btnGomiFix", "+ 下絵を取る");
        undo();
        f->FillAtPoint(3400, 4100);
        untilIdle(*f);
        report("+ click fill", window, *f);
        undo();
        click("Command12", "+ grey scale");
        click("Command4", "+ sharpen");
        click("Command5", "+ denoise");
        click("Command9", "+ blur");
        click("Command11", "+ antialias");
        click("Command8", "+ mosaic");
        f->cmbRotate->setText(QStringLiteral("90"));
        click("btnRoteteAndTurn(0)", "+ turn 90");
        click("Command13(1)", "+ fine turn");
        f->mnuEditDeskew->trigger();
        untilIdle(*f);
        report("+ 傾き補正", window, *f);
        undo();
    }
    std::printf("PEAK %.1f BASE %.1f\n", std::max(highestPeak, statusMb("VmHWM")), window);
    return 0;
}

namespace {

// Runs one child and prints its steps and its peak against the target;
// the peak in MB, or -1 when the child failed.
double runChild(const Context& c, const QString& program, bool effectFirst)
{
    const double image = c.planImage.sizeInBytes() / 1e6;
    const double target = 3 * image + 60;
    std::printf(" %s:\n", effectFirst ? "effect first, then keypad 5" : "keypad 5 first, then an effect");
    std::fflush(stdout);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList args{QStringLiteral("--peak"), c.planBmp};
    if (effectFirst)
        args << QStringLiteral("--effect-first");
    child.start(program, args);
    if (!child.waitForFinished(300000) || child.exitCode() != 0) {
        std::printf("  the child process failed: %s\n", child.readAllStandardOutput().constData());
        return -1;
    }
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
    double peak = -1, base = 0;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("PEAK "))) {
            const QStringList parts = line.split(QLatin1Char(' '));
            peak = parts.value(1).toDouble();
            base = parts.value(3).toDouble();
        } else {
            std::printf("%s\n", qPrintable(line));
        }
    }
    std::printf("  %-28s      %6.1f MB  target <= 3 x %.1f + 60 = %.1f MB  %s\n", "peak resident memory", peak, image,
                target, peak <= target ? "ok" : "MISS");
    std::printf("  %-28s      %6.1f MB  (%.1f images)\n", "above the window alone", peak - base,
                (peak - base) / image);
    std::fflush(stdout);
    return peak;
}

} // namespace

bool reportPeakMemory(const Context& c, const QString& program)
{
    std::printf("\nPeak memory, editor with the plan open (a fresh process each; one image is %.1f MB)\n",
                c.planImage.sizeInBytes() / 1e6);
    const bool usual = runChild(c, program, false) > 0;
    const bool other = runChild(c, program, true) > 0;
    return usual && other;
}

} // namespace bench
