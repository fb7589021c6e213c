#pragma once
// One call for callers that hold a wall map and a file name: picks DXF or
// SVG by the name's suffix, checks the units and writes the file.
#include "ink/wall_map.h"
#include "vector/plan_vectors.h"
#include <QImage>
#include <QString>
#include <optional>

namespace vectors {

enum class VectorFormat { Dxf, Svg };

// The format a file name asks for (".dxf" or ".svg", any case), if any.
std::optional<VectorFormat> vectorFormatFor(const QString& path);

// Writes the wall map to `path` in the format its suffix names. Refuses, and
// writes nothing, when the name has neither suffix, the units are unusable
// (no resolution) or the map has no size. With a raster, the DXF gets a PNG
// beside it and the SVG embeds it.
WriteResult exportWallMap(const ink::WallMap& map, const PlanUnits& units, const QString& path,
                          const QImage* raster = nullptr);

} // namespace vectors
