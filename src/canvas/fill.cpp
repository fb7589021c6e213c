// Filling: the selection, a given rectangle, and the click fill of fill mode.
#include "canvas/floodfill.h"
#include "imaging/draw/surface.h"
#include "imaging/store/imagestore.h"
#include "shell/form1.h"
#include "shell/messages.h"
#include <QPainter>

void Form1::FillSelection(int32_t colour)
{
    if (Gf5Disp1->SelectionBottom() < 1 || Gf5Disp1->SelectionRight() < 1)
        return;
    FillRect(Gf5Disp1->SelectionLeft(), Gf5Disp1->SelectionTop(), Gf5Disp1->SelectionRight(),
             Gf5Disp1->SelectionBottom(), colour == -1 ? currentColour() : colour);
}

void Form1::FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour)
{
    Gf5Disp1->setDisplayMode(3);
    Gf5Disp1->Refresh();
    const int32_t dc = Gf5Disp1->DrawingDC();
    Gf5Print1.BrushStyle = 1;
    Gf5Print1.BrushColor = colour;
    Gf5Print1.FillRectangle(dc, x1, y1, x2, y2);
    Gf5Disp1->CommitDrawing();
    Gf5Disp1->setDisplayMode(2);
    Gf5Disp1->Refresh();
}

void Form1::Command6_Click()
{
    if (FillMode) {
        FillMode = false;
        setScreenPointer(0);
        Gf5Disp1->setSelectionDragEnabled(true);
        return;
    }
    messages::show(this, QStringLiteral("塗り潰しモード解除の時はもう一度このボタンを押してください\n"
                                        "通常のクリックで、黒線で囲まれた領域を、Ctrlキーを押しながらクリック"
                                        "すると色領域の塗り潰しになります"));
    setScreenPointer(99);
    FillMode = true;
    Gf5Disp1->setSelectionLeft(0);
    Gf5Disp1->setSelectionTop(0);
    Gf5Disp1->setSelectionRight(0);
    Gf5Disp1->setSelectionBottom(0);
    Gf5Disp1->setSelectionDragEnabled(false);
}

QImage* Form1::freshDrawingPixels()
{
    endFloatingPaste();
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    Gf5Disp1->setDisplayMode(3);
    Gf5Disp1->Refresh();
    gf5::DrawingSurface* surface = gf5::SurfaceRegistry::find(Gf5Disp1->DrawingDC());
    QImage* pixels = surface ? surface->surfaceImage() : nullptr;
    return pixels && !pixels->isNull() ? pixels : nullptr;
}

// The fill works on the display's drawing surface in memory and never goes
// through the system clipboard, so what the user copied stays there.
void Form1::FillAtPoint(int32_t x, int32_t y)
{
    if (Gf5Disp1->ImageHandle() == 0)
        return;
    const bool sameColour = ctrlKeyDown();
    const QRgb fill = gf5::colourToRgb(currentColour());

    // The fill replaces the whole picture, as confirming a paste of it would:
    // a floating paste and other drawing not yet committed are dropped first.
    QImage* pixels = freshDrawingPixels();
    gf5::DrawingSurface* surface = gf5::SurfaceRegistry::find(Gf5Disp1->DrawingDC());
    if (!pixels) {
        Gf5Disp1->setDisplayMode(2);
        Gf5Disp1->Refresh();
        return;
    }

    const QPoint seed(x, y);
    QRect changed;
    const bool direct = pixels->format() == QImage::Format_RGB32 || pixels->format() == QImage::Format_ARGB32;
    QImage converted;
    QImage& target = direct ? *pixels : (converted = pixels->convertToFormat(QImage::Format_RGB32));
    changed = sameColour ? canvas::floodFillSameColour(target, seed, fill)
                         : canvas::floodFillToBlack(target, seed, fill);

    // One undo step: the snapshot holds the image as it was before the fill.
    TakeUndoSnapshot();
    if (!changed.isEmpty()) {
        if (direct)
            surface->surfaceChanged(changed);
        else
            surface->paintOn([&](QPainter& p) { p.drawImage(changed.topLeft(), converted, changed); });
    }
    Gf5Disp1->CommitDrawing();
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    Gf5Disp1->SetFocus();
    ClearSelection();
}
