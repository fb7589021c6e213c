#include "canvas/floodfill.h"
#include "imaging/store/bufferpool.h"
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <algorithm>
#include <cstddef>
#include <sys/mman.h>
#include <vector>

namespace canvas {

namespace {

bool usable(QImage& img, QPoint seed)
{
    if (img.isNull() || !img.rect().contains(seed))
        return false;
    if (img.format() != QImage::Format_RGB32 && img.format() != QImage::Format_ARGB32)
        return false;
    return img.bits() != nullptr; // a huge shared image may fail to detach
}

QRect toQRect(const cv::Rect& r) { return QRect(r.x, r.y, r.width, r.height); }

// Marks of the pixels a fill has reached, one byte per pixel with a border of
// one all round (the layout cv::floodFill wants). They are kept between fills
// and only the part a fill touched is cleared afterwards, so a click on a
// small room costs in proportion to the room, not to the image. The marks
// live in a mapping of their own whose pages cost memory only once a fill
// touches them; when the image layer needs room (a new large image, or a
// long idle spell) they are handed back to the system, which maps them as
// zeros again when next touched.
class ReachedMask {
public:
    ~ReachedMask() { unmap(); }

    cv::Mat& forImage(const QSize& size)
    {
        const int rows = size.height() + 2, cols = size.width() + 2;
        if (m_mat.rows != rows || m_mat.cols != cols) {
            unmap();
            const std::size_t bytes = std::size_t(rows) * std::size_t(cols);
            void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED) {
                m_mat = cv::Mat::zeros(rows, cols, CV_8UC1); // ordinary memory, kept
            } else {
                m_base = p;
                m_bytes = bytes;
                m_mat = cv::Mat(rows, cols, CV_8UC1, p);
                gf5::BufferPool::addReleaser(&ReachedMask::release);
            }
        }
        return m_mat;
    }

    // Every page back to the system; the marks read as zero afterwards.
    static void release();

private:
    void unmap()
    {
        m_mat.release();
        if (m_base)
            munmap(m_base, m_bytes);
        m_base = nullptr;
        m_bytes = 0;
    }

    void* m_base = nullptr;
    std::size_t m_bytes = 0;
    cv::Mat m_mat;
};

ReachedMask& reachedMask()
{
    static ReachedMask mask;
    return mask;
}

void ReachedMask::release()
{
    ReachedMask& m = reachedMask();
    if (m.m_base && madvise(m.m_base, m.m_bytes, MADV_DONTNEED) != 0)
        m.m_mat.setTo(0);
}

void clearReached(cv::Mat& mask, const cv::Rect& box)
{
    if (box.width > 0 && box.height > 0)
        mask(cv::Rect(box.x + 1, box.y + 1, box.width, box.height)).setTo(0);
}

} // namespace

QRect floodFillToBlack(QImage& img, QPoint seed, QRgb fill)
{
    if (!usable(img, seed))
        return {};
    // The fourth byte is ignored, whatever the image keeps there.
    constexpr quint32 kColour = 0x00FFFFFFu;
    const int w = img.width(), h = img.height();
    uchar* const base = img.bits();
    const qsizetype stride = img.bytesPerLine();
    auto row = [&](int y) { return reinterpret_cast<quint32*>(base + y * stride); };
    if ((row(seed.y())[seed.x()] & kColour) == 0)
        return {};
    ReachedMask& marks = reachedMask();
    cv::Mat& mask = marks.forImage(img.size());
    auto reached = [&](int y) { return mask.ptr<uchar>(y + 1) + 1; };
    const quint32 colour = fill | 0xFF000000u;

    // Scanline fill: each popped seed grows into the longest run of open
    // pixels on its row, which is painted at once; the rows above and below
    // get one seed per open run alongside it.
    std::vector<QPoint> stack{seed};
    int left = seed.x(), right = seed.x(), top = seed.y(), bottom = seed.y();
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        quint32* pixels = row(p.y());
        uchar* done = reached(p.y());
        auto open = [&](int x) { return !done[x] && (pixels[x] & kColour) != 0; };
        if (!open(p.x()))
            continue;
        int x0 = p.x(), x1 = p.x();
        while (x0 > 0 && open(x0 - 1))
            --x0;
        while (x1 + 1 < w && open(x1 + 1))
            ++x1;
        std::fill(done + x0, done + x1 + 1, uchar(1));
        std::fill(pixels + x0, pixels + x1 + 1, colour);
        left = std::min(left, x0);
        right = std::max(right, x1);
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
        for (const int ny : {p.y() - 1, p.y() + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            const quint32* next = row(ny);
            const uchar* nextDone = reached(ny);
            bool inRun = false;
            for (int x = x0; x <= x1; ++x) {
                const bool o = !nextDone[x] && (next[x] & kColour) != 0;
                if (o && !inRun)
                    stack.emplace_back(x, ny);
                inRun = o;
            }
        }
    }
    const cv::Rect box(left, top, right - left + 1, bottom - top + 1);
    clearReached(mask, box);
    return toQRect(box);
}

QRect floodFillSameColour(QImage& img, QPoint seed, QRgb fill)
{
    if (!usable(img, seed))
        return {};
    // One int per pixel: an exact colour match needs no per-channel ranges.
    cv::Mat pixels(img.height(), img.width(), CV_32SC1, img.bits(), size_t(img.bytesPerLine()));
    const qint32 seedValue = pixels.at<qint32>(seed.y(), seed.x());
    const qint32 fillValue = qint32(fill | 0xFF000000u);
    if (seedValue == fillValue)
        return {}; // already that colour: nothing changes
    ReachedMask& marks = reachedMask();
    cv::Mat& mask = marks.forImage(img.size());
    cv::Rect box;
    cv::floodFill(pixels, mask, cv::Point(seed.x(), seed.y()), cv::Scalar(double(fillValue)), &box, cv::Scalar(0),
                  cv::Scalar(0), 4);
    clearReached(mask, box);
    return toQRect(box);
}

} // namespace canvas
