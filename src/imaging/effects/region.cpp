// The region of an operation: the polygon's pixels by the pixel-centre rule.
#include "imaging/effects/effectcore.h"
#include <algorithm>
#include <cmath>
#include <vector>

namespace gf5 {

namespace {

bool validPolygon(const int32_t* xs, const int32_t* ys, int n) { return xs && ys && n >= 3; }

// Rectangle given as four corners in either turning direction.
bool isAxisRectangle(const int32_t* xs, const int32_t* ys, int n)
{
    if (n != 4)
        return false;
    const bool a = xs[0] == xs[3] && xs[1] == xs[2] && ys[0] == ys[1] && ys[2] == ys[3];
    const bool b = xs[0] == xs[1] && xs[2] == xs[3] && ys[0] == ys[3] && ys[1] == ys[2];
    return a || b;
}

} // namespace

QRect Gf5Effect::regionBounds(const int32_t* xs, const int32_t* ys, int n, int w, int h) const
{
    const QRect image(0, 0, std::max(0, w), std::max(0, h));
    if (AreaMode != 2 || !validPolygon(xs, ys, n))
        return image;
    // Pixel centres inside a polygon with whole-number corners lie in
    // [min, max) on each axis.
    qint64 minX = xs[0], maxX = xs[0], minY = ys[0], maxY = ys[0];
    for (int i = 1; i < n; ++i) {
        minX = std::min<qint64>(minX, xs[i]);
        maxX = std::max<qint64>(maxX, xs[i]);
        minY = std::min<qint64>(minY, ys[i]);
        maxY = std::max<qint64>(maxY, ys[i]);
    }
    const qint64 l = std::max<qint64>(minX, 0), r = std::min<qint64>(maxX, image.width());
    const qint64 t = std::max<qint64>(minY, 0), b = std::min<qint64>(maxY, image.height());
    if (r <= l || b <= t)
        return {};
    return QRect(int(l), int(t), int(r - l), int(b - t));
}

namespace fx {

void fillPolygonMask(const int32_t* xs, const int32_t* ys, int n, const QRect& area, cv::Mat& mask)
{
    mask.create(area.height(), area.width(), CV_8UC1);
    mask.setTo(0);
    if (!validPolygon(xs, ys, n) || area.isEmpty())
        return;
    struct Crossing {
        double x;
        int dir;
    };
    std::vector<Crossing> crossings;
    crossings.reserve(size_t(n));
    for (int row = 0; row < area.height(); ++row) {
        const double yc = area.top() + row + 0.5;
        crossings.clear();
        for (int i = 0; i < n; ++i) {
            const double x0 = xs[i], y0 = ys[i];
            const double x1 = xs[(i + 1) % n], y1 = ys[(i + 1) % n];
            if (y0 <= yc && yc < y1)
                crossings.push_back({x0 + (yc - y0) * (x1 - x0) / (y1 - y0), 1});
            else if (y1 <= yc && yc < y0)
                crossings.push_back({x0 + (yc - y0) * (x1 - x0) / (y1 - y0), -1});
        }
        if (crossings.size() < 2)
            continue;
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        uchar* line = mask.ptr<uchar>(row);
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].dir;
            if (winding == 0)
                continue;
            // Pixels whose centre x + 0.5 lies in [xa, xb).
            const double xa = std::ceil(crossings[i].x - 0.5) - area.left();
            const double xb = std::ceil(crossings[i + 1].x - 0.5) - area.left();
            const int from = int(std::clamp(xa, 0.0, double(area.width())));
            const int to = int(std::clamp(xb, 0.0, double(area.width())));
            if (to > from)
                std::fill(line + from, line + to, uchar(255));
        }
    }
}

Region makeRegion(const Gf5Effect& fx, const int32_t* xs, const int32_t* ys, int n, int w, int h)
{
    Region reg;
    reg.bounds = fx.regionBounds(xs, ys, n, w, h);
    if (fx.AreaMode != 2 || !validPolygon(xs, ys, n)) {
        reg.whole = true;
        return reg;
    }
    if (reg.bounds.isEmpty() || isAxisRectangle(xs, ys, n))
        return reg;
    fillPolygonMask(xs, ys, n, reg.bounds, reg.mask);
    if (qint64(cv::countNonZero(reg.mask)) == qint64(reg.bounds.width()) * reg.bounds.height())
        reg.mask.release();
    return reg;
}

} // namespace fx
} // namespace gf5
