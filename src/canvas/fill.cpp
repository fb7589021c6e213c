// Filling: the selection, a given rectangle, and the click fill of fill mode.
#include "canvas/barrier_fill.h"
#include "canvas/floodfill.h"
#include "imaging/draw/surface.h"
#include "imaging/store/bufferpool.h"
#include "imaging/store/imagestore.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include <QPainter>

void MainWindow::FillSelection(int32_t colour)
{
    if (dspCanvas->SelectionBottom() < 1 || dspCanvas->SelectionRight() < 1)
        return;
    FillRect(dspCanvas->SelectionLeft(), dspCanvas->SelectionTop(), dspCanvas->SelectionRight(),
             dspCanvas->SelectionBottom(), colour == -1 ? currentColour() : colour);
}

void MainWindow::FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour)
{
    dspCanvas->setDisplayMode(3);
    dspCanvas->Refresh();
    const int32_t dc = dspCanvas->DrawingDC();
    drawTools.BrushStyle = 1;
    drawTools.BrushColor = colour;
    drawTools.FillRectangle(dc, x1, y1, x2, y2);
    dspCanvas->CommitDrawing();
    dspCanvas->setDisplayMode(2);
    dspCanvas->Refresh();
}

void MainWindow::btnFillMode_Click()
{
    if (FillMode) {
        FillMode = false;
        setScreenPointer(0);
        dspCanvas->setSelectionDragEnabled(true);
        return;
    }
    messages::show(this, QStringLiteral("塗り潰しモード解除の時はもう一度このボタンを押してください\n"
                                        "通常のクリックで、黒線で囲まれた領域を、Ctrlキーを押しながらクリック"
                                        "すると色領域の塗り潰しになります"));
    setScreenPointer(99);
    FillMode = true;
    dspCanvas->setSelectionLeft(0);
    dspCanvas->setSelectionTop(0);
    dspCanvas->setSelectionRight(0);
    dspCanvas->setSelectionBottom(0);
    dspCanvas->setSelectionDragEnabled(false);
}

QImage* MainWindow::freshDrawingPixels()
{
    layInFloatingPaste(QStringLiteral("塗り潰し"));
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    dspCanvas->setDisplayMode(3);
    dspCanvas->Refresh();
    gf5::DrawingSurface* surface = gf5::SurfaceRegistry::find(dspCanvas->DrawingDC());
    QImage* pixels = surface ? surface->surfaceImage() : nullptr;
    return pixels && !pixels->isNull() ? pixels : nullptr;
}

// The fill works on the display's drawing surface in memory and never goes
// through the system clipboard, so what the user copied stays there.
void MainWindow::FillAtPoint(int32_t x, int32_t y)
{
    if (dspCanvas->ImageHandle() == 0)
        return;
    const bool sameColour = ctrlKeyDown();
    const QRgb fill = gf5::colourToRgb(currentColour());

    // The fill replaces the whole picture, as confirming a paste of it would:
    // a floating paste is laid in and other drawing not yet committed is
    // dropped first.
    layInFloatingPaste(QStringLiteral("塗り潰し"));
    // One undo step. A colour picture keeps the image the fill replaces as
    // the snapshot, uncopied: the old snapshot goes before the working copy
    // is made, so that copy takes its memory, and buffers waiting for reuse
    // go back to the system to make room for the fill's marks.
    const QImage* before = gf5::ImageStore::image(dspCanvas->ImageHandle());
    const bool keepReplaced = before && before->format() == QImage::Format_RGB32;
    if (keepReplaced)
        startReplacingUndoStep();
    QImage* pixels = freshDrawingPixels();
    gf5::BufferPool::trim();
    gf5::DrawingSurface* surface = gf5::SurfaceRegistry::find(dspCanvas->DrawingDC());
    if (!pixels) {
        dspCanvas->setDisplayMode(2);
        dspCanvas->Refresh();
        return;
    }

    const QPoint seed(x, y);
    QRect changed;
    const bool direct = pixels->format() == QImage::Format_RGB32 || pixels->format() == QImage::Format_ARGB32;
    QImage converted;
    QImage& target = direct ? *pixels : (converted = pixels->convertToFormat(QImage::Format_RGB32));
    changed = sameColour ? canvas::floodFillSameColour(target, seed, fill)
                         : canvas::floodFillToBlackWithin(target, seed, fill, roomFillBarriers());

    if (!keepReplaced)
        TakeUndoSnapshot();
    if (!changed.isEmpty()) {
        if (direct)
            surface->surfaceChanged(changed);
        else
            surface->paintOn([&](QPainter& p) { p.drawImage(changed.topLeft(), converted, changed); });
    }
    dspCanvas->CommitDrawing();
    if (keepReplaced) {
        QImage replaced = dspCanvas->takeReplacedImage();
        if (!replaced.isNull())
            fxUndo.ResultImage = gf5::ImageStore::add(std::move(replaced));
    }
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    dspCanvas->SetFocus();
    ClearSelection();
}
