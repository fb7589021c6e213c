#include "batch/batch_vectors.h"
#include "imaging/effects/effectcore.h"
#include "ink/analyse.h"
#include "vector/vector_export.h"
#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace batch {

QString vectorOutputPath(const QString& dir, const QString& input, const QString& suffix)
{
    return QDir(dir).absoluteFilePath(QFileInfo(input).completeBaseName() + "." + suffix);
}

QString writeVectorFiles(const QImage& image, const QString& input, const Options& o)
{
    if (o.dxfDir.isEmpty() && o.svgDir.isEmpty())
        return {};
    // Whole dots per inch: JPEG stores them so, and reads back truncated.
    const double dpi = std::round(image.dotsPerMeterX() * 0.0254);
    const QImage rgb = gf5::fx::toRgb32(image);
    if (rgb.isNull())
        return QStringLiteral("画像が大きすぎて処理できません");
    ink::Options options;
    options.scale = o.scale;
    const ink::Analysis analysis = ink::analyseWalls(gf5::fx::constViewOf(rgb), dpi, options);
    if (analysis.status != ink::Status::Done)
        return QStringLiteral("壁を読み取れませんでした（%1）").arg(QString::fromStdString(analysis.reason));
    const vectors::PlanUnits units{dpi, double(o.scale)};
    for (const auto& [dir, suffix] : {std::pair{o.dxfDir, QStringLiteral("dxf")}, std::pair{o.svgDir, QStringLiteral("svg")}}) {
        if (dir.isEmpty())
            continue;
        const vectors::WriteResult written = vectors::exportWallMap(analysis.map, units, vectorOutputPath(dir, input, suffix));
        if (!written.ok)
            return written.error;
    }
    return {};
}

} // namespace batch
