#pragma once
// Reading an image file with the checks every outside file gets: only a
// regular file is opened (a pipe, device, socket or folder is refused at
// once), the decoder is chosen by the file's first bytes (JPEG, PNG and BMP
// by the program's own readers, everything else by Qt's), and a file is
// refused before its image is allocated when its bytes cannot hold the
// pixels it claims.
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace gf5::io {

struct ReadOutcome {
    QImage image; // in a format the image store keeps (see normaliseImage)
    int depth = 24;
    QString error; // empty on success
    bool stopped = false; // the caller cancelled, or did not approve the size
};

// Reads path. report(percent), when given, returns false to cancel; it is
// called while the file's bytes arrive too (see loadFile), so a slow source
// can be left. With a valid box a JPEG may be decoded at a half, quarter or
// eighth of its size, still covering box, and Qt's readers scale to fit it.
// approve, when given, is asked with the size the file's header claims
// before any image is made; false stops the read.
ReadOutcome readImageFile(const QString& path, const std::function<bool(int)>& report, const QSize& box = QSize(),
                          const std::function<bool(const QSize&)>& approve = nullptr);

// The size a picture file claims, from its header alone (nothing is
// decoded), so that a caller can ask before a very large image is made. The
// file is refused as readImageFile refuses it at once: missing, not a
// regular file, empty; and a header without a size is an error.
struct ImagePeek {
    QSize size;    // invalid on error
    QString error; // empty on success
};
ImagePeek peekImageFile(const QString& path);

// Memory a picture of size takes while it is edited (four bytes a pixel),
// and the amount above which the editor asks before making one.
qint64 editingBytes(const QSize& size);
constexpr qint64 kLargePictureBytes = 1000LL * 1000 * 1000;

// Sets Qt's own image readers' allocation limit to the imaging layer's
// limit for one image, so no reader allocates more whatever a file claims.
void limitQtImageReaders();

} // namespace gf5::io
