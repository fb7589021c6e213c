#include "document_rules.h"
#include <QFileInfo>

namespace documents {

QString titleText(const QString& documentPath, int width, int height, int bitDepth)
{
    // One format with every value at once: a "%1" in the name stays as it is.
    return QString("%1  W %2 H %3   %4BitColor")
        .arg(documentPath, QString::number(width), QString::number(height), QString::number(bitDepth));
}

bool IsJpegName(const QString& name)
{
    if (name.size() < 3)
        return false;
    const QString tail = name.right(3).toUpper();
    return tail == "JPG" || tail == "PEG";
}

bool IsBmpName(const QString& name) { return name.size() >= 3 && name.right(3).toUpper() == "BMP"; }

bool IsPngName(const QString& name) { return name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive); }

bool IsPdfName(const QString& name) { return name.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive); }

gf5::io::FileType SaveTypeForName(const QString& name)
{
    using gf5::io::FileType;
    if (IsJpegName(name))
        return FileType::Jpeg;
    if (IsPngName(name))
        return FileType::Png;
    if (IsPdfName(name))
        return FileType::Pdf;
    return FileType::Bmp;
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

bool hasFileToRevertTo(const QString& documentPath)
{
    return !documentPath.isEmpty() && documentPath != kNewImageName && documentPath != kScanName;
}

} // namespace documents
