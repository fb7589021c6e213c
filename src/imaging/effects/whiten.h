#pragma once
// Paper made white. A scan of a grey, yellowed or unevenly lit sheet, or one
// with the dark band a scanner's lid leaves along an edge, has paper of many
// shades. The paper's colour is estimated around every point (on a reduced
// copy, where closing with a kernel wider than any line wipes the ink out)
// and divided out of each pixel, channel by channel: paper becomes 255 and
// ink keeps its darkness relative to the paper it lies on.
#include <QImage>
#include <cstdint>
#include <opencv2/core.hpp>

namespace gf5 {

class Gf5Effect;

// The paper's colour on a grid of cells `scale` pixels square, as the factor
// that takes each channel to white there (CV_32FC3, B, G, R).
struct PaperLight {
    cv::Mat gain;
    int scale = 1;
};

// The paper light of an RGB32 picture at its resolution in dots per inch
// (below 100: taken as 300).
PaperLight estimatePaper(const QImage& rgb32, double dpi);

// dst := src with the paper divided out; both are RGB32 views of the same
// size whose top-left pixel lies at `origin` in the estimated picture.
void divideOutPaper(const PaperLight& light, const cv::Mat& src, cv::Mat& dst, cv::Point origin);

// The whole picture with its paper made white (RGB32, resolution kept); null
// when the picture is null or memory runs out.
QImage whitenPaper(const QImage& picture);

// The same as an operation of the effect control: SourceImage with its paper
// made white, inside the region (AreaMode) only, the paper estimated over
// the whole picture; the product in ResultImage. Nonzero on success, 0 on
// failure or cancellation.
int32_t whitenPaper(Gf5Effect& effect, const int32_t* xs, const int32_t* ys, int n);

} // namespace gf5
