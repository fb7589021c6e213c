#include "documents/drawing_export.h"
#include "imaging/effects/effectcore.h"
#include "ink/analyse.h"
#include "vector/vector_export.h"
#include <QFileInfo>

namespace documents {

bool IsDrawingName(const QString& name)
{
    return vectors::vectorFormatFor(name).has_value();
}

DrawingExport exportDrawing(const QImage& canvas, const QString& path, double dpi, bool dpiFromSettings, int scale,
                            bool withPicture)
{
    DrawingExport out;
    const QString file = QFileInfo(path).fileName();
    auto failed = [&](const QString& reason) {
        out.message = QStringLiteral("「%1」に図面を保存できませんでした。\n%2").arg(file, reason);
        return out;
    };
    const QImage rgb = gf5::fx::toRgb32(canvas);
    if (rgb.isNull())
        return failed(QStringLiteral("画像を読み取れませんでした。"));
    ink::Options options;
    options.scale = scale;
    const ink::Analysis analysis = ink::analyseWalls(gf5::fx::constViewOf(rgb), dpi, options);
    if (analysis.status != ink::Status::Done)
        return failed(QStringLiteral("壁を読み取れませんでした（%1）。").arg(QString::fromStdString(analysis.reason)));
    const vectors::WriteResult written = vectors::exportWallMap(analysis.map, {dpi, double(scale)}, path, withPicture ? &rgb : nullptr);
    if (!written.ok)
        return failed(written.error);

    const ink::WallMap& map = analysis.map;
    out.ok = true;
    out.walls = int(map.walls.size());
    if (map.walls.empty())
        out.message = QStringLiteral("壁が見つからなかったため、壁のない図面を「%1」に書き出しました。").arg(file);
    else
        out.message = QStringLiteral("「%1」に図面を書き出しました（壁 %2、開口 %3、建具 %4、縮尺 1/%5）。")
                          .arg(file)
                          .arg(map.walls.size())
                          .arg(map.openings.size())
                          .arg(map.doors.size())
                          .arg(scale);
    if (!written.rasterPath.isEmpty())
        out.message += QStringLiteral("\n画像を「%1」として添えました。").arg(QFileInfo(written.rasterPath).fileName());
    if (dpiFromSettings)
        out.message += QStringLiteral("\n解像度の記録がないため %1dpi として扱っています。").arg(qRound(dpi));
    out.message += QStringLiteral("\n図面は書き出しです。画像そのものは保存されていません。");
    return out;
}

} // namespace documents
