#pragma once
// Reading one picture file as a small thumbnail, safely enough to run on a
// worker thread over files nobody checked: the file is read once, its size
// is bounded, and a header that claims more pixels than the file's bytes can
// hold is refused before any pixel memory is allocated.
#include <QImage>
#include <QSize>
#include <QString>

namespace gf5 {

// Largest file read for a thumbnail.
constexpr qint64 kMaxThumbnailFileBytes = qint64(256) << 20;

// The picture of path fitted into box (RGB32, never larger than box), or a
// null image when the file cannot be read, is too large or is implausible.
QImage loadThumbnail(const QString& path, const QSize& box);

// The same for bytes already read.
QImage thumbnailFromBytes(const QByteArray& bytes, const QSize& box);

// True when a picture of claimed size may come from a file of fileBytes
// bytes: compressed formats reach at most about a thousand pixels per byte.
bool plausiblePixelCount(const QSize& claimed, qint64 fileBytes);

} // namespace gf5
