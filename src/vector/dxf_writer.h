#pragma once
// The traced plan as an ASCII DXF file (AutoCAD 2000, AC1015) that common CAD
// programs open: a complete header (millimetres, extents), the symbol tables,
// the model and paper space blocks, the entities on the layers 壁, 建具 and
// 開口, and the objects dictionary. Written by hand: the format is plain text
// and the libraries that write it are GPL or not packaged here.
//
// Names outside ASCII (the Japanese layer names, a picture's file name) are
// written as \U+XXXX escapes, the form DXF versions before 2007 use for any
// character, so the file itself is pure ASCII whatever the reader's code page.
#include "vector/plan_vectors.h"
#include <QByteArray>
#include <QImage>
#include <QString>

namespace vectors {

// The layer that holds the optional picture of the plan.
QString rasterLayerName();

// Where writeDxf puts the picture beside `dxfPath`: same folder and base name
// with "_image.png", so it never replaces a PNG of the plan's own name.
QString rasterPathFor(const QString& dxfPath);

// The whole DXF text. With a non-empty rasterFileName the file also holds an
// IMAGE entity (on the picture's layer, under the vectors) referring to that
// PNG by name, scaled so its pixels lie exactly under the traced geometry.
QByteArray dxfText(const PlanVectors& plan, const QString& rasterFileName = {});

// Writes the DXF to `path` (replacing it whole or not at all). With a raster,
// also writes it as a PNG at rasterPathFor(path) and refers to it.
WriteResult writeDxf(const PlanVectors& plan, const QString& path, const QImage* raster = nullptr);

} // namespace vectors
