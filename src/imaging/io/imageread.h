#pragma once
// Reading an image file with the checks every outside file gets: the decoder
// is chosen by the file's first bytes (JPEG and BMP by the program's own
// readers, everything else by Qt's), and a file is refused before its image
// is allocated when its bytes cannot hold the pixels it claims.
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace gf5::io {

struct ReadOutcome {
    QImage image; // in a format the image store keeps (see normaliseImage)
    int depth = 24;
    QString error; // empty on success
};

// Reads path. report(percent), when given, returns false to cancel. With a
// valid box a JPEG may be decoded at a half, quarter or eighth of its size,
// still covering box, and Qt's readers scale to fit it.
ReadOutcome readImageFile(const QString& path, const std::function<bool(int)>& report, const QSize& box = QSize());

// Sets Qt's own image readers' allocation limit to the imaging layer's
// limit for one image, so no reader allocates more whatever a file claims.
void limitQtImageReaders();

} // namespace gf5::io
