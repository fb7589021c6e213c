#pragma once
// Size rules of the resize command, free of any window.
#include <cstdint>

namespace processing {

// Scales width and height so that the longer side becomes target, keeping
// the proportions (halves round to the even neighbour). Sides already at
// the target, or a target below 1, leave both unchanged.
void FitLongerSide(int32_t& width, int32_t& height, int32_t target);

} // namespace processing
