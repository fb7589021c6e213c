// The image operations on the plan, as the editor runs them through the
// effect control, each beside the same work done by OpenCV, Qt or memcpy
// where a library does that work.
#include "bench.h"
#include "reference.h"
#include "imaging/effects/effectcore.h"
#include "imaging/effects/gf5effect.h"
#include "imaging/io/gf5file.h"
#include "imaging/store/bufferpool.h"
#include "imaging/store/imagestore.h"
#include "reference_files.h"
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>
#include <cstring>
#include <memory>
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

// fn on a fresh effect control whose source is the store's scratch copy of
// the plan, changed in place; the plan's pixels are put back first, untimed.
template <class F>
Fn inPlace(F fn)
{
    return [fn](const Context& c) {
        const int32_t h = c.scratchHandle();
        ImageStore::copyPixels(c.plan, h);
        Gf5Effect fx;
        fx.SourceImage = h;
        fx.AreaMode = 1;
        fx.InPlace = true;
        fx.ReportProgress = true;
        QElapsedTimer timer;
        timer.start();
        const bool ok = fn(fx) && fx.ResultImage == h;
        return Outcome{ok, 0, timer.nsecsElapsed() / 1e6};
    };
}

// fn(plan's view, scratch view): the reference's result into a buffer that exists.
template <class F>
Fn intoScratch(F fn)
{
    return [fn](const Context& c) {
        cv::Mat out = gf5::fx::viewOf(c.scratch());
        fn(gf5::fx::constViewOf(c.planImage), out);
        return Outcome{out.data == c.scratch().constBits(), 0};
    };
}

// fn(scratch view) in place, after the plan's pixels are put back (untimed).
template <class F>
Fn inPlaceOnScratch(F fn)
{
    return [fn](const Context& c) {
        ref::copyBytes(c.planImage, c.scratch());
        cv::Mat pixels = gf5::fx::viewOf(c.scratch());
        QElapsedTimer timer;
        timer.start();
        fn(pixels);
        return Outcome{true, 0, timer.nsecsElapsed() / 1e6};
    };
}

// Every byte through table, by cv::LUT on a one-channel view (its fast path).
void lutBytes(const cv::Mat& src, cv::Mat& dst, const cv::Mat& table)
{
    cv::Mat out = dst.reshape(1);
    cv::LUT(src.reshape(1), table, out);
}

// The green bytes alone through table, in place: a plain loop.
void lutGreenInPlace(cv::Mat& pixels, const cv::Mat& table)
{
    const uchar* t = table.ptr<uchar>();
    for (int y = 0; y < pixels.rows; ++y) {
        uchar* p = pixels.ptr<uchar>(y) + 1;
        for (int x = 0; x < pixels.cols; ++x, p += 4)
            *p = t[*p];
    }
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
// the clipboard (one per plan size).
const QImage& transparentPlan(const Context& c)
{
    static QImage img;
    if (img.size() != c.planImage.size()) {
        img = QImage();
        QImage out = c.planImage.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < out.height(); y += 2) {
            auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); x += 2)
                row[x] &= 0x80FFFFFFu;
        }
        img = out;
    }
    return img;
}

// The piece the overlay row lays on the plan: the selection cut out (made
// once per plan size, untimed).
int32_t overlayPiece(const Context& c, const int32_t* xs, const int32_t* ys)
{
    static int32_t piece = 0;
    static QSize size;
    if (!ImageStore::get(piece) || size != c.planImage.size()) {
        ImageStore::release(piece);
        Gf5Effect fx;
        fx.SourceImage = c.plan;
        fx.AreaMode = 2;
        piece = fx.CutOutRegion(xs, ys, 4, 255, 255, 255) ? fx.ResultImage : 0;
        size = c.planImage.size();
        static bool hooked = false;
        if (!hooked)
            atExit([] { ImageStore::release(piece); });
        hooked = true;
    }
    return piece;
}

// The plan turned by angle degrees into a grown buffer, bilinear, white
// where nothing was (a fresh matrix the first time, the same one after).
void warpReference(const Context& c, double angle)
{
    static cv::Mat out;
    const cv::Mat src = gf5::fx::constViewOf(c.planImage);
    const cv::Point2f centre(src.cols / 2.0f, src.rows / 2.0f);
    cv::Mat m = cv::getRotationMatrix2D(centre, angle, 1.0);
    const cv::Rect2f box = cv::RotatedRect(centre, cv::Size2f(float(src.cols), float(src.rows)), float(angle)).boundingRect2f();
    m.at<double>(0, 2) += box.width / 2.0 - centre.x;
    m.at<double>(1, 2) += box.height / 2.0 - centre.y;
    cv::warpAffine(src, out, m, cv::Size(int(std::ceil(box.width)), int(std::ceil(box.height))), cv::INTER_LINEAR,
                   cv::BORDER_CONSTANT, cv::Scalar(255, 255, 255, 255));
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
    static const cv::Rect selRect(1000, 1500, 2700, 3600);
    static const cv::Mat underTable = ref::curveTable(underIn, underOut, 5);
    static const cv::Mat contTable = ref::curveTable(contIn, contOut, 5);
    static const cv::Mat whiteTable = ref::curveTable(whiteIn, whiteOut, 6);
    static const cv::Scalar plus8(8, 8, 8, 0);

    std::vector<Case> cases;
    // whole: the row works on the whole plan and is timed again on A2.
    auto add = [&](const char* name, Fn fn, Fn reference, Target target = {}, bool whole = true) {
        cases.push_back({QString::fromUtf8(name), std::move(fn), std::move(reference), target, whole});
    };
    const bool tj = ref::haveTurboJpeg();

    add(tj ? "JPEG write, quality 75 (ref: TurboJPEG tjCompress2, same file)" : "JPEG write, quality 75 (no TurboJPEG: no ref)",
        [](const Context& c) { return writePlan(c, "write.jpg", Gf5File::WriteJpeg); },
        tj ? Fn([](const Context& c) { return ref::turboJpegWrite(c.planImage, c.folder + "/ref.jpg", 75); }) : Fn(),
        ratioAtMost(1.3));
    add(tj ? "JPEG read (ref: TurboJPEG tjDecompress2 into a buffer)" : "JPEG read (no TurboJPEG: no ref)",
        [](const Context& c) { return readFile(c.planJpeg); },
        tj ? Fn([](const Context& c) { return ref::turboJpegRead(c.planJpeg, c.scratch()); }) : Fn(), ratioAtMost(1.3));
    add("BMP write (ref: rows by cvtColor, one write)",
        [](const Context& c) { return writePlan(c, "write.bmp", Gf5File::WriteBmp); },
        [](const Context& c) { return ref::bmpWrite(c.planImage, c.folder + "/ref.bmp"); }, ratioAtMost(1.5));
    add("BMP read (ref: one read, rows by cvtColor into a buffer)", [](const Context& c) { return readFile(c.planBmp); },
        [](const Context& c) { return ref::bmpRead(c.planBmp, c.scratch()); }, ratioAtMost(1.5));
    // A new image: no buffer kept for reuse, so the copy meets fresh pages
    // as the reference's new buffer does.
    add("undo snapshot, new image (Duplicate) (ref: new buffer + memcpy)",
        [](const Context& c) {
            gf5::BufferPool::trim();
            Gf5Effect fx;
            fx.SourceImage = c.plan;
            QElapsedTimer timer;
            timer.start();
            Outcome out = effectOutcome(fx, fx.Duplicate());
            out.ms = timer.nsecsElapsed() / 1e6;
            return out;
        },
        [](const Context& c) {
            const size_t bytes = size_t(c.planImage.sizeInBytes());
            QElapsedTimer timer;
            timer.start();
            std::unique_ptr<uchar[]> fresh(new uchar[bytes]);
            std::memcpy(fresh.get(), c.planImage.constBits(), bytes);
            return Outcome{fresh[bytes - 1] == c.planImage.constBits()[bytes - 1], 0, timer.nsecsElapsed() / 1e6};
        },
        ratioAtMost(1.5));
    add("undo snapshot into the last one (ref: memcpy)",
        [](const Context& c) {
            static int32_t last = 0;
            const QImage* kept = ImageStore::image(last);
            if (!kept || kept->size() != c.planImage.size()) {
                ImageStore::release(last);
                Gf5Effect fx;
                fx.SourceImage = c.plan;
                last = fx.Duplicate() ? fx.ResultImage : 0;
                static bool hooked = false;
                if (!hooked)
                    atExit([] { ImageStore::release(last); });
                hooked = true;
            }
            QElapsedTimer timer;
            timer.start();
            const bool ok = ImageStore::copyPixels(c.plan, last);
            return Outcome{ok, 0, timer.nsecsElapsed() / 1e6};
        },
        memcpyReference(), ratioAtMost(1.5));
    add("Antialias (ref: cv::GaussianBlur 3x3)", onPlan([](Gf5Effect& fx) { return fx.Antialias(none, none, 4); }),
        intoScratch([](const cv::Mat& s, cv::Mat& d) { cv::GaussianBlur(s, d, cv::Size(3, 3), 0); }));
    add("Sharpen 2 (ref: unsharp mask, cv::GaussianBlur + cv::addWeighted)",
        onPlan([](Gf5Effect& fx) { return fx.Sharpen(none, none, 4, 2); }),
        intoScratch([](const cv::Mat& s, cv::Mat& d) {
            static cv::Mat blurred;
            cv::GaussianBlur(s, blurred, cv::Size(3, 3), 0);
            cv::addWeighted(s, 2.0, blurred, -1.0, 0, d);
        }));
    add("Denoise 0, 100 (ref: cv::medianBlur 3x3)", onPlan([](Gf5Effect& fx) { return fx.Denoise(none, none, 4, 0, 100); }),
        intoScratch([](const cv::Mat& s, cv::Mat& d) { cv::medianBlur(s, d, 3); }));
    add("Mosaic 10 x 10 (ref: Qt smooth to grid, drawn back)",
        onPlan([](Gf5Effect& fx) { return fx.Mosaic(none, none, 4, 10, 10); }), mosaicQtReference, ratioAtMost(1.2));
    add("Mosaic 10 x 10 (ref: cv INTER_AREA to grid, NEAREST back)",
        onPlan([](Gf5Effect& fx) { return fx.Mosaic(none, none, 4, 10, 10); }), mosaicCvReference, ratioAtMost(1.2));
    add("Blur 1 (ref: cv::blur 3x3)", onPlan([](Gf5Effect& fx) { return fx.Blur(none, none, 4, 1); }),
        intoScratch([](const cv::Mat& s, cv::Mat& d) { cv::blur(s, d, cv::Size(3, 3)); }), ratioAtMost(1.5));
    add("grey scale, Saturation -100 (ref: cvtColor to grey and back)",
        onPlan([](Gf5Effect& fx) { return fx.Saturation(none, none, 4, -100); }), greyReference, ratioAtMost(1.5));
    add("grey scale, in place (ref: cvtColor to grey and back)",
        inPlace([](Gf5Effect& fx) { return fx.Saturation(none, none, 4, -100); }), greyReference, ratioAtMost(1.5));
    add("Brightness +8, new image (ref: cv::add into a buffer)",
        onPlan([](Gf5Effect& fx) { return fx.Brightness(none, none, 4, 8, 0, 0); }),
        intoScratch([](const cv::Mat& s, cv::Mat& d) { cv::add(s, plus8, d); }), ratioAtMost(1.5));
    add("Brightness +8, in place (ref: cv::add in place)",
        inPlace([](Gf5Effect& fx) { return fx.Brightness(none, none, 4, 8, 0, 0); }),
        inPlaceOnScratch([](cv::Mat& p) { cv::add(p, plus8, p); }), ratioAtMost(1.5));
    // A selection's result is still a whole new image: the references copy
    // the plan and then work on the rectangle.
    add("Brightness +8, selection (ref: memcpy, cv::add on the rectangle)", onPlan([](Gf5Effect& fx) {
            fx.AreaMode = 2;
            return fx.Brightness(selX, selY, 4, 8, 0, 0);
        }),
        intoScratch([](const cv::Mat& s, cv::Mat& d) {
            s.copyTo(d);
            cv::Mat part = d(selRect);
            cv::add(s(selRect), plus8, part);
        }),
        ratioAtMost(1.5), false);
    add("ToneCurve underlay, green, new image (ref: cv::LUT of all bytes into a buffer)",
        onPlan([](Gf5Effect& fx) { return fx.ToneCurve(none, none, 4, underIn, underOut, 5, 0, 1, 0); }),
        intoScratch([](const cv::Mat& s, cv::Mat& d) { lutBytes(s, d, underTable); }), ratioAtMost(1.5));
    add("ToneCurve underlay, green, in place (ref: loop over G alone in place)",
        inPlace([](Gf5Effect& fx) { return fx.ToneCurve(none, none, 4, underIn, underOut, 5, 0, 1, 0); }),
        inPlaceOnScratch([](cv::Mat& p) { lutGreenInPlace(p, underTable); }), ratioAtMost(1.5));
    add("ToneCurve contrast, new image (ref: cv::LUT of all bytes into a buffer)",
        onPlan([](Gf5Effect& fx) { return fx.ToneCurve(none, none, 4, contIn, contOut, 5, 1, 1, 1); }),
        intoScratch([](const cv::Mat& s, cv::Mat& d) { lutBytes(s, d, contTable); }), ratioAtMost(1.5));
    add("ToneCurve contrast, in place (ref: cv::LUT of all bytes in place)",
        inPlace([](Gf5Effect& fx) { return fx.ToneCurve(none, none, 4, contIn, contOut, 5, 1, 1, 1); }),
        inPlaceOnScratch([](cv::Mat& p) { lutBytes(p, p, contTable); }), ratioAtMost(1.5));
    add("ToneCurve widen white, selection (ref: memcpy, cv::LUT on the rectangle)", onPlan([](Gf5Effect& fx) {
            fx.AreaMode = 2;
            return fx.ToneCurve(selX, selY, 4, whiteIn, whiteOut, 6, 1, 1, 1);
        }),
        intoScratch([](const cv::Mat& s, cv::Mat& d) {
            s.copyTo(d);
            cv::Mat part = d(selRect);
            lutBytes(s(selRect), part, whiteTable);
        }),
        ratioAtMost(1.5), false);
    add("CutOutRegion, selection (ref: copy of the rectangle)", onPlan([](Gf5Effect& fx) {
            fx.AreaMode = 2;
            return fx.CutOutRegion(selX, selY, 4, 255, 255, 255);
        }),
        [](const Context& c) {
            static cv::Mat piece;
            gf5::fx::constViewOf(c.planImage)(selRect).copyTo(piece);
            return Outcome{!piece.empty(), 0};
        },
        {}, false);
    add("CutOutRegion, whole image (ref: memcpy)",
        onPlan([](Gf5Effect& fx) { return fx.CutOutRegion(none, none, 0, 255, 255, 255); }), memcpyReference());
    add("CreateImage A3 white (ref: fill of a buffer)",
        onPlan([](Gf5Effect& fx) { return fx.CreateImage(kPlanWidth, kPlanHeight, 24, 255, 255, 255); }),
        [](const Context& c) {
            c.scratch().fill(Qt::white);
            return Outcome{true, 0};
        },
        {}, false);
    add("ConvertBitDepth 24 (ref: memcpy)", onPlan([](Gf5Effect& fx) { return fx.ConvertBitDepth(24, 0, 0, 0); }),
        memcpyReference());
    add("ConvertBitDepth 8 (ref: Qt convertToFormat Indexed8)",
        onPlan([](Gf5Effect& fx) { return fx.ConvertBitDepth(8, 0, 0, 0); }), [](const Context& c) {
            const QImage out = c.planImage.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
            return Outcome{!out.isNull(), 0};
        });
    add("Rotate 90 (ref: cv::rotate)", onPlan([](Gf5Effect& fx) { return fx.Rotate(9000, 0, 0, -1, 255, 255, 255, 0); }),
        [](const Context& c) {
            static cv::Mat turned;
            cv::rotate(gf5::fx::constViewOf(c.planImage), turned, cv::ROTATE_90_COUNTERCLOCKWISE);
            return Outcome{!turned.empty(), 0};
        });
    add("Rotate 0.4 (fine) (ref: cv::warpAffine bilinear, grown)",
        onPlan([](Gf5Effect& fx) { return fx.Rotate(40, 0, 0, -1, 255, 255, 255, 0); }), [](const Context& c) {
            warpReference(c, 0.4);
            return Outcome{true, 0};
        });
    add("Rotate 45 (ref: cv::warpAffine bilinear, grown)",
        onPlan([](Gf5Effect& fx) { return fx.Rotate(4500, 0, 0, -1, 255, 255, 255, 0); }), [](const Context& c) {
            warpReference(c, 45);
            return Outcome{true, 0};
        });
    add("Mirror left-right (ref: cv::flip)", onPlan([](Gf5Effect& fx) { return fx.Rotate(0, 1, 0, -1, 255, 255, 255, 0); }),
        intoScratch([](const cv::Mat& s, cv::Mat& d) { cv::flip(s, d, 1); }));
    add("Resize to 600 long side (ref: Qt smooth)", onPlan([](Gf5Effect& fx) { return fx.Resize(424, 600, -1); }),
        [](const Context& c) { return ref::qtSmooth(c.planImage, QSize(424, 600)); }, ratioAtMost(1.3));
    add("Resize x 1.5 (ref: cv::resize INTER_LINEAR)", [](const Context& c) {
            Gf5Effect fx;
            fx.SourceImage = c.plan;
            fx.ReportProgress = true;
            return effectOutcome(fx, fx.Resize(c.planImage.width() * 3 / 2, c.planImage.height() * 3 / 2, -1));
        },
        [](const Context& c) {
            static cv::Mat grown;
            cv::resize(gf5::fx::constViewOf(c.planImage), grown,
                       cv::Size(c.planImage.width() * 3 / 2, c.planImage.height() * 3 / 2), 0, 0, cv::INTER_LINEAR);
            return Outcome{!grown.empty(), 0};
        });
    // The piece is cut out once, untimed; the row times the overlay alone.
    add("OverlayWithKey 2700 x 3600 on the plan (ref: key mask by cv::inRange, copyTo)",
        [](const Context& c) {
            const int32_t piece = overlayPiece(c, selX, selY);
            Gf5Effect fx;
            return effectOutcome(fx, fx.OverlayWithKey(c.plan, piece, 255, 255, 255, 255, 255, 255, 255, 1200, 1700, 0));
        },
        [](const Context& c) {
            const QImage* piece = ImageStore::image(overlayPiece(c, selX, selY));
            if (!piece)
                return Outcome{};
            static cv::Mat key;
            const cv::Mat p = gf5::fx::constViewOf(*piece);
            cv::inRange(p, cv::Scalar(255, 255, 255, 0), cv::Scalar(255, 255, 255, 255), key);
            cv::bitwise_not(key, key);
            ref::copyBytes(c.planImage, c.scratch());
            cv::Mat at = gf5::fx::viewOf(c.scratch())(cv::Rect(1200, 1700, p.cols, p.rows));
            p.copyTo(at, key);
            return Outcome{true, 0};
        },
        {}, false);
    // Within one process the clipboard hands back the very image it was
    // given, so a plain copy and paste costs nothing; what the paste does
    // itself is bring another program's picture to the canvas's format,
    // here a half-transparent one laid on white.
    add("Clipboard paste, transparent picture to RGB32 (ref: QPainter onto white)",
        [](const Context& c) {
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
        },
        [](const Context& c) {
            const QImage& picture = transparentPlan(c);
            QElapsedTimer timer;
            timer.start();
            c.scratch().fill(Qt::white);
            QPainter p(&c.scratch());
            p.drawImage(0, 0, picture);
            p.end();
            return Outcome{true, 0, timer.nsecsElapsed() / 1e6};
        });
    return cases;
}

} // namespace bench
