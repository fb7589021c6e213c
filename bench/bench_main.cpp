// Times file reading and writing, every image operation, the canvas and the
// editor's own commands on a synthetic A3 plan scanned at 400 dpi
// (4677 x 6614 pixels). Each row runs once untimed, then N times, and prints
// our median time, the median time of the same work done by OpenCV, Qt or
// memcpy in the same run ("ref"), the ratio ours / ref and the row's target
// with "ok" or "MISS"; rows without a reference leave those columns blank.
// The rows that work on the whole plan are timed again on an A2 plan (twice
// the pixels) to show how they grow with size.
// A last section reports the peak memory of the editor with the plan open,
// measured in fresh processes.
// Speed is measured here, never asserted.
//
//   zorvat_bench [--runs N] [--filter TEXT] [--no-a2]
//   zorvat_bench --peak PLAN.bmp [--effect-first]   (a child process of the memory section)
#include "bench.h"
#include "imaging/io/gf5file.h"
#include "imaging/store/allocator.h"
#include "imaging/store/bufferpool.h"
#include "imaging/store/imagestore.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTransform>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace bench {

using gf5::ImageStore;

std::vector<Case>& registry()
{
    static std::vector<Case> cases;
    return cases;
}

namespace {
std::vector<std::function<void()>>& exitHooks()
{
    static std::vector<std::function<void()>> hooks;
    return hooks;
}
} // namespace

void atExit(std::function<void()> fn) { exitHooks().push_back(std::move(fn)); }

QImage& Context::scratch() const
{
    if (m_scratch.isNull())
        m_scratch = planImage.copy();
    return m_scratch;
}

int32_t Context::scratchHandle() const
{
    if (!ImageStore::get(m_scratchHandle)) {
        m_scratchHandle = ImageStore::add(planImage.copy());
        atExit([h = m_scratchHandle] { ImageStore::release(h); });
    }
    return m_scratchHandle;
}

} // namespace bench

namespace {

using namespace bench;
using gf5::Gf5File;
using gf5::ImageStore;

// White paper, black walls, grey room names, a pale colour tint and specks.
QImage makePlan()
{
    QImage img(kPlanWidth, kPlanHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(qRound(kPlanDpi / 0.0254));
    img.setDotsPerMeterY(qRound(kPlanDpi / 0.0254));
    QPainter p(&img);
    p.fillRect(QRect(600, 700, 2400, 1800), QColor(235, 245, 230)); // tint
    p.fillRect(QRect(2600, 3200, 1500, 2200), QColor(245, 235, 240));
    p.setPen(QPen(Qt::black, 40, Qt::SolidLine, Qt::SquareCap));
    p.drawRect(400, 500, 3900, 5600);
    for (int i = 1; i < 5; ++i) {
        p.drawLine(400, 500 + i * 1120, 4300, 500 + i * 1120);
        p.drawLine(400 + i * 780, 500, 400 + i * 780, 6100);
    }
    p.setPen(QPen(Qt::black, 8));
    p.drawLine(500, 600, 4200, 6000); // a slanted line
    p.drawArc(1000, 1000, 800, 800, 0, 90 * 16);
    p.setPen(QColor(90, 90, 90));
    QFont font;
    font.setPixelSize(90);
    p.setFont(font);
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 5; ++col)
            p.drawText(QRect(450 + col * 780, 550 + row * 1120, 700, 300), Qt::AlignCenter,
                       QStringLiteral("洋室 %1").arg(row * 5 + col + 1));
    p.end();
    QRandomGenerator rng(42);
    for (int i = 0; i < 30000; ++i) {
        const int x = rng.bounded(kPlanWidth - 2), y = rng.bounded(kPlanHeight - 2);
        const int v = rng.bounded(160);
        for (int dy = 0; dy < 1 + (i % 2); ++dy)
            reinterpret_cast<QRgb*>(img.scanLine(y + dy))[x] = qRgb(v, v, v);
    }
    return img;
}

// A2: two A3 plans turned on their side, one above the other.
QImage makeA2Plan(const QImage& a3)
{
    const QImage turned = a3.transformed(QTransform().rotate(90));
    QImage img(kA2Width, kA2Height, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(a3.dotsPerMeterX());
    img.setDotsPerMeterY(a3.dotsPerMeterY());
    QPainter p(&img);
    p.drawImage(0, 0, turned);
    p.drawImage(0, kA2Height - turned.height(), turned);
    return img;
}

// The plan in the store and its JPEG and BMP files in folder; false when a
// file cannot be written.
bool prepareContext(Context& ctx, const QImage& plan, const QString& folder)
{
    QDir().mkpath(folder);
    ctx.planImage = plan;
    ctx.plan = ImageStore::add(ctx.planImage);
    ctx.folder = folder;
    ctx.planJpeg = folder + "/plan.jpg";
    ctx.planBmp = folder + "/plan.bmp";
    for (const auto& [name, op] : {std::pair{ctx.planJpeg, Gf5File::WriteJpeg}, std::pair{ctx.planBmp, Gf5File::WriteBmp}}) {
        Gf5File f;
        f.ImageHandle = ctx.plan;
        f.FileName = name;
        f.FileOperation = op;
        f.JpegQuality = 75;
        if (!f.Execute()) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(name), qPrintable(f.LastError));
            return false;
        }
    }
    return true;
}

struct Timing {
    std::vector<double> ms;
    bool ok = true;
    double median() const
    {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() / 2];
    }
};

// One timed run of fn; its image, if any, is released untimed.
void timeRun(const Fn& fn, const Context& ctx, Timing& t)
{
    if (!t.ok)
        return;
    QElapsedTimer timer;
    timer.start();
    const Outcome out = fn(ctx);
    const double wall = timer.nsecsElapsed() / 1e6;
    t.ms.push_back(out.ms >= 0 ? out.ms : wall);
    ImageStore::release(out.made);
    t.ok = out.ok;
}

// Each row starts from the same state whatever ran before it: no buffers
// kept for reuse (an earlier row's larger images would keep the pool from
// taking this row's), then one untimed run of each side. Ours and the
// reference then take turns, so that both meet the same load from whatever
// else runs on the machine.
void measure(const Case& c, const Context& ctx, int runs, Timing& ours, Timing& reference)
{
    gf5::BufferPool::trim();
    Timing warmOurs, warmReference;
    timeRun(c.run, ctx, warmOurs);
    if (c.reference)
        timeRun(c.reference, ctx, warmReference);
    for (int i = 0; i < runs; ++i) {
        timeRun(c.run, ctx, ours);
        if (c.reference)
            timeRun(c.reference, ctx, reference);
    }
}

// Columns on a terminal: East Asian characters take two.
int columns(const QString& s)
{
    int n = 0;
    for (const QChar ch : s)
        n += ch.unicode() >= 0x1100 ? 2 : 1;
    return n;
}

constexpr int kNameColumns = 84;

void printHeader()
{
    std::printf("%-*s %9s %9s %7s  %-10s\n", kNameColumns, "operation", "ours ms", "ref ms", "ratio", "target");
}

void printRow(const Case& c, const Timing& ours, const Timing* reference)
{
    QString name = c.name;
    name += QString(std::max(0, kNameColumns - columns(name)), QLatin1Char(' '));
    QString ref, ratio, target, verdict;
    double r = 0;
    if (reference) {
        r = ours.median() / std::max(reference->median(), 1e-6);
        ref = QString::number(reference->median(), 'f', 1);
        ratio = QString::number(r, 'f', 2) + "x";
    }
    if (c.target.ratio > 0 && reference) {
        target = QStringLiteral("<= %1x").arg(c.target.ratio, 0, 'f', 1);
        verdict = r <= c.target.ratio ? "ok" : "MISS";
    } else if (c.target.ms > 0) {
        target = QStringLiteral("<= %1 ms").arg(c.target.ms, 0, 'f', 0);
        verdict = ours.median() <= c.target.ms ? "ok" : "MISS";
    }
    const bool failed = !ours.ok || (reference && !reference->ok);
    std::printf("%s %9.1f %9s %7s  %-10s %s%s\n", qPrintable(name), ours.median(), qPrintable(ref), qPrintable(ratio),
                qPrintable(target), qPrintable(verdict), failed ? "  FAILED" : "");
    std::fflush(stdout);
}

// The bench never touches the user's own settings, recovery copies or parts.
void isolateUserFolders(const QString& root)
{
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString dir = root + "/" + QString::fromLatin1(var).toLower();
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(var, dir.toLocal8Bit());
    }
}

// The offscreen platform cannot raise the progress window; that warning
// would cut through the table at every effect that shows it.
QtMessageHandler standardMessages = nullptr;

void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("does not support raise()")))
        return;
    if (standardMessages)
        standardMessages(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    // The allocator set up as the program sets it up.
    gf5::memory::returnLargeBlocksToSystem();
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir home;
    if (home.isValid())
        isolateUserFolders(home.path());
    standardMessages = qInstallMessageHandler(quietMessages);
    QApplication app(argc, argv);
    QImageReader::setAllocationLimit(0);
    QStandardPaths::setTestModeEnabled(true);

    int runs = 5;
    QString filter;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--runs" && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == "--filter" && i + 1 < args.size())
            filter = args[++i];
        else if (args[i] == "--peak" && i + 1 < args.size())
            return peakMemoryChild(args[i + 1], args.contains(QStringLiteral("--effect-first")));
    }

    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "no scratch folder\n");
        return 1;
    }
    QElapsedTimer prep;
    prep.start();
    Context ctx;
    if (!prepareContext(ctx, makePlan(), folder.path()))
        return 1;
    std::printf("Plan %d x %d at %d dpi (%.1f Mpixels), prepared in %.0f ms; medians of %d runs.\n"
                "ref: the same work done by the library named in the row, in the same run; ratio: ours / ref.\n\n",
                kPlanWidth, kPlanHeight, kPlanDpi, kPlanWidth * double(kPlanHeight) / 1e6, prep.nsecsElapsed() / 1e6,
                runs);
    printHeader();

    std::vector<Case> cases = imagingCases();
    for (const Case& c : registry())
        cases.push_back(c);
    bool allOk = true;
    std::vector<std::pair<const Case*, double>> grows; // whole-image rows and their A3 median
    for (const Case& c : cases) {
        if (!filter.isEmpty() && !c.name.contains(filter, Qt::CaseInsensitive))
            continue;
        Timing ours, reference;
        measure(c, ctx, runs, ours, reference);
        allOk = allOk && ours.ok && reference.ok;
        printRow(c, ours, c.reference ? &reference : nullptr);
        if (c.wholeImage && ours.ok)
            grows.emplace_back(&c, ours.median());
    }
    if (!grows.empty() && !args.contains(QStringLiteral("--no-a2"))) {
        // The same whole-image steps on an A2 plan (twice the pixels): growth
        // with size, expected linear.
        Context a2;
        a2.name = QStringLiteral("A2");
        if (!prepareContext(a2, makeA2Plan(ctx.planImage), folder.path() + "/a2"))
            return 1;
        std::printf("\nA2 plan %d x %d (%.2f x the pixels): our median on A2, on A3 and the growth\n", kA2Width,
                    kA2Height, double(kA2Width) * kA2Height / (double(kPlanWidth) * kPlanHeight));
        for (const auto& [c, a3ms] : grows) {
            Timing ours, none;
            Case alone = *c;
            alone.reference = {};
            measure(alone, a2, runs, ours, none);
            allOk = allOk && ours.ok;
            QString name = c->name;
            name += QString(std::max(0, kNameColumns - columns(name)), QLatin1Char(' '));
            std::printf("%s %9.1f %9.1f %6.2fx%s\n", qPrintable(name), ours.median(), a3ms,
                        ours.median() / std::max(a3ms, 1e-6), ours.ok ? "" : "  FAILED");
            std::fflush(stdout);
        }
        gf5::BufferPool::trim();
        ImageStore::release(a2.plan);
    }
    if (filter.isEmpty() || QStringLiteral("peak memory").contains(filter, Qt::CaseInsensitive))
        allOk = reportPeakMemory(ctx, app.applicationFilePath()) && allOk;
    for (const auto& hook : exitHooks())
        hook();
    ImageStore::release(ctx.plan);
    return allOk ? 0 : 2;
}
