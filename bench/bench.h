#pragma once
// Benchmark cases. The main program times every registered case on a
// synthetic A3 plan at 400 dpi and prints median times. Further cases (the
// canvas repaint, for instance) live in their own bench/*.cpp file and
// register themselves with a static Registrar:
//
//   static bench::Registrar canvasRepaint("canvas repaint (fit)", [](const bench::Context& c) {
//       ... draw c.planImage ...;
//       return bench::Outcome{true, 0};
//   });
#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace bench {

struct Context {
    int32_t plan = 0;     // the plan in the image store (RGB32, 24 bits)
    QImage planImage;     // the same pixels
    QString folder;       // a scratch folder for files
    QString planJpeg;     // the plan written as JPEG (quality 75)
    QString planBmp;      // the plan written as BMP
};

struct Outcome {
    bool ok = false;
    int32_t made = 0; // image created by the run, released after timing
};

using Fn = std::function<Outcome(const Context&)>;

struct Case {
    QString name;
    Fn run;
};

// Cases registered from other bench files; they run after the built-in ones.
std::vector<Case>& registry();

struct Registrar {
    Registrar(const QString& name, Fn fn) { registry().push_back({name, std::move(fn)}); }
};

} // namespace bench
