// The size-keeping turn as three shears (along rows, along columns, along
// rows again), each a one-dimensional resampling with the same weights for a
// whole row or column. That keeps the sharpness of the chosen kernel at a
// fraction of the cost of a two-dimensional warp, which matters on 30-megapixel
// scans.
#include "imaging/effects/turn.h"
#include "imaging/effects/effectcore.h"
#include <opencv2/core.hpp>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace gf5 {

namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;

// A one-dimensional resampling kernel: taps at whole offsets first..first +
// taps - 1 around the sample position's whole part.
struct Kernel {
    Resampling how;
    int taps;
    int first;

    explicit Kernel(Resampling h)
        : how(h), taps(h == Resampling::Linear ? 2 : h == Resampling::Cubic ? 4 : 8),
          first(h == Resampling::Linear ? 0 : h == Resampling::Cubic ? -1 : -3)
    {
    }

    double at(double t) const
    {
        t = std::abs(t);
        switch (how) {
        case Resampling::Linear:
            return t < 1 ? 1 - t : 0;
        case Resampling::Cubic: {
            constexpr double a = -0.75; // the common choice for photographs and line art
            if (t <= 1)
                return ((a + 2) * t - (a + 3)) * t * t + 1;
            return t < 2 ? ((a * t - 5 * a) * t + 8 * a) * t - 4 * a : 0;
        }
        case Resampling::Lanczos: {
            if (t < 1e-9)
                return 1;
            if (t >= 4)
                return 0;
            const double x = std::numbers::pi * t;
            return 4 * std::sin(x) * std::sin(x / 4) / (x * x);
        }
        }
        return 0;
    }

    // Whole weights summing exactly to kOne for a sample at fraction f past
    // the whole offset 0, so flat areas keep their exact value.
    void weights(double f, int* w) const
    {
        double raw[8], sum = 0;
        for (int j = 0; j < taps; ++j)
            sum += raw[j] = at(first + j - f);
        int total = 0, largest = 0;
        for (int j = 0; j < taps; ++j) {
            w[j] = int(std::lround(raw[j] / sum * kOne));
            total += w[j];
            if (w[j] > w[largest])
                largest = j;
        }
        w[largest] += kOne - total;
    }
};

inline uchar clampToByte(int v) { return uchar(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// True when the n pixels at p all equal the first.
inline bool flat(const uchar* p, int n)
{
    const auto* px = reinterpret_cast<const uint32_t*>(p);
    uint32_t differ = 0;
    for (int i = 1; i < n; ++i)
        differ |= px[i] ^ px[0];
    return differ == 0;
}

inline void fillPixels(uchar* out, int n, const uchar* pixel)
{
    uint32_t v;
    std::memcpy(&v, pixel, 4);
    auto* o = reinterpret_cast<uint32_t*>(out);
    std::fill(o, o + n, v);
}

// Pixels resampled per chunk; a chunk whose source is one flat colour (the
// paper of a drawing, mostly) takes that colour without any arithmetic.
constexpr int kChunk = 32;

// The inner loops, with the number of taps fixed so that the compiler can
// unroll them and work on many bytes at once. in: the first tap of the first
// pixel; taps are 4 bytes apart.
template <int Taps>
void rowSpan(const uchar* in, uchar* out, int pixels, const int* w)
{
    for (int c0 = 0; c0 < pixels; c0 += kChunk) {
        const int n = std::min(kChunk, pixels - c0);
        const uchar* src = in + 4 * c0;
        uchar* dst = out + 4 * c0;
        if (flat(src, n + Taps - 1)) {
            fillPixels(dst, n, src);
            continue;
        }
        for (int i = 0; i < 4 * n; ++i) {
            int acc = kOne / 2;
            for (int j = 0; j < Taps; ++j)
                acc += w[j] * src[i + 4 * j];
            dst[i] = clampToByte(acc >> kWeightBits);
        }
    }
}

// Bytes [from, to) of a row from the same bytes of Taps source rows; w holds
// the weight of tap j for byte i at w[j * stride + i].
template <int Taps>
void columnSpan(const uchar* const* rows, const int* w, size_t stride, uchar* out, int from, int to)
{
    for (int c0 = from; c0 < to; c0 += 4 * kChunk) {
        const int c1 = std::min(to, c0 + 4 * kChunk);
        bool same = flat(rows[0] + c0, (c1 - c0) / 4);
        for (int j = 1; j < Taps && same; ++j)
            same = flat(rows[j] + c0, (c1 - c0) / 4) && std::memcmp(rows[j] + c0, rows[0] + c0, 4) == 0;
        if (same) {
            fillPixels(out + c0, (c1 - c0) / 4, rows[0] + c0);
            continue;
        }
        for (int i = c0; i < c1; ++i) {
            int acc = kOne / 2;
            for (int j = 0; j < Taps; ++j)
                acc += w[size_t(j) * stride + size_t(i)] * rows[j][i];
            out[i] = clampToByte(acc >> kWeightBits);
        }
    }
}

// Row shear: dst row r is src row r + rowShift (fill when there is none),
// sampled at column u + shift(r).
template <class Shift>
void shearRows(const cv::Mat& src, cv::Mat& dst, int rowShift, Shift shift, const Kernel& k, const cv::Vec4b& fill)
{
    cv::parallel_for_(cv::Range(0, dst.rows), [&](const cv::Range& range) {
        // The source row with `taps` fill pixels either side: a sample whose
        // first tap falls before it (or last after it) is pure fill.
        const int pad = k.taps, len = src.cols + 2 * pad;
        std::vector<cv::Vec4b> row(size_t(len), fill);
        int w[8];
        for (int r = range.start; r < range.end; ++r) {
            auto* out = dst.ptr<cv::Vec4b>(r);
            const int sr = r + rowShift;
            if (sr < 0 || sr >= src.rows) {
                std::fill(out, out + dst.cols, fill);
                continue;
            }
            std::copy(src.ptr<cv::Vec4b>(sr), src.ptr<cv::Vec4b>(sr) + src.cols, row.begin() + pad);
            const double s = shift(r);
            const int whole = int(std::floor(s));
            k.weights(s - whole, w);
            // Output columns whose taps all lie in the padded row.
            const int base = whole + k.first + pad; // padded index of the first tap of column 0
            const int u0 = std::clamp(-base, 0, dst.cols), u1 = std::clamp(len - k.taps - base + 1, u0, dst.cols);
            std::fill(out, out + u0, fill);
            std::fill(out + u1, out + dst.cols, fill);
            const uchar* in = reinterpret_cast<const uchar*>(row.data()) + 4 * (base + u0);
            uchar* o = reinterpret_cast<uchar*>(out + u0);
            switch (k.taps) {
            case 2: rowSpan<2>(in, o, u1 - u0, w); break;
            case 4: rowSpan<4>(in, o, u1 - u0, w); break;
            default: rowSpan<8>(in, o, u1 - u0, w); break;
            }
        }
    });
}

// The whole part of a column shear's shift for each column, and the
// per-byte weights of its taps.
struct ColumnShear {
    std::vector<int> whole;
    std::vector<int> w; // per tap, per byte
    int lowest = 0, highest = 0; // range of whole

    template <class Shift>
    ColumnShear(int cols, Shift shift, const Kernel& k)
        : whole(static_cast<size_t>(cols)), w(size_t(cols) * 4 * size_t(k.taps))
    {
        for (int x = 0; x < cols; ++x) {
            const double s = shift(x);
            whole[size_t(x)] = int(std::floor(s));
            int t[8];
            k.weights(s - whole[size_t(x)], t);
            for (int j = 0; j < k.taps; ++j)
                for (int c = 0; c < 4; ++c)
                    w[size_t(j) * 4 * size_t(cols) + 4 * size_t(x) + size_t(c)] = t[j];
        }
        const auto [lo, hi] = std::minmax_element(whole.begin(), whole.end());
        lowest = *lo;
        highest = *hi;
    }
};

// Column shear of a band: dst holds the rows from dstRow0 on of a picture
// whose pixel (x, y) is column x of the source sampled at row y + shift(x).
// src holds the source's rows from srcRow0 on, every row the band reads
// that lies inside the source (srcRows rows in all); rows outside it are fill.
void shearColumns(const cv::Mat& src, int srcRow0, int srcRows, cv::Mat& dst, int dstRow0, const ColumnShear& shear,
                  const Kernel& k, const cv::Vec4b& fill)
{
    const int cols = dst.cols;
    const std::vector<cv::Vec4b> fillRow(size_t(src.cols), fill);
    cv::parallel_for_(cv::Range(0, dst.rows), [&](const cv::Range& range) {
        const uchar* rows[8];
        for (int y = range.start; y < range.end; ++y) {
            uchar* out = dst.ptr<uchar>(y);
            for (int x0 = 0; x0 < cols;) {
                // A run of columns reading the same source rows.
                int x1 = x0 + 1;
                while (x1 < cols && shear.whole[size_t(x1)] == shear.whole[size_t(x0)])
                    ++x1;
                for (int j = 0; j < k.taps; ++j) {
                    const int sr = dstRow0 + y + shear.whole[size_t(x0)] + k.first + j;
                    rows[j] = sr >= 0 && sr < srcRows ? src.ptr<uchar>(sr - srcRow0)
                                                      : reinterpret_cast<const uchar*>(fillRow.data());
                }
                switch (k.taps) {
                case 2: columnSpan<2>(rows, shear.w.data(), size_t(cols) * 4, out, 4 * x0, 4 * x1); break;
                case 4: columnSpan<4>(rows, shear.w.data(), size_t(cols) * 4, out, 4 * x0, 4 * x1); break;
                default: columnSpan<8>(rows, shear.w.data(), size_t(cols) * 4, out, 4 * x0, 4 * x1); break;
                }
                x0 = x1;
            }
        }
    });
}

// Output rows per band: the intermediate pictures are held for one band at
// a time, a few megabytes instead of two pictures larger than the image.
constexpr int kBandRows = 256;

} // namespace

QImage turnKeepingSize(const QImage& src, double degrees, QRgb fill, Resampling how, const TurnProgress& progress)
{
    const QImage in = fx::toRgb32(src);
    if (in.isNull())
        return {};
    QImage out = fx::allocate(in.width(), in.height(), QImage::Format_RGB32);
    if (out.isNull())
        return {};
    fx::keepMetadata(in, out);
    const cv::Mat s0 = fx::constViewOf(in);
    cv::Mat result = fx::viewOf(out);
    if (std::abs(std::remainder(degrees, 360.0)) < 1e-9) {
        s0.copyTo(result);
        return out;
    }
    // A counter-clockwise turn on screen, x' = c x + s y, y' = -s x + c y
    // about the centre, is shear(a) along rows, shear(-s) along columns and
    // shear(a) along rows again, with a = tan(angle / 2).
    const double theta = degrees * std::numbers::pi / 180.0;
    const double a = std::tan(theta / 2), sn = std::sin(theta);
    const int w = in.width(), h = in.height();
    const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
    const Kernel k(how);
    // Margins of the intermediate pictures that hold what the later shears
    // bring back into the frame.
    const int p = int(std::ceil(std::abs(a) * h / 2)) + k.taps + 2;
    const int q = int(std::ceil(std::abs(sn) * (w / 2.0 + p))) + k.taps + 2;
    if (!fx::sizeAllowed(qint64(w) + 2 * p, qint64(h) + 2 * q))
        return {};
    const cv::Vec4b fillPixel(uchar(qBlue(fill)), uchar(qGreen(fill)), uchar(qRed(fill)), 255);
    // The result is made in bands of rows. Each band of the last shear reads
    // the same rows of the column shear's picture, which reads the rows of
    // the first shear's picture within the column shift's range.
    try {
        const ColumnShear columns(w + 2 * p, [&](int x) { return q + sn * (x - cx - p); }, k);
        const int firstRows = h + 2 * q;
        const int reach = columns.highest - columns.lowest + k.taps - 1;
        // Wide angles read far: bands of at least that many rows keep the
        // first shear's repeated rows to at most as many again.
        const int band = std::max(kBandRows, reach);
        cv::Mat first, second;
        for (int r0 = 0; r0 < h; r0 += band) {
            const int r1 = std::min(h, r0 + band);
            const int f0 = std::clamp(r0 + columns.lowest + k.first, 0, firstRows);
            const int f1 = std::clamp(r1 - 1 + columns.highest + k.first + k.taps, f0, firstRows);
            first.create(f1 - f0, w + 2 * p, CV_8UC4);
            if (f1 > f0)
                shearRows(s0, first, f0 - q, [&](int r) { return -p - a * (r + f0 - cy - q); }, k, fillPixel);
            second.create(r1 - r0, w + 2 * p, CV_8UC4);
            shearColumns(first, f0, firstRows, second, r0, columns, k, fillPixel);
            cv::Mat rows = result.rowRange(r0, r1);
            shearRows(second, rows, 0, [&](int r) { return p - a * (r + r0 - cy); }, k, fillPixel);
            if (progress && !progress(r1, h))
                return {};
        }
    } catch (const cv::Exception&) {
        return {};
    }
    return out;
}

} // namespace gf5
