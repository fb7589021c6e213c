#pragma once
// Keeping unsaved work: a lossless copy of the canvas in the user's state
// folder, one slot per window. The first copy follows the first unsaved
// change within seconds, later ones at most every couple of minutes, written
// in small slices while the editor is idle; closing the window, a signal
// that ends the program, or the session's end keeps one at once. The next
// start offers every copy left behind.
#include "plan_document.h"
#include "recovery/bmp_slice_writer.h"
#include "recovery/copy_meta.h"
#include "recovery/copy_schedule.h"
#include "recovery/copy_slots.h"
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class MainWindow;

namespace recovery {

QString folder(); // <state folder>/recovery
// The question offering a copy back.
QString questionText(const Meta& meta);
// Said after a copy was taken instead of the file named on the command line.
QString notOpenedText(const QString& file);
// The question when closing with unsaved work that no copy could keep.
QString cannotKeepText(const QString& dir);

// Watches the canvas of one window: knows whether it changed since the last
// open, save, scan or new image, and keeps the window's copy in its slot.
class Keeper : public QObject {
    Q_OBJECT
public:
    explicit Keeper(MainWindow& form);
    ~Keeper() override;

    void markClean(); // the canvas as it is now holds no unsaved work
    bool hasUnsavedWork() const;
    // Writes the copy now (the window closes, the program is ended) unless
    // the copy on disk already shows the canvas; without unsaved work, the
    // copy goes. False when there is unsaved work and no copy could be kept.
    bool keepNow();
    // Makes an orphan's copy, now shown on the canvas, this window's own.
    void adoptShown(OrphanCopy& orphan);

    CopySchedule schedule;
    // The rows' time budget per slice.
    int sliceBudgetMs = 4;
    // True while a periodic copy is being written.
    bool writing() const { return m_writer.active(); }
    // Looks whether a periodic copy is due and starts it.
    void checkDue();
    // The window's slot folder; empty until a copy was first written.
    QString slotFolder() const { return m_slot.dir(); }

private:
    using CanvasKey = documents::PlanDocument::CanvasState;
    CanvasKey currentKey() const;
    const QImage* canvas() const;
    Meta metaNow() const;
    void writeSlice();
    void stopWriting();

    MainWindow& m_form;
    OwnSlot m_slot;
    CanvasKey m_written; // the canvas as the copy on disk shows it
    CanvasKey m_job;     // the canvas being written
    BmpSliceWriter m_writer;
    int m_nextRow = 0;
    QElapsedTimer m_clock;
    QTimer m_check;
    QTimer m_slice;
};

} // namespace recovery
