// The BMP reader on arbitrary bytes; a decoded picture must be fully
// defined: every row readable, every pixel's index inside the colour table.
#include "fuzzsupport.h"
#include "imaging/io/bmpcodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const gf5::io::BmpImage bmp = gf5::io::decodeBmp(data, qint64(size), nullptr);
    if (bmp.image.isNull())
        return 0;
    // A 1-bit BMP always carries its two colours.
    if (bmp.image.format() == QImage::Format_Mono && bmp.image.colorCount() != 2)
        std::abort();
    return fuzzsupport::requireDefined(bmp.image, 2);
}
