#pragma once
// The tone curve that makes near-white pure white before white is left out
// of a paste: up to 210 stays, 210..220 stretches to 210..255, 220 and above
// becomes white.
#include <cstdint>

namespace clipboard {
inline constexpr int32_t kWidenWhiteIn[6] = {0, 64, 128, 210, 220, 255};
inline constexpr int32_t kWidenWhiteOut[6] = {0, 64, 128, 210, 255, 255};
} // namespace clipboard
