// Times file reading and writing and every image operation on a synthetic
// A3 plan scanned at 400 dpi (4677 x 6614 pixels) and prints median times.
// Speed is measured here, never asserted.
//
//   zorvat_bench [--runs N] [--filter TEXT]
#include "bench.h"
#include "imaging/effects/gf5effect.h"
#include "imaging/io/gf5file.h"
#include "imaging/store/imagestore.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace bench {

std::vector<Case>& registry()
{
    static std::vector<Case> cases;
    return cases;
}

} // namespace bench

namespace {

using bench::Context;
using bench::Outcome;
using gf5::Gf5Effect;
using gf5::Gf5File;
using gf5::ImageStore;

constexpr int kWidth = 4677, kHeight = 6614, kDpi = 400;

// White paper, black walls, grey room names, a pale colour tint and specks.
QImage makePlan()
{
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(qRound(kDpi / 0.0254));
    img.setDotsPerMeterY(qRound(kDpi / 0.0254));
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
        const int x = rng.bounded(kWidth - 2), y = rng.bounded(kHeight - 2);
        const int v = rng.bounded(160);
        for (int dy = 0; dy < 1 + (i % 2); ++dy)
            reinterpret_cast<QRgb*>(img.scanLine(y + dy))[x] = qRgb(v, v, v);
    }
    return img;
}

Outcome effectOutcome(Gf5Effect& fx, int32_t ok) { return Outcome{ok != 0, ok ? fx.ResultImage : 0}; }

// Runs fn on a fresh effect control whose source is the plan.
template <class F>
bench::Fn onPlan(F fn)
{
    return [fn](const Context& c) {
        Gf5Effect fx;
        fx.SourceImage = c.plan;
        fx.AreaMode = 1;
        fx.ReportProgress = true; // as the editor runs them, with notifications
        return effectOutcome(fx, fn(fx));
    };
}

std::vector<bench::Case> builtInCases()
{
    static const int32_t none[6] = {0, 0, 0, 0, 0, 0};
    static const int32_t selX[6] = {1000, 3700, 3700, 1000}, selY[6] = {1500, 1500, 5100, 5100};
    static const int32_t underIn[5] = {0, 64, 128, 192, 255}, underOut[5] = {80, 100, 160, 192, 255};
    static const int32_t contIn[5] = {0, 64, 128, 192, 255}, contOut[5] = {0, 64, 128, 215, 255};
    static const int32_t whiteIn[6] = {0, 64, 128, 210, 220, 255}, whiteOut[6] = {0, 64, 128, 210, 255, 255};

    std::vector<bench::Case> cases;
    auto add = [&](const char* name, bench::Fn fn) { cases.push_back({QString::fromUtf8(name), std::move(fn)}); };

    add("JPEG write (quality 75)", [](const Context& c) {
        Gf5File f;
        f.ImageHandle = c.plan;
        f.FileName = c.folder + "/write.jpg";
        f.FileOperation = Gf5File::WriteJpeg;
        f.JpegQuality = 75;
        return Outcome{f.Execute() != 0, 0};
    });
    add("JPEG read", [](const Context& c) {
        Gf5File f;
        f.FileName = c.planJpeg;
        f.FileOperation = Gf5File::Read;
        const bool ok = f.Execute();
        return Outcome{ok, ok ? f.ImageHandle : 0};
    });
    add("BMP write", [](const Context& c) {
        Gf5File f;
        f.ImageHandle = c.plan;
        f.FileName = c.folder + "/write.bmp";
        f.FileOperation = Gf5File::WriteBmp;
        return Outcome{f.Execute() != 0, 0};
    });
    add("BMP read", [](const Context& c) {
        Gf5File f;
        f.FileName = c.planBmp;
        f.FileOperation = Gf5File::Read;
        const bool ok = f.Execute();
        return Outcome{ok, ok ? f.ImageHandle : 0};
    });
    add("Duplicate (undo snapshot)", onPlan([](Gf5Effect& fx) { return fx.Duplicate(); }));
    add("Antialias", onPlan([](Gf5Effect& fx) { return fx.Antialias(none, none, 4); }));
    add("Sharpen 2", onPlan([](Gf5Effect& fx) { return fx.Sharpen(none, none, 4, 2); }));
    add("Denoise 0, 100", onPlan([](Gf5Effect& fx) { return fx.Denoise(none, none, 4, 0, 100); }));
    add("Mosaic 10 x 10", onPlan([](Gf5Effect& fx) { return fx.Mosaic(none, none, 4, 10, 10); }));
    add("Blur 1", onPlan([](Gf5Effect& fx) { return fx.Blur(none, none, 4, 1); }));
    add("Saturation -100 (grey scale)", onPlan([](Gf5Effect& fx) { return fx.Saturation(none, none, 4, -100); }));
    add("Brightness +8", onPlan([](Gf5Effect& fx) { return fx.Brightness(none, none, 4, 8, 0, 0); }));
    add("Brightness +8, selection", onPlan([](Gf5Effect& fx) {
        fx.AreaMode = 2;
        return fx.Brightness(selX, selY, 4, 8, 0, 0);
    }));
    add("ToneCurve underlay (green)",
        onPlan([](Gf5Effect& fx) { return fx.ToneCurve(none, none, 4, underIn, underOut, 5, 0, 1, 0); }));
    add("ToneCurve contrast", onPlan([](Gf5Effect& fx) { return fx.ToneCurve(none, none, 4, contIn, contOut, 5, 1, 1, 1); }));
    add("ToneCurve widen white, selection", onPlan([](Gf5Effect& fx) {
        fx.AreaMode = 2;
        return fx.ToneCurve(selX, selY, 4, whiteIn, whiteOut, 6, 1, 1, 1);
    }));
    add("CutOutRegion, selection", onPlan([](Gf5Effect& fx) {
        fx.AreaMode = 2;
        return fx.CutOutRegion(selX, selY, 4, 255, 255, 255);
    }));
    add("CutOutRegion, whole image", onPlan([](Gf5Effect& fx) { return fx.CutOutRegion(none, none, 0, 255, 255, 255); }));
    add("CreateImage A3 white", onPlan([](Gf5Effect& fx) { return fx.CreateImage(kWidth, kHeight, 24, 255, 255, 255); }));
    add("ConvertBitDepth 24", onPlan([](Gf5Effect& fx) { return fx.ConvertBitDepth(24, 0, 0, 0); }));
    add("ConvertBitDepth 8", onPlan([](Gf5Effect& fx) { return fx.ConvertBitDepth(8, 0, 0, 0); }));
    add("Rotate 90", onPlan([](Gf5Effect& fx) { return fx.Rotate(9000, 0, 0, -1, 255, 255, 255, 0); }));
    add("Rotate 0.4 (fine)", onPlan([](Gf5Effect& fx) { return fx.Rotate(40, 0, 0, -1, 255, 255, 255, 0); }));
    add("Rotate 45", onPlan([](Gf5Effect& fx) { return fx.Rotate(4500, 0, 0, -1, 255, 255, 255, 0); }));
    add("Mirror left-right", onPlan([](Gf5Effect& fx) { return fx.Rotate(0, 1, 0, -1, 255, 255, 255, 0); }));
    add("Resize to 600 long side", onPlan([](Gf5Effect& fx) { return fx.Resize(424, 600, -1); }));
    add("Resize x 1.5", onPlan([](Gf5Effect& fx) { return fx.Resize(kWidth * 3 / 2, kHeight * 3 / 2, -1); }));
    add("OverlayWithKey 2700 x 3600", [](const Context& c) {
        Gf5Effect fx;
        fx.SourceImage = c.plan;
        fx.AreaMode = 2;
        if (!fx.CutOutRegion(selX, selY, 4, 255, 255, 255))
            return Outcome{};
        const int32_t piece = fx.ResultImage;
        const int32_t ok = fx.OverlayWithKey(c.plan, piece, 255, 255, 255, 255, 255, 255, 255, 1200, 1700, 0);
        ImageStore::release(piece);
        return effectOutcome(fx, ok);
    });
    add("Clipboard copy and paste", [](const Context& c) {
        Gf5Effect fx;
        fx.SourceImage = c.plan;
        if (!fx.CopySourceToClipboard())
            return Outcome{};
        return effectOutcome(fx, fx.GetClipboardImage());
    });
    return cases;
}

struct Timing {
    double median = 0, best = 0;
    bool ok = true;
};

Timing timeCase(const bench::Case& c, const Context& ctx, int runs)
{
    std::vector<double> ms;
    Timing t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const Outcome out = c.run(ctx);
        ms.push_back(timer.nsecsElapsed() / 1e6);
        ImageStore::release(out.made);
        if (!out.ok) {
            t.ok = false;
            break;
        }
    }
    std::sort(ms.begin(), ms.end());
    t.best = ms.front();
    t.median = ms[ms.size() / 2];
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QImageReader::setAllocationLimit(0);

    int runs = 5;
    QString filter;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--runs" && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else if (args[i] == "--filter" && i + 1 < args.size())
            filter = args[++i];
    }

    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "no scratch folder\n");
        return 1;
    }
    QElapsedTimer prep;
    prep.start();
    Context ctx;
    ctx.planImage = makePlan();
    ctx.plan = ImageStore::add(ctx.planImage);
    ctx.folder = folder.path();
    ctx.planJpeg = folder.filePath("plan.jpg");
    ctx.planBmp = folder.filePath("plan.bmp");
    for (const auto& [name, op] : {std::pair{ctx.planJpeg, Gf5File::WriteJpeg}, std::pair{ctx.planBmp, Gf5File::WriteBmp}}) {
        Gf5File f;
        f.ImageHandle = ctx.plan;
        f.FileName = name;
        f.FileOperation = op;
        f.JpegQuality = 75;
        if (!f.Execute()) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(name), qPrintable(f.LastError));
            return 1;
        }
    }
    std::printf("Plan %d x %d at %d dpi (%.1f Mpixels), prepared in %.0f ms; median and best of %d runs\n\n",
                kWidth, kHeight, kDpi, kWidth * double(kHeight) / 1e6, prep.nsecsElapsed() / 1e6, runs);
    std::printf("%-36s %10s %10s\n", "operation", "median ms", "best ms");

    std::vector<bench::Case> cases = builtInCases();
    for (const bench::Case& c : bench::registry())
        cases.push_back(c);
    bool allOk = true;
    for (const bench::Case& c : cases) {
        if (!filter.isEmpty() && !c.name.contains(filter, Qt::CaseInsensitive))
            continue;
        const Timing t = timeCase(c, ctx, runs);
        allOk = allOk && t.ok;
        std::printf("%-36s %10.1f %10.1f%s\n", qPrintable(c.name), t.median, t.best, t.ok ? "" : "  FAILED");
        std::fflush(stdout);
    }
    ImageStore::release(ctx.plan);
    return allOk ? 0 : 2;
}
