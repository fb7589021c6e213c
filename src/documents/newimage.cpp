// New blank sheet and the title line.
#include "document_rules.h"
#include "imaging/store/imagestore.h"
#include "scale/resolution_rules.h"
#include "shell/main_window.h"

void MainWindow::btnNewImage_Click()
{
    if (dspCanvas->ImageHandle() != 0)
        ReleaseCanvasImage();
    // A new sheet starts with nothing to undo: the earlier document's
    // picture never comes back under the new sheet's name.
    ReleaseUndoSnapshot();
    if (fxCanvas.CreateImage(600, 600, 24, 255, 255, 255) == 0)
        return;
    selectDisplayScale(0);
    dspCanvas->setImageHandle(fxCanvas.ResultImage);
    dspCanvas->setZoomMode(0);
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    Form_Paint();
    // A new sheet has the resolution it is given.
    document.open(documents::kNewImageName, PrintDpi, documents::ResolutionSource::Settings);
    forgetWalls();
    UpdateTitle();
    markDocumentClean();
}

void MainWindow::UpdateTitle()
{
    imgInfo.ImageHandle = dspCanvas->ImageHandle();
    if (imgInfo.IsValid() == 0)
        return;
    StampDocumentResolution();
    imgInfo.UpdateImageInfo();
    setWindowTitle(documents::titleText(document.path(), imgInfo.ImageWidth(), imgInfo.ImageHeight(),
                                        imgInfo.BitDepth()));
    refreshPlanScale();
}

void MainWindow::ReleaseCanvasImage()
{
    const int32_t h = dspCanvas->ImageHandle();
    if (h == 0)
        return;
    // A paste floating over the released picture has nothing to go into.
    endFloatingPaste();
    dspCanvas->setImageHandle(0);
    imgInfo.ImageHandle = h;
    imgInfo.FreeImage();
    // After an undo the canvas shows the snapshot itself; the store must not
    // keep naming a released image.
    if (fxUndo.ResultImage == h)
        fxUndo.ResultImage = 0;
    if (fxUndo.SourceImage == h)
        fxUndo.SourceImage = 0;
}

void MainWindow::StampDocumentResolution()
{
    // The canvas image carries the document's resolution, so that every file
    // written from it (and the recovery copy) states the plan's real size.
    QImage* img = gf5::ImageStore::image(dspCanvas->ImageHandle());
    const int dpm = scale::dotsPerMetre(document.dpi());
    if (!img || img->isNull() || dpm == 0)
        return;
    if (img->dotsPerMeterX() != dpm)
        img->setDotsPerMeterX(dpm);
    if (img->dotsPerMeterY() != dpm)
        img->setDotsPerMeterY(dpm);
}
