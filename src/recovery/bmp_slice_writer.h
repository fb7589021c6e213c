#pragma once
// Writes a picture as a 24-bit BMP row range by row range, so that a large
// picture can go to disk in small pieces while the editor is idle. Rows go
// into "<path>.part"; finish() renames that over path in one step, so path
// always holds a whole picture: the previous one until the new one is
// complete, never neither.
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>

namespace recovery {

class BmpSliceWriter {
public:
    ~BmpSliceWriter() { abort(); }
    bool begin(const QString& path, int width, int height, int dotsPerMeterX, int dotsPerMeterY);
    // Writes rows [from, to) of image (of the size given to begin()).
    bool writeRows(const QImage& image, int from, int to);
    // Puts the written picture in place of path.
    bool finish();
    // Stops and removes the part written; path is left as it was.
    void abort();
    bool active() const { return m_file.isOpen(); }

    static QString partPath(const QString& path) { return path + ".part"; }

private:
    QFile m_file;
    QString m_path;
    int m_width = 0, m_height = 0;
    qint64 m_stride = 0;
    QByteArray m_buffer;
};

// Rows of a picture width wide that make about a megabyte of BMP.
int rowsPerStep(int width);

// Writes the whole of image to path the same way (write beside, rename over).
bool writeBmp(const QString& path, const QImage& image);

// Renames from over to in one step, replacing what to held.
bool replaceFile(const QString& from, const QString& to);

} // namespace recovery
