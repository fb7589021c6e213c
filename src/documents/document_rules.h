#pragma once
// Rules about document names and the title line.
#include "imaging/io/imagewrite.h"
#include <QString>

namespace documents {

inline const QString kNewImageName = QStringLiteral("新規イメージ");
inline const QString kScanName = QStringLiteral("NoName画像");

// "name  W 600 H 600   24BitColor"
QString titleText(const QString& documentPath, int width, int height, int bitDepth);
// A name counts as JPEG when its last three characters, upper-cased, are
// "JPG" or "PEG"; shorter names never do.
bool IsJpegName(const QString& name);
bool IsBmpName(const QString& name);
// Names ending in ".png" / ".pdf", in any case.
bool IsPngName(const QString& name);
bool IsPdfName(const QString& name);
// The format a save under name writes: JPEG names as JPEG, ".png" as PNG,
// ".pdf" as PDF, every other name as BMP.
gf5::io::FileType SaveTypeForName(const QString& name);
// True when a file (not a folder) of that name exists.
bool FileExists(const QString& path);
// False for the names that stand for no file (a new sheet, a scan, none):
// there is nothing to revert such a document to.
bool hasFileToRevertTo(const QString& documentPath);

} // namespace documents
