// PNG and PDF files of the plan: writing both, reading PNG back, each beside
// the format's own library (libpng with the same filter and level; the
// img2pdf command, which embeds a PNG's compressed data as it is, for a
// lossless PDF). Each writing row prints the file sizes once per plan.
#include "bench.h"
#include "reference_files.h"
#include "imaging/io/gf5file.h"
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

using bench::Context;
using bench::Outcome;
using gf5::Gf5File;

namespace {

// Prints the sizes of the files a writing row and its reference made, once
// per plan size.
void printSizes(const Context& c, const char* what, const QString& ours, const QString& reference)
{
    static QStringList shown;
    const QString key = c.name + what;
    if (shown.contains(key) || !QFileInfo::exists(ours))
        return;
    shown << key;
    std::printf("    %s %s: ours %.2f MB", qPrintable(c.name), what, QFileInfo(ours).size() / 1e6);
    if (QFileInfo::exists(reference))
        std::printf(", reference %.2f MB", QFileInfo(reference).size() / 1e6);
    std::printf("\n");
}

// The plan written as PNG by our writer, made once for the read rows.
QString planPng(const Context& c)
{
    const QString path = c.folder + "/plan.png";
    if (!QFileInfo::exists(path))
        bench::writePlan(c, "plan.png", Gf5File::WritePng);
    return path;
}

const bench::Registrar pngWrite(
    "PNG write (ref: libpng, same filter and level)",
    [](const Context& c) { return bench::writePlan(c, "write.png", Gf5File::WritePng); },
    [](const Context& c) {
        const Outcome out = bench::ref::libpngWrite(c.planImage, c.folder + "/ref.png");
        printSizes(c, "PNG", c.folder + "/write.png", c.folder + "/ref.png");
        return out;
    },
    bench::ratioAtMost(1.2), true);

const bench::Registrar pngRead(
    "PNG read (ref: libpng simplified reader into a buffer)",
    [](const Context& c) {
        const QString path = planPng(c);
        QElapsedTimer timer;
        timer.start();
        Outcome out = bench::readFile(path);
        out.ms = timer.nsecsElapsed() / 1e6;
        return out;
    },
    [](const Context& c) {
        const QString path = planPng(c);
        QElapsedTimer timer;
        timer.start();
        Outcome out = bench::ref::libpngRead(path, c.scratch());
        out.ms = timer.nsecsElapsed() / 1e6;
        return out;
    },
    bench::ratioAtMost(1.3), true);

const bool haveImg2pdf = !bench::ref::img2pdfProgram().isEmpty();

const bench::Registrar pdfWrite(
    haveImg2pdf ? "PDF write, lossless (ref: img2pdf command on the plan's PNG)"
                : "PDF write, lossless (img2pdf not installed: no ref)",
    [](const Context& c) {
        const Outcome out = bench::writePlan(c, "write.pdf", Gf5File::WritePdf);
        if (!haveImg2pdf)
            printSizes(c, "PDF", c.folder + "/write.pdf", QString());
        return out;
    },
    haveImg2pdf ? bench::Fn([](const Context& c) {
        const QString png = planPng(c);
        QElapsedTimer timer;
        timer.start();
        Outcome out = bench::ref::img2pdf(png, c.folder + "/ref.pdf");
        out.ms = timer.nsecsElapsed() / 1e6;
        printSizes(c, "PDF", c.folder + "/write.pdf", c.folder + "/ref.pdf");
        return out;
    })
                : bench::Fn(),
    {}, true);

} // namespace
