// PNG and PDF files of the A3 plan: writing both, reading PNG back.
#include "bench.h"
#include "imaging/io/gf5file.h"
#include <QElapsedTimer>
#include <QFileInfo>

using bench::Context;
using gf5::Gf5File;

namespace {

const bench::Registrar pngWrite("PNG write",
                                [](const Context& c) { return bench::writePlan(c, "write.png", Gf5File::WritePng); });

// Reads the file the write row made; written here first when that row did
// not run (--filter).
const bench::Registrar pngRead("PNG read", [](const Context& c) {
    const QString path = c.folder + "/write.png";
    if (!QFileInfo::exists(path))
        bench::writePlan(c, "write.png", Gf5File::WritePng);
    QElapsedTimer timer;
    timer.start();
    bench::Outcome out = bench::readFile(path);
    out.ms = timer.nsecsElapsed() / 1e6;
    return out;
});

const bench::Registrar pdfWrite("PDF write (lossless)",
                                [](const Context& c) { return bench::writePlan(c, "write.pdf", Gf5File::WritePdf); });

} // namespace
