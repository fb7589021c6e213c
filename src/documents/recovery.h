#pragma once
// Keeping unsaved work: a lossless copy of the canvas in the user's state
// folder, written when the window closes with changes and, while editing,
// at most every couple of minutes in small slices while the editor is idle.
// The next start offers it back.
#include "plan_document.h"
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class MainWindow;

namespace recovery {

// What a copy was: the document's name and when it was kept.
struct Meta {
    QString name;
    QDateTime time;
    // The drawing scale (1:n; 0 when not recorded), and whether the
    // resolution the picture file states was the settings file's, taken for
    // want of one of the plan's own.
    int scaleDenominator = 0;
    bool resolutionAssumed = false;
};

QString folder(); // <state folder>/recovery
// The question offering a copy back.
QString questionText(const Meta& meta);

// Writes a 24-bit BMP row range by row range, so that a large picture can go
// to disk in small pieces. Rows go into "<path>.part", which finish() renames
// to path (so the copy on disk is always a whole one).
class BmpSliceWriter {
public:
    bool begin(const QString& path, int width, int height, int dotsPerMeterX, int dotsPerMeterY);
    // Writes rows [from, to) of image (the size given to begin()).
    bool writeRows(const QImage& image, int from, int to);
    bool finish();
    void abort();
    bool active() const { return m_file.isOpen(); }

private:
    QFile m_file;
    QString m_path;
    int m_width = 0, m_height = 0;
    qint64 m_stride = 0;
    QByteArray m_buffer;
};

// The copy kept in dir, if any: its picture file and what it was.
bool findCopy(const QString& dir, QString* imagePath, Meta* meta);
// Writes image as the only copy in dir (replacing an older one).
bool writeCopy(const QString& dir, const QImage& image, const Meta& meta);
// Makes a written "<dir>/recovery.bmp.part" the copy, with its meta.
bool adoptPart(const QString& dir, const Meta& meta);
void removeCopy(const QString& dir);
QString imageFile(const QString& dir);

// Watches the canvas of one window: knows whether it changed since the last
// open, save, scan or new image, and keeps the periodic copy.
class Keeper : public QObject {
    Q_OBJECT
public:
    explicit Keeper(MainWindow& form);
    ~Keeper() override;

    void markClean(); // the canvas as it is now holds no unsaved work
    bool hasUnsavedWork() const;
    // Writes the copy now (the window closes): with changes, the canvas;
    // without, any older copy goes.
    void keepNow();

    // Shortest time between two periodic copies, and the rows' time budget
    // per slice (tests shorten the first).
    int intervalMs = 2 * 60 * 1000;
    int sliceBudgetMs = 4;
    // True while a periodic copy is being written.
    bool writing() const { return m_writer.active(); }
    // Looks whether a periodic copy is due and starts it.
    void checkDue();

private:
    using CanvasKey = documents::PlanDocument::CanvasState;
    CanvasKey currentKey() const;
    const QImage* canvas() const;
    Meta metaNow() const;
    void writeSlice();
    void stopWriting();

    MainWindow& m_form;
    CanvasKey m_written; // the canvas as the copy on disk shows it
    CanvasKey m_job;     // the canvas being written
    BmpSliceWriter m_writer;
    int m_nextRow = 0;
    QElapsedTimer m_sinceCopy;
    QTimer m_check;
    QTimer m_slice;
};

} // namespace recovery
