#include "size_rules.h"
#include "shell/numbers.h"

namespace processing {

void FitLongerSide(int32_t& width, int32_t& height, int32_t target)
{
    const int32_t longer = height < width ? width : height;
    if (longer == target || target < 1)
        return;
    const double ratio = double(longer) / double(target);
    if (height < width) {
        width = target;
        height = numbers::roundHalfEven(height / ratio);
    } else if (width < height) {
        height = target;
        width = numbers::roundHalfEven(width / ratio);
    } else {
        width = numbers::roundHalfEven(width / ratio);
        height = numbers::roundHalfEven(height / ratio);
    }
}

} // namespace processing
