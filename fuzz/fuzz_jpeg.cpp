// The JPEG reader on arbitrary bytes, at full size and reduced as for
// thumbnails.
#include "imaging/io/jpegcodec.h"
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    gf5::io::decodeJpeg(data, size, nullptr);
    gf5::io::decodeJpeg(data, size, nullptr, [](const QSize&) { return 4; });
    return 0;
}
