#include "vector/vector_export.h"
#include "vector/dxf_writer.h"
#include "vector/svg_writer.h"

namespace vectors {

std::optional<VectorFormat> vectorFormatFor(const QString& path)
{
    if (path.endsWith(QLatin1String(".dxf"), Qt::CaseInsensitive))
        return VectorFormat::Dxf;
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        return VectorFormat::Svg;
    return std::nullopt;
}

WriteResult exportWallMap(const ink::WallMap& map, const PlanUnits& units, const QString& path, const QImage* raster)
{
    WriteResult result;
    const auto format = vectorFormatFor(path);
    if (!format) {
        result.error = QStringLiteral("%1 は DXF でも SVG でもありません。").arg(path);
        return result;
    }
    if (!units.valid()) {
        result.error = QStringLiteral("解像度または縮尺が正しくないため、図面を書き出せません。");
        return result;
    }
    if (map.width <= 0 || map.height <= 0) {
        result.error = QStringLiteral("画像の大きさがないため、図面を書き出せません。");
        return result;
    }
    const PlanVectors plan = buildPlanVectors(map, units);
    return *format == VectorFormat::Dxf ? writeDxf(plan, path, raster) : writeSvg(plan, path, raster);
}

} // namespace vectors
