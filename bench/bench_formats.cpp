// PNG and PDF files of the A3 plan: writing both, reading PNG back.
#include "bench.h"
#include "imaging/io/gf5file.h"

using bench::Context;
using bench::Outcome;
using gf5::Gf5File;

namespace {

Outcome write(const Context& c, const char* name, int16_t operation)
{
    Gf5File f;
    f.ImageHandle = c.plan;
    f.FileName = c.folder + "/" + name;
    f.FileOperation = operation;
    return Outcome{f.Execute() != 0, 0};
}

const bench::Registrar pngWrite("PNG write", [](const Context& c) { return write(c, "write.png", Gf5File::WritePng); });

const bench::Registrar pngRead("PNG read", [](const Context& c) {
    Gf5File f;
    f.FileName = c.folder + "/write.png";
    f.FileOperation = Gf5File::Read;
    const bool ok = f.Execute();
    return Outcome{ok, ok ? f.ImageHandle : 0};
});

const bench::Registrar pdfWrite("PDF write (lossless)", [](const Context& c) { return write(c, "write.pdf", Gf5File::WritePdf); });

} // namespace
