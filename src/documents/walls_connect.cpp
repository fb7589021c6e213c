// The wall map of the plan on the canvas, read in the background after an
// open, a scan, a new image and underlay creation; the window never waits.
#include "documents/wall_reader.h"
#include "imaging/store/imagestore.h"
#include "shell/main_window.h"

void MainWindow::readWalls(bool underlay)
{
    if (!wallReader) {
        wallReader = new documents::WallReader(this);
        connect(wallReader, &documents::WallReader::wallsRead, this,
                [this](std::shared_ptr<const ink::WallMap> map) { document.setWallMap(std::move(map)); });
    }
    document.setWallMap(nullptr); // the old map does not describe the new picture
    const QImage* image = gf5::ImageStore::image(dspCanvas->ImageHandle());
    if (!image || image->isNull()) {
        wallReader->cancel();
        return;
    }
    wallReader->start(*image, document.dpi(), document.scaleDenominator(), underlay);
}
