#pragma once
// The traced plan as SVG: printed at the size of the plan's paper
// (width="420mm" for an A3 sheet), with user units in millimetres at the
// plan's real size, so the coordinates read like the DXF's (y down, as SVG
// has it). Each layer is a group that Inkscape shows as a layer; the picture
// of the plan, when given, is embedded as a PNG in the lowest group.
#include "vector/plan_vectors.h"
#include <QByteArray>
#include <QImage>
#include <QString>

namespace vectors {

QByteArray svgText(const PlanVectors& plan, const QImage* raster = nullptr);

// Writes the SVG to `path` (replacing it whole or not at all).
WriteResult writeSvg(const PlanVectors& plan, const QString& path, const QImage* raster = nullptr);

} // namespace vectors
