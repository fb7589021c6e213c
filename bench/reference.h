#pragma once
// The reference work rows are measured against: the same job done by a
// well-kept library (OpenCV, Qt) or by memcpy, on buffers that already
// exist, so a row's ratio shows our overhead and nothing else.
#include "bench.h"
#include <QImage>
#include <QSize>
#include <opencv2/core.hpp>

namespace bench::ref {

// memcpy of src's pixel bytes into dst, which has the same size and format.
Outcome copyBytes(const QImage& src, QImage& dst);

// A 256-entry table (CV_8UC1, 1 x 256) through the points of a piecewise
// linear curve, as the tone curve reads them.
cv::Mat curveTable(const int32_t* in, const int32_t* out, int count);
// Every byte of img through table, in place, by cv::LUT on a one-channel
// view of the whole buffer (OpenCV's fast path; on four channels it takes a
// slow scalar one).
Outcome lutInPlace(QImage& img, const cv::Mat& table);

// Qt's smooth scaling of src to size (a new image, as Qt makes it).
Outcome qtSmooth(const QImage& src, QSize size);

} // namespace bench::ref
