#pragma once
// The traced plan as drawing primitives in millimetres at the plan's real
// size, ready for a vector file: walls, doors and openings on their layers.
// Both the DXF and the SVG writer draw from this one description, so the two
// files always hold the same geometry.
//
// Coordinates: millimetres, origin at the image's bottom-left corner, y up
// (the CAD convention). A pixel coordinate (x, y) of the wall map becomes
// (x * k, (height - y) * k) with k = 25.4 / dpi * scaleDenominator.
#include "ink/wall_map.h"
#include <QString>
#include <vector>

namespace vectors {

// How big one pixel is in reality: the image's resolution on paper and the
// drawing's scale (1:scaleDenominator; 1 when the image is already full size).
struct PlanUnits {
    double dpi = 0;
    double scaleDenominator = 1;

    bool valid() const;
    double mmPerPixel() const { return 25.4 / dpi * scaleDenominator; }
};

enum class Layer {
    Walls,    // 壁
    Doors,    // 建具: leaves, swing arcs, sliding panes
    Openings, // 開口
};

// The layer's name as it appears in the files.
QString layerName(Layer layer);

struct MmPoint {
    double x = 0;
    double y = 0;
};

// An open polyline of two points is a plain line.
struct Polyline {
    Layer layer = Layer::Walls;
    std::vector<MmPoint> points;
    bool closed = false;
};

// A circular arc running counter-clockwise (y up) from startDeg to endDeg.
struct Arc {
    Layer layer = Layer::Doors;
    MmPoint centre;
    double radius = 0;
    double startDeg = 0;
    double endDeg = 0;
};

struct PlanVectors {
    int widthPx = 0; // the traced image's size
    int heightPx = 0;
    double mmPerPixel = 0;
    double scaleDenominator = 1;
    double widthMm = 0; // the image's extent at real size
    double heightMm = 0;
    int wallCount = 0; // walls the map held (a wall may give one or two entities)
    std::vector<Polyline> polylines;
    std::vector<Arc> arcs;

    // The image's size on paper, at its own resolution.
    double paperWidthMm() const { return widthMm / scaleDenominator; }
    double paperHeightMm() const { return heightMm / scaleDenominator; }
};

// Draws the wall map: a double wall as its two faces (lines), a solid wall as
// the closed outline of its band, each broken at the wall's openings (the
// map's wall line runs on through them), an opening as the closed outline of the gap
// across its wall (a line along the centre when it lies between walls), a
// hinged door as its leaf and its swing arc, a sliding door as its panes.
// `units` must be valid.
PlanVectors buildPlanVectors(const ink::WallMap& map, const PlanUnits& units);

// The outcome of writing a vector file.
struct WriteResult {
    bool ok = false;
    QString error;         // why it failed, in Japanese, when !ok
    QString rasterPath;    // the PNG written beside a DXF, when one was asked for
};

} // namespace vectors
