#include "batch/batch_walls.h"
#include "ink/analyse.h"
#include "ink/wall_map_json.h"
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cmath>

namespace batch {

QString wallsFileFor(const QString& input, const QString& dir)
{
    return QDir(dir).absoluteFilePath(QFileInfo(input).completeBaseName() + ".walls.json");
}

QString writeWallMap(const QImage& image, const QString& path)
{
    // The analysis reads grey or four-channel rows in place.
    const QImage rows = image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_RGB32 ||
                                image.format() == QImage::Format_ARGB32
                            ? image
                            : image.convertToFormat(QImage::Format_RGB32);
    if (rows.isNull())
        return QStringLiteral("画像が大きすぎて壁を読めません");
    const cv::Mat view(rows.height(), rows.width(), rows.format() == QImage::Format_Grayscale8 ? CV_8UC1 : CV_8UC4,
                       const_cast<uchar*>(rows.constBits()), size_t(rows.bytesPerLine()));
    const double dpi = std::round(rows.dotsPerMeterX() * 0.0254);
    const ink::Analysis a = ink::analyseWalls(view, dpi > 0 ? dpi : 96);
    if (a.status != ink::Status::Done)
        return QStringLiteral("壁を読めません（%1）").arg(QString::fromStdString(a.reason));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile out(path);
    const std::string json = ink::toJson(a.map) + "\n";
    if (!out.open(QIODevice::WriteOnly) || out.write(json.data(), qint64(json.size())) != qint64(json.size()) ||
        !out.commit())
        return QStringLiteral("壁の JSON を書き込めません: %1").arg(path);
    return {};
}

} // namespace batch
