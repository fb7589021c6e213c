#pragma once
// Per-channel tone maps applied to RGB32 pixels. The maps are looked at once
// and the cheapest pass that gives the same bytes is chosen: nothing or a
// copy for identity maps, saturating byte arithmetic when every channel is
// shifted by the same amount (brightness), a single table for a curve on one
// channel, three tables otherwise. Alpha always comes out opaque.
#include <QtGlobal>
#include <cstdint>
#include <opencv2/core.hpp>

namespace gf5::fx {

struct ToneMaps {
    uchar blue[256], green[256], red[256];
};

// The curve through the points (in[i], out[i]), i < count (count >= 1):
// straight pieces between them in order of input level, the end outputs
// beyond the first and last input, halves rounded up.
void curveMap(const int32_t* in, const int32_t* out, int count, uchar curve[256]);

// The map of every channel v -> clamp(v + delta).
ToneMaps shiftMaps(int delta);

// dst = maps(src), pixel by pixel; src and dst are CV_8UC4 views of the same
// size and may be the same pixels (in place). Rows are shared out between
// the cores.
void applyToneMaps(const ToneMaps& maps, const cv::Mat& src, cv::Mat& dst);

} // namespace gf5::fx
