#pragma once
// The resolution an image file states in its header, read from the bytes
// themselves: a file that states none is told apart from one that states
// 96 dpi, which an image decoder reports alike.
#include "resolution_rules.h"
#include <QByteArray>
#include <QString>
#include <optional>

namespace scale {

// JPEG (JFIF density in dots per inch or per cm; else the EXIF X/Y
// resolution), PNG (pHYs in dots per metre) and BMP (pixels per metre of an
// info header). Empty when the format is another or states no resolution
// (JFIF aspect ratio only, pHYs of unknown unit, a BMP core header). A
// stated 0 is returned as 0.
std::optional<StatedResolution> statedResolution(const QByteArray& head);
// The same for the first bytes of the file at path; empty when unreadable.
std::optional<StatedResolution> statedResolutionOfFile(const QString& path);

} // namespace scale
