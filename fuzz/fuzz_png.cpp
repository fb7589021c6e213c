// The PNG reader on arbitrary bytes; a decoded picture must be fully
// defined: every row readable, a colour table entry for every index.
#include "imaging/io/pngcodec.h"
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const gf5::io::PngImage png = gf5::io::decodePng(data, qint64(size), nullptr);
    const QImage& img = png.image;
    if (img.isNull()) {
        if (png.error.isEmpty())
            std::abort(); // a refusal always says why
        return 0;
    }
    if (img.format() == QImage::Format_Mono && img.colorCount() < 1)
        std::abort();
    unsigned sum = 0;
    for (int y = 0; y < img.height(); ++y) {
        const uchar* line = img.constScanLine(y);
        for (qsizetype i = 0; i < img.bytesPerLine(); ++i)
            sum += line[i];
        if (img.format() == QImage::Format_Indexed8)
            for (int x = 0; x < img.width(); ++x)
                if (line[x] >= img.colorCount())
                    std::abort();
    }
    return int(sum & 0);
}
