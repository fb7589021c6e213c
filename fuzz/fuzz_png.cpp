// The PNG reader on arbitrary bytes; a decoded picture must be fully
// defined: every row readable, a colour table entry for every index.
#include "fuzzsupport.h"
#include "imaging/io/pngcodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const gf5::io::PngImage png = gf5::io::decodePng(data, qint64(size), nullptr);
    if (png.image.isNull()) {
        if (png.error.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    return fuzzsupport::requireDefined(png.image, 1);
}
