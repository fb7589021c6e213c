#pragma once
// Reading and writing image files, and the open/save dialogs.
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace gf5 {

class Gf5File : public QObject {
    Q_OBJECT
public:
    explicit Gf5File(QObject* parent = nullptr) : QObject(parent) {}

    enum Operation : int16_t { Read = 0, WriteBmp = 8, WriteJpeg = 10, WritePng = 12, WritePdf = 14 };

    QString FileName;
    int16_t FileOperation = Read;
    int16_t JpegQuality = 75;
    // After a read: the new image (owned by the caller). Before a write: the image to write.
    int32_t ImageHandle = 0;
    // Types offered by the dialogs, as "*;JPG;PNG;BMP;PDF;".
    QString DialogFilter;
    // Title given to a PDF written by WritePdf.
    QString DocumentTitle;
    bool CancelRequested = false;
    QWidget* DialogParent = nullptr;

    // Runs FileOperation. Reads report Progress and stop (returning 0) when
    // CancelRequested is set; CancelRequested is cleared when Execute starts.
    // Writes go to a temporary file beside the target that is renamed over
    // it, so a failed write never damages the old file. A read keeps the
    // file's format and reports its depth (8-bit BMP: 8, grey JPEG: 8);
    // full-colour images are RGB32 with depth 24. Resolution is read and
    // written (JPEG in whole dots per inch, PDF as the page size). On
    // failure ImageHandle is left as it was.
    int32_t Execute();
    // Starts reading path on another thread at once (a file named when the
    // program starts, read while the window is built). The next Read of the
    // same unchanged file takes that result instead of reading again, with
    // no progress reported; any other Read drops it. Pictures large enough
    // to be asked about are not read ahead. With a valid standInBox a JPEG
    // is first decoded reduced, still covering that box: libjpeg's scaled
    // decode takes a fraction of the whole one, so a window can show the
    // picture first; the whole is then read once the next Read asks for it
    // (or after a second), not while the window is being shown.
    static void readAhead(const QString& path, const QSize& standInBox = QSize());
    struct StandIn {
        QImage image;  // reduced; null when there is none
        QSize fullSize; // the whole picture's
    };
    // The reduced picture of the file being read ahead, once decoded; none
    // when path is not the one read ahead or was not reduced.
    static StandIn readAheadStandIn(const QString& path);
    // Nonzero when a name was chosen; it is then in FileName.
    int32_t ShowOpenDialog();
    int32_t ShowSaveDialog();

    // Why the last Execute failed, in words for the user (empty after success).
    QString LastError;
    // Set when the last Execute stopped because the user chose so (a cancel
    // during the read, or no to the question about a very large picture):
    // nothing needs telling then.
    bool Declined = false;

    // Asked before a read that would make a picture taking more than
    // io::kLargePictureBytes while edited (its size read from the file's
    // header first): given the path, the pixel size and those bytes, returns
    // whether to go on. Without it such pictures are read without asking.
    static std::function<bool(const QString& path, const QSize& size, qint64 bytes)> largePictureQuestion;

    // Tests and scripted runs can answer the dialogs: given true for the
    // save dialog, false for open, return the chosen path or empty for cancel.
    static std::function<QString(bool save)> dialogOverride;

signals:
    void Progress(int16_t percent);
};

} // namespace gf5
