#pragma once
// Benchmark cases. The main program times every registered case on a
// synthetic A3 plan at 400 dpi and prints, per row, our median time, the
// median time of a reference doing the same work with a well-kept library
// (OpenCV, Qt or memcpy) in the same run, the ratio ours / reference and the
// target. Further cases live in their own bench/*.cpp file and register
// themselves with a static Registrar:
//
//   static bench::Registrar viewFit("view rebuild, fit (ref: Qt smooth)",
//       [](const bench::Context& c) { ... return bench::Outcome{true, 0}; },
//       [](const bench::Context& c) { ... the reference ... },
//       bench::ratioAtMost(1.3));
#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace bench {

constexpr int kPlanWidth = 4677, kPlanHeight = 6614, kPlanDpi = 400;
// A2 at the same resolution, for the rows that show growth with size.
constexpr int kA2Width = 6614, kA2Height = 9354;

struct Context {
    int32_t plan = 0;     // the plan in the image store (RGB32, 24 bits)
    QImage planImage;     // the same pixels
    QString folder;       // a scratch folder for files
    QString planJpeg;     // the plan written as JPEG (quality 75)
    QString planBmp;      // the plan written as BMP
    QString name = QStringLiteral("A3"); // the paper size the plan fills
    // A private copy of the plan that references may change in place, made
    // at first use.
    QImage& scratch() const;
    // A second copy of the plan in the image store, for operations that
    // change their source in place; made at first use, released at exit.
    int32_t scratchHandle() const;

private:
    mutable QImage m_scratch;
    mutable int32_t m_scratchHandle = 0;
};

struct Outcome {
    bool ok = false;
    int32_t made = 0; // image created by the run, released after timing
    // Set by a case that times itself because part of a run is setup the
    // row is not about (milliseconds; negative: the whole run counts).
    double ms = -1;
};

using Fn = std::function<Outcome(const Context&)>;

// What a row should reach: ours / reference at most `ratio`, or ours at most
// `ms` milliseconds; neither set: no target.
struct Target {
    double ratio = 0;
    double ms = 0;
};
inline Target ratioAtMost(double r) { return {r, 0}; }
inline Target msAtMost(double ms) { return {0, ms}; }

struct Case {
    QString name;
    Fn run;
    Fn reference = {}; // the same work done by a well-kept library or memcpy; empty: none
    Target target = {};
    bool wholeImage = false; // works on the whole plan: timed again on A2
};

// Cases registered from other bench files; they run after the built-in ones.
std::vector<Case>& registry();

struct Registrar {
    Registrar(const QString& name, Fn fn, Fn reference = {}, Target target = {}, bool wholeImage = false)
    {
        registry().push_back({name, std::move(fn), std::move(reference), target, wholeImage});
    }
};

// The plan written to the file name in the scratch folder (JPEG at quality
// 75), and an image file read into the store.
Outcome writePlan(const Context& c, const char* name, int16_t operation);
Outcome readFile(const QString& path);

// The image operation rows, which run first (bench_imaging.cpp).
std::vector<Case> imagingCases();

// The peak memory section: runs this program again with --peak on the plan
// file and prints what the child reports; false when it failed.
bool reportPeakMemory(const Context& c, const QString& program);
// The child: opens the plan in the editor, takes a snapshot with keypad 5,
// runs an effect (in the other order with effectFirst) and prints its peak
// memory (bench_memory.cpp). Returns the exit code.
int peakMemoryChild(const QString& planFile, bool effectFirst);

// Called before the program ends, while the application still exists (for
// windows a case keeps between runs).
void atExit(std::function<void()> fn);

} // namespace bench
