// The whole open path: a file of any content read as a document is (the
// program's own readers for JPEG and BMP, Qt's for everything else).
#include "fuzzsupport.h"
#include "imaging/io/imageread.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::startQt();
    gf5::io::limitQtImageReaders();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    gf5::io::readImageFile(fuzzsupport::inputFile(data, size, "input"), nullptr);
    return 0;
}
