#include "imaging/effects/whiten.h"
#include "imaging/effects/effectcore.h"
#include <opencv2/imgproc.hpp>
#include <algorithm>
#include <cmath>
#include <vector>

namespace gf5 {

namespace {
constexpr double kAssumedDpi = 300;
constexpr double kCellMm = 0.5;       // side of a cell of the reduced copy
constexpr double kInkMm = 6.0;        // closing wider than this wipes out lines and walls
constexpr double kFillMm = 30.0;      // ... and this, filled areas inside the sheet
constexpr double kDarkPaper = 0.75;   // paper darker than this share of the sheet's is suspect
constexpr double kSmoothMm = 0.75;    // the estimate is blurred this much against seams
constexpr float kWhiteMargin = 1.08f; // pixels within this factor of the paper become white

int odd(double v) { return std::max(3, int(std::lround(v)) | 1); }

// Each cell of the reduced copy holds the brightest value of each channel
// among the pixels it covers: lines thinner than a cell vanish at once.
cv::Mat brightestPerCell(const cv::Mat& bgra, int scale)
{
    cv::Mat out((bgra.rows + scale - 1) / scale, (bgra.cols + scale - 1) / scale, CV_8UC3);
    cv::parallel_for_(cv::Range(0, out.rows), [&](const cv::Range& range) {
        for (int oy = range.start; oy < range.end; ++oy) {
            uchar* q = out.ptr<uchar>(oy);
            std::fill(q, q + 3 * out.cols, uchar(0));
            for (int y = oy * scale; y < std::min(bgra.rows, (oy + 1) * scale); ++y) {
                const uchar* p = bgra.ptr<uchar>(y);
                for (int x = 0; x < bgra.cols; ++x) {
                    uchar* c = q + 3 * (x / scale);
                    c[0] = std::max(c[0], p[4 * x]);
                    c[1] = std::max(c[1], p[4 * x + 1]);
                    c[2] = std::max(c[2], p[4 * x + 2]);
                }
            }
        }
    });
    return out;
}

// Closing with a square of side `size`. The copy is first widened by
// repeating its edges, so that paper darkening towards an edge (a lid's
// shadow) is followed right up to it instead of being lifted there.
cv::Mat closed(const cv::Mat& m, int size)
{
    const int pad = size / 2 + 1;
    cv::Mat wide, out;
    cv::copyMakeBorder(m, wide, pad, pad, pad, pad, cv::BORDER_REPLICATE);
    cv::morphologyEx(wide, out, cv::MORPH_CLOSE, cv::getStructuringElement(cv::MORPH_RECT, {size, size}));
    return out(cv::Rect(pad, pad, m.cols, m.rows)).clone();
}

// The middle grey level of a CV_8UC1 image.
int medianLevel(const cv::Mat& grey)
{
    std::vector<int> counts(256, 0);
    for (int y = 0; y < grey.rows; ++y) {
        const uchar* p = grey.ptr<uchar>(y);
        for (int x = 0; x < grey.cols; ++x)
            ++counts[p[x]];
    }
    const qint64 half = qint64(grey.total()) / 2;
    qint64 seen = 0;
    for (int v = 0; v < 256; ++v)
        if ((seen += counts[size_t(v)]) > half)
            return v;
    return 255;
}
} // namespace

PaperLight estimatePaper(const QImage& rgb32, double dpi)
{
    if (dpi < 100)
        dpi = kAssumedDpi;
    PaperLight out;
    out.scale = std::max(1, int(std::lround(kCellMm * dpi / 25.4)));
    const double cellsPerMm = dpi / 25.4 / out.scale;
    const cv::Mat cells = brightestPerCell(fx::constViewOf(rgb32), out.scale);

    // Closing wider than any line leaves the paper's colour, following
    // uneven light and a lid's band along the edge (both wider than it).
    cv::Mat paper = closed(cells, odd(kInkMm * cellsPerMm));
    // Dark stretches that do not reach the sheet's edge are filled areas of
    // the drawing, not shadows: there the paper is taken from further away.
    cv::Mat grey;
    cv::cvtColor(paper, grey, cv::COLOR_BGR2GRAY);
    cv::Mat dark = grey < kDarkPaper * medianLevel(grey);
    cv::Mat labels, stats, centres;
    const int count = cv::connectedComponentsWithStats(dark, labels, stats, centres, 8, CV_32S);
    std::vector<uchar> isInner(size_t(count), 0);
    bool anyInner = false;
    for (int l = 1; l < count; ++l) {
        const int* st = stats.ptr<int>(l);
        const bool edge = st[cv::CC_STAT_LEFT] == 0 || st[cv::CC_STAT_TOP] == 0 ||
                          st[cv::CC_STAT_LEFT] + st[cv::CC_STAT_WIDTH] == dark.cols ||
                          st[cv::CC_STAT_TOP] + st[cv::CC_STAT_HEIGHT] == dark.rows;
        isInner[size_t(l)] = edge ? 0 : 255;
        anyInner = anyInner || !edge;
    }
    if (anyInner) {
        cv::Mat inner(dark.size(), CV_8UC1);
        for (int y = 0; y < inner.rows; ++y) {
            const int* l = labels.ptr<int>(y);
            uchar* q = inner.ptr<uchar>(y);
            for (int x = 0; x < inner.cols; ++x)
                q[x] = isInner[size_t(l[x])];
        }
        const int reach = odd(kInkMm * cellsPerMm);
        cv::dilate(inner, inner, cv::getStructuringElement(cv::MORPH_RECT, {reach, reach}));
        closed(cells, odd(kFillMm * cellsPerMm)).copyTo(paper, inner);
    }
    cv::Mat light;
    paper.convertTo(light, CV_32FC3);
    cv::GaussianBlur(light, light, cv::Size(), std::max(0.5, kSmoothMm * cellsPerMm), 0, cv::BORDER_REPLICATE);
    light = cv::max(light, 1.0f);
    cv::divide(255.0f * kWhiteMargin, light, out.gain);
    return out;
}

void divideOutPaper(const PaperLight& light, const cv::Mat& src, cv::Mat& dst, cv::Point origin)
{
    const cv::Mat& g = light.gain;
    const float inv = 1.0f / float(light.scale);
    // Where each column falls between two cell centres, the same for every row.
    std::vector<int> left(size_t(src.cols));
    std::vector<float> weight(size_t(src.cols));
    for (int x = 0; x < src.cols; ++x) {
        const float fx = std::clamp((origin.x + x + 0.5f) * inv - 0.5f, 0.0f, float(g.cols - 1));
        left[size_t(x)] = std::min(int(fx), std::max(0, g.cols - 2));
        weight[size_t(x)] = fx - float(left[size_t(x)]);
    }
    cv::parallel_for_(cv::Range(0, src.rows), [&](const cv::Range& range) {
        std::vector<float> row(size_t(3 * g.cols));
        for (int y = range.start; y < range.end; ++y) {
            const float fy = std::clamp((origin.y + y + 0.5f) * inv - 0.5f, 0.0f, float(g.rows - 1));
            const int top = std::min(int(fy), std::max(0, g.rows - 2));
            const float wy = fy - float(top);
            const float* a = g.ptr<float>(top);
            const float* b = g.ptr<float>(std::min(top + 1, g.rows - 1));
            for (int i = 0; i < 3 * g.cols; ++i)
                row[size_t(i)] = a[i] + (b[i] - a[i]) * wy;
            const uchar* p = src.ptr<uchar>(y);
            uchar* q = dst.ptr<uchar>(y);
            const int last = 3 * (g.cols - 1);
            for (int x = 0; x < src.cols; ++x) {
                const int c0 = 3 * left[size_t(x)], c1 = std::min(c0 + 3, last);
                const float w = weight[size_t(x)];
                for (int c = 0; c < 3; ++c) {
                    const float k = row[size_t(c0 + c)] + (row[size_t(c1 + c)] - row[size_t(c0 + c)]) * w;
                    q[4 * x + c] = uchar(std::min(255.0f, float(p[4 * x + c]) * k + 0.5f));
                }
                q[4 * x + 3] = 255;
            }
        }
    });
}

QImage whitenPaper(const QImage& picture)
{
    const QImage src = fx::toRgb32(picture);
    if (src.isNull())
        return {};
    QImage out = fx::allocate(src.width(), src.height(), QImage::Format_RGB32);
    if (out.isNull())
        return {};
    fx::keepMetadata(src, out);
    const double dpi = (src.dotsPerMeterX() + src.dotsPerMeterY()) / 2.0 * 0.0254;
    const PaperLight light = estimatePaper(src, dpi);
    cv::Mat dst = fx::viewOf(out);
    divideOutPaper(light, fx::constViewOf(src), dst, {0, 0});
    return out;
}

int32_t whitenPaper(Gf5Effect& effect, const int32_t* xs, const int32_t* ys, int n)
{
    const QImage src = fx::sourceRgb32(effect.SourceImage);
    if (src.isNull())
        return 0;
    const double dpi = (src.dotsPerMeterX() + src.dotsPerMeterY()) / 2.0 * 0.0254;
    const PaperLight light = estimatePaper(src, dpi);
    return fx::runRegionOperation(effect, xs, ys, n, [&](const cv::Mat& s, cv::Mat& d) {
        cv::Size whole;
        cv::Point origin;
        s.locateROI(whole, origin);
        divideOutPaper(light, s, d, origin);
    });
}

} // namespace gf5
