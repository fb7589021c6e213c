// The wall map of the plan on the canvas, read in the background after an
// open, a scan, a new image, underlay creation and any change of the
// picture's geometry (a margin keeps the map while the picture stays at the
// sheet's corner); the window never waits. A map belongs to one reading:
// an undo brings back the map of the picture it restores.
#include "documents/wall_reader.h"
#include "floorplan/trace_assist.h"
#include "imaging/store/bufferpool.h"
#include "imaging/store/imagestore.h"
#include "shell/first_paint.h"
#include "shell/main_window.h"

void MainWindow::readWalls(bool underlay)
{
    forgetWalls();
    wallsNow.underlay = underlay;
    if (!wallsHeldForPaint && dspCanvas->isVisible()) {
        wallsHeldForPaint = true;
        startup::afterFirstPaint(dspCanvas->viewport(), [this] { releaseHeldWalls(); }, 1000);
    }
    if (wallsHeldForPaint) {
        wallsWaiting = true;
        return;
    }
    startWallReading();
}

void MainWindow::releaseHeldWalls()
{
    wallsHeldForPaint = false;
    if (!wallsWaiting)
        return;
    wallsWaiting = false;
    startWallReading();
}

void MainWindow::startWallReading()
{
    if (!wallReader) {
        wallReader = new documents::WallReader(this);
        connect(wallReader, &documents::WallReader::wallsRead, this,
                [this](std::shared_ptr<const ink::WallMap> map) {
                    // Only the newest reading is delivered: it describes the
                    // canvas, and the undo snapshot too when taken meanwhile.
                    if (wallsOfUndo.generation == wallsNow.generation && !wallsOfUndo.map)
                        wallsOfUndo.map = map;
                    document.setWallMap(std::move(map));
                    syncTraceAssist();
                });
    }
    const QImage* image = gf5::ImageStore::image(dspCanvas->ImageHandle());
    if (image && !image->isNull()) {
        // The reading needs room of its own for a while: a buffer waiting
        // for reuse and other memory held for the next command go back to
        // the system first.
        gf5::BufferPool::releaseHeld();
        wallReader->start(*image, document.dpi(), document.scaleDenominator(), wallsNow.underlay);
    }
}

void MainWindow::forgetWalls()
{
    wallsWaiting = false;
    ++wallsNow.generation;
    wallsNow.underlay = false;
    if (wallReader)
        wallReader->cancel();
    document.setWallMap(nullptr); // the old map does not describe the new picture
    syncTraceAssist();
}

void MainWindow::rereadWalls() { readWalls(wallsNow.underlay); }

void MainWindow::keepWallsOnLargerSheet()
{
    const std::shared_ptr<const ink::WallMap> old = document.wallMap();
    const QImage* image = gf5::ImageStore::image(dspCanvas->ImageHandle());
    if (!PasteFloating || FloatLeft != 0 || FloatTop != 0 || !image) {
        rereadWalls(); // the sheet as it is
        return;
    }
    // While the picture floats the sheet under it is blank: no map steers
    // the tracer. A reading of the old picture still running is dropped:
    // the picture is read again once laid in.
    wallsFollowPaste.at = QRect(QPoint(FloatLeft, FloatTop), QPoint(FloatRight - 1, FloatBottom - 1));
    wallsFollowPaste.underlay = wallsNow.underlay;
    wallsFollowPaste.map.reset();
    if (old) {
        auto larger = std::make_shared<ink::WallMap>(*old);
        larger->width = image->width();
        larger->height = image->height();
        wallsFollowPaste.map = std::move(larger);
    }
    forgetWalls();
}

void MainWindow::wallsAfterFloatingPaste(bool laidIn)
{
    if (wallsFollowPaste.at.isNull())
        return;
    const WallsOfFloatingPicture waiting = wallsFollowPaste;
    wallsFollowPaste = {};
    const QRect at(QPoint(FloatLeft, FloatTop), QPoint(FloatRight - 1, FloatBottom - 1));
    forgetWalls();
    wallsNow.underlay = waiting.underlay;
    if (!laidIn || at != waiting.at || !waiting.map) {
        readWalls(waiting.underlay);
        return;
    }
    document.setWallMap(waiting.map);
    syncTraceAssist();
}

void MainWindow::keepWallsForUndo()
{
    wallsOfUndo = {wallsNow.generation, wallsNow.underlay, document.wallMap(), traceAssist().tracedCount()};
}

void MainWindow::restoreWallsOfUndo()
{
    wallsFollowPaste = {}; // an undo ends a floating picture without laying it in
    if (wallsOfUndo.generation == wallsNow.generation) {
        // The same picture geometry: the map still holds; the walls traced
        // since the snapshot are gone from the picture.
        traceAssist().untraceTo(wallsOfUndo.traced);
        showTraceOffer();
        return;
    }
    if (!wallsOfUndo.map) {
        // The snapshot's reading had not finished: read it again.
        readWalls(wallsOfUndo.underlay);
        wallsOfUndo.generation = wallsNow.generation;
        return;
    }
    if (wallReader)
        wallReader->cancel();
    wallsNow.generation = wallsOfUndo.generation;
    wallsNow.underlay = wallsOfUndo.underlay;
    document.setWallMap(wallsOfUndo.map);
    syncTraceAssist();
}

std::shared_ptr<const ink::WallMap> MainWindow::canvasWallMap() const
{
    const std::shared_ptr<const ink::WallMap>& map = document.wallMap();
    const QImage* image = gf5::ImageStore::image(dspCanvas->ImageHandle());
    if (!map || !image || map->width != image->width() || map->height != image->height())
        return nullptr;
    return map;
}
