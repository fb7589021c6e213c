// The image operations on the plan, as the editor runs them through the
// effect control, each beside the same work done by OpenCV, Qt or memcpy
// where a library does that work.
#include "bench.h"
#include "reference.h"
#include "imaging/effects/effectcore.h"
#include "imaging/effects/gf5effect.h"
#include "imaging/io/gf5file.h"
#include "imaging/store/imagestore.h"
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace bench {

namespace {

using gf5::Gf5Effect;
using gf5::Gf5File;
using gf5::ImageStore;

Outcome effectOutcome(Gf5Effect& fx, int32_t ok) { return Outcome{ok != 0, ok ? fx.ResultImage : 0}; }

// Runs fn on a fresh effect control whose source is the plan.
template <class F>
Fn onPlan(F fn)
{
    return [fn](const Context& c) {
        Gf5Effect fx;
        fx.SourceImage = c.plan;
        fx.AreaMode = 1;
        fx.ReportProgress = true; // as the editor runs them, with notifications
        return effectOutcome(fx, fn(fx));
    };
}

// cv::LUT in place on the scratch copy, through table.
Fn lutReference(cv::Mat table)
{
    return [table](const Context& c) { return ref::lutInPlace(c.scratch(), table); };
}

Fn memcpyReference()
{
    return [](const Context& c) { return ref::copyBytes(c.planImage, c.scratch()); };
}

// Grey and back to four channels, as our grey keeps four: two cvtColor
// passes into buffers that exist.
Outcome greyReference(const Context& c)
{
    static cv::Mat grey;
    cv::Mat out = gf5::fx::viewOf(c.scratch());
    cv::cvtColor(gf5::fx::constViewOf(c.planImage), grey, cv::COLOR_BGRA2GRAY);
    cv::cvtColor(grey, out, cv::COLOR_GRAY2BGRA);
    return Outcome{out.data == c.scratch().constBits(), 0};
}

// Mosaic by OpenCV: the whole blocks averaged to the block grid by an
// integer-factor area resize, then spread back by nearest neighbour.
Outcome mosaicCvReference(const Context& c)
{
    static cv::Mat grid;
    const int bw = 10, bh = 10;
    const cv::Rect whole(0, 0, c.planImage.width() / bw * bw, c.planImage.height() / bh * bh);
    cv::resize(gf5::fx::constViewOf(c.planImage)(whole), grid, cv::Size(whole.width / bw, whole.height / bh), 0, 0,
               cv::INTER_AREA);
    cv::Mat out = gf5::fx::viewOf(c.scratch())(whole);
    cv::resize(grid, out, out.size(), 0, 0, cv::INTER_NEAREST);
    return Outcome{true, 0};
}

// Mosaic by Qt: smooth scaling to the block grid, then drawn back unsmoothed
// over the whole image.
Outcome mosaicQtReference(const Context& c)
{
    const QSize grid((c.planImage.width() + 9) / 10, (c.planImage.height() + 9) / 10);
    const QImage small = c.planImage.scaled(grid, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter p(&c.scratch());
    p.drawImage(QRect(0, 0, grid.width() * 10, grid.height() * 10), small);
    return Outcome{!small.isNull(), 0};
}

// A transparent copy of the plan, as another program may put a picture on
// the clipboard.
const QImage& transparentPlan(const Context& c)
{
    static const QImage img = [&] {
        QImage out = c.planImage.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < out.height(); y += 2) {
            auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); x += 2)
                row[x] &= 0x80FFFFFFu;
        }
        return out;
    }();
    return img;
}

} // namespace

Outcome writePlan(const Context& c, const char* name, int16_t operation)
{
    Gf5File f;
    f.ImageHandle = c.plan;
    f.FileName = c.folder + "/" + name;
    f.FileOperation = operation;
    f.JpegQuality = 75;
    return Outcome{f.Execute() != 0, 0};
}

Outcome readFile(const QString& path)
{
    Gf5File f;
    f.FileName = path;
    f.FileOperation = Gf5File::Read;
    const bool ok = f.Execute();
    return Outcome{ok, ok ? f.ImageHandle : 0};
}

std::vector<Case> imagingCases()
{
    static const int32_t none[6] = {0, 0, 0, 0, 0, 0};
    static const int32_t selX[6] = {1000, 3700, 3700, 1000}, selY[6] = {1500, 1500, 5100, 5100};
    static const int32_t underIn[5] = {0, 64, 128, 192, 255}, underOut[5] = {80, 100, 160, 192, 255};
    static const int32_t contIn[5] = {0, 64, 128, 192, 255}, contOut[5] = {0, 64, 128, 215, 255};
    static const int32_t whiteIn[6] = {0, 64, 128, 210, 220, 255}, whiteOut[6] = {0, 64, 128, 210, 255, 255};
    static const int32_t brightIn[2] = {0, 247}, brightOut[2] = {8, 255};
    const int w = kPlanWidth, h = kPlanHeight;

    std::vector<Case> cases;
    auto add = [&](const char* name, Fn fn, Fn reference = {}, Target target = {}) {
        cases.push_back({QString::fromUtf8(name), std::move(fn), std::move(reference), target});
    };

    add("JPEG write (quality 75)", [](const Context& c) { return writePlan(c, "write.jpg", Gf5File::WriteJpeg); });
    add("JPEG read", [](const Context& c) { return readFile(c.planJpeg); });
    add("BMP write", [](const Context& c) { return writePlan(c, "write.bmp", Gf5File::WriteBmp); });
    add("BMP read", [](const Context& c) { return readFile(c.planBmp); });
    add("undo snapshot, new image (Duplicate) (ref: memcpy)", onPlan([](Gf5Effect& fx) { return fx.Duplicate(); }),
        memcpyReference(), ratioAtMost(1.5));
    add("undo snapshot into the last one (ref: memcpy)",
        [](const Context& c) {
            static int32_t last = 0;
            if (!ImageStore::get(last)) {
                Gf5Effect fx;
                fx.SourceImage = c.plan;
                last = fx.Duplicate() ? fx.ResultImage : 0;
                atExit([] { ImageStore::release(last); });
            }
            QElapsedTimer timer;
            timer.start();
            const bool ok = ImageStore::copyPixels(c.plan, last);
            return Outcome{ok, 0, timer.nsecsElapsed() / 1e6};
        },
        memcpyReference(), ratioAtMost(1.5));
    add("Antialias", onPlan([](Gf5Effect& fx) { return fx.Antialias(none, none, 4); }));
    add("Sharpen 2", onPlan([](Gf5Effect& fx) { return fx.Sharpen(none, none, 4, 2); }));
    add("Denoise 0, 100", onPlan([](Gf5Effect& fx) { return fx.Denoise(none, none, 4, 0, 100); }));
    add("Mosaic 10 x 10 (ref: Qt smooth to grid, drawn back)",
        onPlan([](Gf5Effect& fx) { return fx.Mosaic(none, none, 4, 10, 10); }), mosaicQtReference, ratioAtMost(1.2));
    add("Mosaic 10 x 10 (ref: cv INTER_AREA to grid, NEAREST back)",
        onPlan([](Gf5Effect& fx) { return fx.Mosaic(none, none, 4, 10, 10); }), mosaicCvReference, ratioAtMost(1.2));
    add("Blur 1", onPlan([](Gf5Effect& fx) { return fx.Blur(none, none, 4, 1); }));
    add("grey scale, Saturation -100 (ref: cvtColor to grey and back)",
        onPlan([](Gf5Effect& fx) { return fx.Saturation(none, none, 4, -100); }), greyReference, ratioAtMost(1.5));
    add("Brightness +8 (ref: cv::LUT in place)", onPlan([](Gf5Effect& fx) { return fx.Brightness(none, none, 4, 8, 0, 0); }),
        lutReference(ref::curveTable(brightIn, brightOut, 2)), ratioAtMost(1.5));
    add("Brightness +8, selection", onPlan([](Gf5Effect& fx) {
        fx.AreaMode = 2;
        return fx.Brightness(selX, selY, 4, 8, 0, 0);
    }));
    add("ToneCurve underlay, green (ref: cv::LUT in place)",
        onPlan([](Gf5Effect& fx) { return fx.ToneCurve(none, none, 4, underIn, underOut, 5, 0, 1, 0); }),
        lutReference(ref::curveTable(underIn, underOut, 5)), ratioAtMost(1.5));
    add("ToneCurve contrast (ref: cv::LUT in place)",
        onPlan([](Gf5Effect& fx) { return fx.ToneCurve(none, none, 4, contIn, contOut, 5, 1, 1, 1); }),
        lutReference(ref::curveTable(contIn, contOut, 5)), ratioAtMost(1.5));
    add("ToneCurve widen white, selection", onPlan([](Gf5Effect& fx) {
        fx.AreaMode = 2;
        return fx.ToneCurve(selX, selY, 4, whiteIn, whiteOut, 6, 1, 1, 1);
    }));
    add("CutOutRegion, selection", onPlan([](Gf5Effect& fx) {
        fx.AreaMode = 2;
        return fx.CutOutRegion(selX, selY, 4, 255, 255, 255);
    }));
    add("CutOutRegion, whole image", onPlan([](Gf5Effect& fx) { return fx.CutOutRegion(none, none, 0, 255, 255, 255); }));
    add("CreateImage A3 white", onPlan([](Gf5Effect& fx) { return fx.CreateImage(kPlanWidth, kPlanHeight, 24, 255, 255, 255); }));
    add("ConvertBitDepth 24", onPlan([](Gf5Effect& fx) { return fx.ConvertBitDepth(24, 0, 0, 0); }));
    add("ConvertBitDepth 8", onPlan([](Gf5Effect& fx) { return fx.ConvertBitDepth(8, 0, 0, 0); }));
    add("Rotate 90 (ref: cv::rotate)", onPlan([](Gf5Effect& fx) { return fx.Rotate(9000, 0, 0, -1, 255, 255, 255, 0); }),
        [](const Context& c) {
            static cv::Mat turned;
            cv::rotate(gf5::fx::constViewOf(c.planImage), turned, cv::ROTATE_90_COUNTERCLOCKWISE);
            return Outcome{!turned.empty(), 0};
        });
    add("Rotate 0.4 (fine)", onPlan([](Gf5Effect& fx) { return fx.Rotate(40, 0, 0, -1, 255, 255, 255, 0); }));
    add("Rotate 45", onPlan([](Gf5Effect& fx) { return fx.Rotate(4500, 0, 0, -1, 255, 255, 255, 0); }));
    add("Mirror left-right (ref: cv::flip)", onPlan([](Gf5Effect& fx) { return fx.Rotate(0, 1, 0, -1, 255, 255, 255, 0); }),
        [](const Context& c) {
            cv::Mat out = gf5::fx::viewOf(c.scratch());
            cv::flip(gf5::fx::constViewOf(c.planImage), out, 1);
            return Outcome{true, 0};
        });
    add("Resize to 600 long side (ref: Qt smooth)", onPlan([](Gf5Effect& fx) { return fx.Resize(424, 600, -1); }),
        [](const Context& c) { return ref::qtSmooth(c.planImage, QSize(424, 600)); }, ratioAtMost(1.3));
    add("Resize x 1.5", onPlan([w, h](Gf5Effect& fx) { return fx.Resize(w * 3 / 2, h * 3 / 2, -1); }));
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
    // Within one process the clipboard hands back the very image it was
    // given, so a plain copy and paste costs nothing; what the paste does
    // itself is bring another program's picture to the canvas's format,
    // here a half-transparent one laid on white.
    add("Clipboard paste, transparent picture to RGB32", [](const Context& c) {
        const QImage& picture = transparentPlan(c);
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard->image().cacheKey() != picture.cacheKey())
            clipboard->setImage(picture);
        Gf5Effect fx;
        QElapsedTimer timer;
        timer.start();
        Outcome out = effectOutcome(fx, fx.GetClipboardImage());
        out.ms = timer.nsecsElapsed() / 1e6;
        return out;
    });
    return cases;
}

} // namespace bench
