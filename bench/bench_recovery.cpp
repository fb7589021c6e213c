// The recovery copy of the whole plan: written a megabyte of rows at a time
// beside the old copy and renamed over it, as the periodic copy and a close
// with unsaved work do, beside the imaging layer's own BMP writer writing
// the same picture in one go.
#include "bench.h"
#include "imaging/io/gf5file.h"
#include "recovery/bmp_slice_writer.h"

namespace {
const bench::Registrar recoveryCopy(
    "recovery copy, whole plan (ref: imaging layer's BMP writer)",
    [](const bench::Context& c) {
        return bench::Outcome{recovery::writeBmp(c.folder + "/recovery.bmp", c.planImage), 0};
    },
    [](const bench::Context& c) { return bench::writePlan(c, "ref-recovery.bmp", gf5::Gf5File::WriteBmp); },
    bench::ratioAtMost(1.3), true);
}
