// The click fill of one room of the plan (about 0.4 megapixels: the upper
// half of a tinted room cut by the slanted line), beside OpenCV's floodFill
// of the same room with a mask that is made once and reused, as a fill that
// works on the room rather than on the whole image does.
#include "bench.h"
#include "editor_session.h"
#include "reference.h"
#include "canvas/floodfill.h"
#include <QElapsedTimer>
#include <cstdio>
#include <opencv2/imgproc.hpp>

namespace {

using bench::Context;
using bench::Outcome;

const QPoint kSeed(3400, 4100);

// Private copies of the plan for our fill and the reference's, so that
// neither sees the other's colour nor the in-place work of other rows.
QImage& privateCopy(const Context& c, int which)
{
    static QImage copies[2];
    if (copies[which].isNull()) {
        copies[which] = c.planImage.copy();
        bench::atExit([which] { copies[which] = QImage(); });
    }
    return copies[which];
}

// OpenCV's exact-colour fill of the room on the plan's pixels taken as one
// int each, with the mask reused and cleared where the fill reached.
Outcome openCvFill(const Context& c)
{
    static cv::Mat mask;
    QImage& img = privateCopy(c, 1);
    if (mask.empty())
        mask = cv::Mat::zeros(img.height() + 2, img.width() + 2, CV_8UC1);
    cv::Mat pixels(img.height(), img.width(), CV_32SC1, img.bits(), size_t(img.bytesPerLine()));
    cv::Rect box;
    const int area = cv::floodFill(pixels, mask, cv::Point(kSeed.x(), kSeed.y()), cv::Scalar(double(qint32(0xFFFF0000u))),
                                   &box, cv::Scalar(0), cv::Scalar(0), 4);
    mask(cv::Rect(box.x + 1, box.y + 1, box.width, box.height)).setTo(0);
    static bool told = false;
    if (!told) {
        told = true;
        std::printf("    the room: OpenCV fills %.2f Mpx in a %d x %d box\n", area / 1e6, box.width, box.height);
    }
    return Outcome{area > 0, 0};
}

const bench::Registrar fillKernel(
    "click fill 0.4-Mpx room, fill alone (ref: cv::floodFill, mask kept)",
    [](const Context& c) {
        const QRect changed = canvas::floodFillToBlack(privateCopy(c, 0), kSeed, qRgb(255, 0, 0));
        return Outcome{!changed.isEmpty(), 0};
    },
    openCvFill, bench::ratioAtMost(2));

// The click in fill mode as the editor handles it: the fill on the
// canvas's drawing surface, the undo snapshot, the commit and the repaint,
// until the window is idle. The same work done well is the fill and one
// copy of the image for the snapshot.
const bench::Registrar fillClick(
    "editor: click fill 0.4-Mpx room (ref: floodFill + memcpy snapshot)",
    [](const Context& c) {
        MainWindow& f = bench::editor::window(c);
        const qint64 start = bench::editor::nowNs();
        f.FillAtPoint(kSeed.x(), kSeed.y());
        bench::editor::untilIdle(f);
        const double ms = bench::editor::msSince(start);
        bench::editor::pressKey(f, Qt::Key_Z, Qt::ControlModifier);
        bench::editor::untilIdle(f);
        return Outcome{bench::editor::showsPlan(f, c), 0, ms};
    },
    [](const Context& c) {
        const Outcome copied = bench::ref::copyBytes(c.planImage, c.scratch());
        return Outcome{copied.ok && openCvFill(c).ok, 0};
    },
    bench::ratioAtMost(2));

} // namespace
