// Paper cases: making the paper white, and straightening a skewed plan by
// measuring on a reduced copy of the ink's outline and turning once.
#include "bench.h"
#include "imaging/effects/effectcore.h"
#include "imaging/effects/gf5effect.h"
#include "imaging/effects/skew.h"
#include "imaging/effects/turn.h"
#include "imaging/effects/whiten.h"
#include "imaging/store/imagestore.h"
#include <opencv2/imgproc.hpp>
#include <cmath>

namespace {

// The whitening's work with OpenCV's own primitives on the whole picture:
// an area-averaged reduced copy, a closing, a blur, the estimate scaled back
// to full size and a division.
bench::Outcome opencvWhiten(const bench::Context& c)
{
    static cv::Mat small, paper, full;
    const cv::Mat src = gf5::fx::constViewOf(c.planImage);
    const int scale = int(std::lround(0.5 * bench::kPlanDpi / 25.4));
    cv::resize(src, small, cv::Size(src.cols / scale, src.rows / scale), 0, 0, cv::INTER_AREA);
    const int k = int(std::lround(6.0 * bench::kPlanDpi / 25.4 / scale)) | 1;
    cv::morphologyEx(small, paper, cv::MORPH_CLOSE, cv::getStructuringElement(cv::MORPH_RECT, {k, k}));
    cv::GaussianBlur(paper, paper, cv::Size(), 3.0);
    cv::resize(paper, full, src.size(), 0, 0, cv::INTER_LINEAR);
    cv::Mat dst = gf5::fx::viewOf(c.scratch());
    cv::divide(src, full, dst, 255.0 * 1.08);
    return {true, 0};
}

bench::Registrar whiten(
    "用紙を白く whiten paper (ref: OpenCV reduce, close, blur, resize, divide)",
    [](const bench::Context& c) {
        gf5::Gf5Effect fx;
        fx.SourceImage = c.plan;
        const int32_t ok = gf5::whitenPaper(fx, nullptr, nullptr, 0);
        return bench::Outcome{ok != 0, ok ? fx.ResultImage : 0};
    },
    opencvWhiten, bench::ratioAtMost(1.5));

// The plan turned by 1.3 degrees, made once.
const QImage& skewedPlan(const bench::Context& c)
{
    static const QImage img = gf5::turnKeepingSize(c.planImage, 1.3, 0xFFFFFFFF, gf5::Resampling::Linear);
    return img;
}

// The turn alone, by OpenCV: the floor under any measure-and-turn.
bench::Outcome opencvTurn(const bench::Context& c)
{
    const QImage& img = skewedPlan(c);
    const cv::Mat src = gf5::fx::constViewOf(img);
    const cv::Mat m = cv::getRotationMatrix2D(cv::Point2f(src.cols / 2.0f, src.rows / 2.0f), -1.3, 1.0);
    cv::Mat dst = gf5::fx::viewOf(c.scratch());
    cv::warpAffine(src, dst, m, src.size(), cv::INTER_CUBIC, cv::BORDER_CONSTANT, cv::Scalar(255, 255, 255, 255));
    return {true, 0};
}

bench::Registrar deskew(
    "傾き補正 measure on the outline, turn once (ref: OpenCV warpAffine turn alone)",
    [](const bench::Context& c) {
        const int32_t source = gf5::ImageStore::add(skewedPlan(c));
        const std::optional<int32_t> turn = gf5::straighteningTurn(skewedPlan(c));
        bench::Outcome out;
        if (turn && std::abs(*turn + 130) <= 10) {
            gf5::Gf5Effect fx;
            fx.SourceImage = source;
            if (fx.Rotate(*turn, 0, 0, -1, 255, 255, 255, gf5::Gf5Effect::kRotateKeepsSize))
                out = {true, fx.ResultImage};
        }
        gf5::ImageStore::release(source);
        return out;
    },
    opencvTurn, bench::msAtMost(400));

} // namespace
