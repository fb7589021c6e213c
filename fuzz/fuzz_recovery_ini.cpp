// The meta file of a recovery copy: arbitrary bytes as recovery.ini. The
// name that comes out is bounded and holds no control character, and what
// is written from it reads back the same.
#include "fuzzsupport.h"
#include "recovery/copy_meta.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const recovery::Meta meta = recovery::readMeta(bytes);
    if (meta.name.toUtf8().size() > recovery::kNameLimit)
        std::abort();
    for (const QChar c : meta.name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            std::abort();
    if (recovery::readMeta(recovery::metaText(meta)).name != meta.name)
        std::abort();
    const QString file = fuzzsupport::inputFile(data, size, "recovery.ini");
    if (recovery::readMetaFile(file).name != meta.name)
        std::abort();
    return 0;
}
