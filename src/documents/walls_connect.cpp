// The wall map of the plan on the canvas, read in the background after an
// open, a scan, a new image, underlay creation and any change of the
// picture's geometry; the window never waits. A map belongs to one reading:
// an undo brings back the map of the picture it restores.
#include "documents/wall_reader.h"
#include "floorplan/trace_assist.h"
#include "imaging/store/bufferpool.h"
#include "imaging/store/imagestore.h"
#include "shell/main_window.h"

void MainWindow::readWalls(bool underlay)
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
    forgetWalls();
    wallsNow.underlay = underlay;
    const QImage* image = gf5::ImageStore::image(dspCanvas->ImageHandle());
    if (image && !image->isNull()) {
        // The reading needs room of its own for a while: a buffer waiting
        // for reuse goes back to the system first.
        gf5::BufferPool::trim();
        wallReader->start(*image, document.dpi(), document.scaleDenominator(), underlay);
    }
}

void MainWindow::forgetWalls()
{
    ++wallsNow.generation;
    wallsNow.underlay = false;
    if (wallReader)
        wallReader->cancel();
    document.setWallMap(nullptr); // the old map does not describe the new picture
    syncTraceAssist();
}

void MainWindow::rereadWalls() { readWalls(wallsNow.underlay); }

void MainWindow::keepWallsForUndo()
{
    wallsOfUndo = {wallsNow.generation, wallsNow.underlay, document.wallMap(), traceAssist().tracedCount()};
}

void MainWindow::restoreWallsOfUndo()
{
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
