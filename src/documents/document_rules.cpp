#include "document_rules.h"
#include <QFileInfo>

namespace documents {

QString titleText(const QString& documentPath, int width, int height, int bitDepth)
{
    return QString("%1  W %2 H %3   %4BitColor").arg(documentPath).arg(width).arg(height).arg(bitDepth);
}

bool IsJpegName(const QString& name)
{
    if (name.size() < 3)
        return false;
    const QString tail = name.right(3).toUpper();
    return tail == "JPG" || tail == "PEG";
}

bool IsBmpName(const QString& name) { return name.size() >= 3 && name.right(3).toUpper() == "BMP"; }

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

} // namespace documents
