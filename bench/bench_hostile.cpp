// Reading a file's bytes on a worker thread (so a slow folder can be left
// from the progress window) beside a plain read on the calling thread; and
// refusing a small hostile file beside merely reading its bytes: a refusal
// should cost about what reading the file does, whatever size it claims.
#include "bench.h"
#include "imaging/effects/effectcore.h"
#include "imaging/io/fileload.h"
#include "imaging/io/imageread.h"
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

using bench::Context;
using bench::Outcome;

namespace {

Outcome plainRead(const QString& path)
{
    QFile f(path);
    return Outcome{f.open(QIODevice::ReadOnly) && !f.readAll().isEmpty(), 0};
}

const QString kHostile = QStringLiteral(ZORVAT_SOURCE_DIR "/tests/imaging/data/hostile/jpeg-arith-30000x30000-short.jpg");

const bench::Registrar planBytes(
    "plan BMP bytes read on a worker thread (ref: QFile::readAll on the caller's thread)",
    [](const Context& c) { return Outcome{!gf5::io::loadFile(c.planBmp, nullptr).bytes.isEmpty(), 0}; },
    [](const Context& c) { return plainRead(c.planBmp); }, bench::ratioAtMost(1.2));

const bench::Registrar hostileRefusal(
    "refusing a 215-byte arithmetic JPEG claiming 30000 x 30000 (ref: reading its bytes)",
    [](const Context&) {
        gf5::fx::resetLargestAllocation();
        const gf5::io::ReadOutcome read = gf5::io::readImageFile(kHostile, nullptr);
        static bool told = false;
        if (!told) {
            told = true;
            std::printf("    largest image made while refusing: %lld bytes\n",
                        static_cast<long long>(gf5::fx::largestAllocation()));
        }
        return Outcome{read.image.isNull() && !read.error.isEmpty(), 0};
    },
    [](const Context&) { return plainRead(kHostile); }, bench::msAtMost(50));

} // namespace
