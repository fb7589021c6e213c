// Cleaning cases: the size-keeping fine turn (with the measurement that
// chose its resampling) and automatic straightening.
#include "bench.h"
#include "imaging/effects/gf5effect.h"
#include "imaging/effects/skew.h"
#include "imaging/effects/turn.h"
#include "imaging/store/imagestore.h"
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

using gf5::Resampling;

int luminance(QRgb c) { return (qRed(c) * 77 + qGreen(c) * 150 + qBlue(c) * 29 + 128) >> 8; }

// Per column of the middle part, the darkest value within `reach` rows of
// row y, averaged: how dark a line still is.
double darkest(const QImage& img, int y, int reach)
{
    double sum = 0;
    int n = 0;
    for (int x = img.width() / 4; x < img.width() * 3 / 4; ++x, ++n) {
        int m = 255;
        for (int yy = y - reach; yy <= y + reach; ++yy)
            m = std::min(m, luminance(img.pixel(x, yy)));
        sum += m;
    }
    return sum / n;
}

// The darkest value between 3 and 8 rows away from a straight line at rows
// [y, y + thick): the ghost lines a ringing resampling leaves.
int ghost(const QImage& img, int y, int thick)
{
    int m = 255;
    for (int x = img.width() / 4; x < img.width() * 3 / 4; ++x)
        for (int d = 3; d <= 8; ++d)
            m = std::min({m, luminance(img.pixel(x, y - d)), luminance(img.pixel(x, y + thick - 1 + d))});
    return m;
}

// A one-pixel line and a two-pixel wall turned by five presses of 0.4
// degrees clockwise, then five back: the figures the resampling of the
// fine turn was chosen by.
void printResamplingFigures()
{
    QImage img(800, 400, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter(&img).fillRect(40, 120, 720, 1, Qt::black);
    QPainter(&img).fillRect(40, 280, 720, 2, Qt::black);
    std::printf("  fine turn, 5 x 0.4 deg clockwise / then 5 back: darkest value of the line | wall, ghost\n");
    const std::pair<Resampling, const char*> kinds[] = {
        {Resampling::Linear, "linear"}, {Resampling::Cubic, "cubic"}, {Resampling::Lanczos, "Lanczos"}};
    for (const auto& [how, name] : kinds) {
        QImage cur = img;
        for (int i = 0; i < 5; ++i)
            cur = gf5::turnKeepingSize(cur, -0.4, 0xFFFFFFFF, how);
        const double lineOneWay = darkest(cur, 120, 12), wallOneWay = darkest(cur, 280, 12);
        for (int i = 0; i < 5; ++i)
            cur = gf5::turnKeepingSize(cur, 0.4, 0xFFFFFFFF, how);
        std::printf("    %-8s line %5.1f / %5.1f   wall %5.1f / %5.1f   ghost %3d%s\n", name, lineOneWay,
                    darkest(cur, 120, 2), wallOneWay, darkest(cur, 280, 2), std::min(ghost(cur, 120, 1), ghost(cur, 280, 2)),
                    how == gf5::kSharpTurn ? "   (used)" : "");
    }
    std::fflush(stdout);
}

bench::Registrar fineTurn("fine turn 0.4 deg, size kept", [](const bench::Context& c) {
    static bool printed = false;
    if (!printed) {
        printed = true;
        printResamplingFigures();
    }
    gf5::Gf5Effect fx;
    fx.SourceImage = c.plan;
    const int32_t ok = fx.Rotate(-40, 0, 0, -1, 255, 255, 255, gf5::Gf5Effect::kRotateKeepsSize);
    return bench::Outcome{ok != 0, ok ? fx.ResultImage : 0};
});

// The plan turned by 1.3 degrees, made once: what automatic straightening
// gets from a skewed scan.
const QImage& skewedPlan(const bench::Context& c)
{
    static const QImage img = gf5::turnKeepingSize(c.planImage, 1.3, 0xFFFFFFFF, Resampling::Linear);
    return img;
}

bench::Registrar skewMeasure("straighten: measure the skew", [](const bench::Context& c) {
    const QImage& img = skewedPlan(c);
    const std::optional<double> skew = gf5::measureSkew(img);
    return bench::Outcome{skew && std::abs(*skew - 1.3) < 0.1, 0};
});

bench::Registrar straighten("straighten: measure and turn", [](const bench::Context& c) {
    const QImage& img = skewedPlan(c);
    const std::optional<double> skew = gf5::measureSkew(img);
    if (!skew)
        return bench::Outcome{};
    const QImage out = gf5::turnKeepingSize(img, -*skew, 0xFFFFFFFF);
    return bench::Outcome{!out.isNull(), 0};
});

} // namespace
