// Writing a traced plan as a DXF drawing: the ink analysis of the page plus
// the vector file, beside the analysis alone, so the row shows what turning
// the wall map into a file adds to the reading.
#include "bench.h"
#include "ink/analyse.h"
#include "plan.h"
#include "vector/dxf_writer.h"
#include "vector/plan_vectors.h"
#include <QDir>
#include <cstdio>

namespace {

using bench::Context;
using bench::Outcome;

constexpr double kScale = 100;

// A generated A3 plan at 400 dpi as the editor's tracing leaves it (pure
// black walls, door leaves, arcs and sliding panes on white), made once.
const cv::Mat& tracedPlan()
{
    static cv::Mat page;
    if (page.empty()) {
        page = plangen::renderTraced(plangen::generatePlan(7), bench::kPlanDpi).image;
        bench::atExit([] { page.release(); });
    }
    return page;
}

ink::Analysis analyse()
{
    ink::Options options;
    options.scale = kScale;
    return ink::analyseWalls(tracedPlan(), bench::kPlanDpi, options);
}

Outcome exportDxf(const Context& c)
{
    const ink::Analysis analysis = analyse();
    if (analysis.status != ink::Status::Done)
        return {};
    const auto plan = vectors::buildPlanVectors(analysis.map, {double(bench::kPlanDpi), kScale});
    const auto written = vectors::writeDxf(plan, QDir(c.folder).filePath("traced.dxf"));
    static bool told = false;
    if (!told) {
        told = true;
        std::printf("    the plan: %zu walls, %zu openings, %zu doors -> %zu lines and outlines, %zu arcs\n",
                    analysis.map.walls.size(), analysis.map.openings.size(), analysis.map.doors.size(),
                    plan.polylines.size(), plan.arcs.size());
    }
    return Outcome{written.ok && !analysis.map.walls.empty(), 0};
}

Outcome analysisAlone(const Context&)
{
    const ink::Analysis analysis = analyse();
    return Outcome{analysis.status == ink::Status::Done && !analysis.map.walls.empty(), 0};
}

const bench::Registrar dxfExport("DXF export of a traced A3 plan (ref: ink analysis alone)", exportDxf,
                                 analysisAlone, bench::ratioAtMost(1.5));

} // namespace
