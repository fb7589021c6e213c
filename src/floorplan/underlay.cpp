// Marking and removing the underlay: one pass over the pixels of the
// selection (or the whole image) on the canvas's drawing surface.
#include "floorplan/underlay_rules.h"
#include "imaging/draw/surface.h"
#include "shell/main_window.h"
#include "shell/progress_window.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <cmath>

void MainWindow::btnGomiFix_Click()
{
    if (dspCanvas->ImageHandle() == 0)
        return;
    TakeUndoSnapshot();
    ProcessUnderlayPixels(false);
}

void MainWindow::ProcessUnderlayPixels(bool mark)
{
    imgInfo.ImageHandle = dspCanvas->ImageHandle();
    if (imgInfo.IsValid() == 0)
        return;
    const int32_t w = imgInfo.ImageWidth(), h = imgInfo.ImageHeight();

    // Drawing not yet committed (a floating paste) is not part of the image.
    QImage* pixels = freshDrawingPixels();
    gf5::DrawingSurface* surface = gf5::SurfaceRegistry::find(dspCanvas->DrawingDC());
    if (!pixels || pixels->format() != QImage::Format_RGB32 ||
        pixels->size() != QSize(w, h)) {
        dspCanvas->setDisplayMode(1);
        dspCanvas->Refresh();
        return;
    }

    // Selection edges are both included here; the region is kept inside the image.
    const int32_t selR = dspCanvas->SelectionRight(), selB = dspCanvas->SelectionBottom();
    const bool selection = selB >= 1 && selR >= 1;
    int left = 0, top = 0, right = w - 1, bottom = h - 1;
    int32_t bound = h; // what the percentage is measured against
    if (selection) {
        left = std::max(0, dspCanvas->SelectionLeft());
        top = std::max(0, dspCanvas->SelectionTop());
        right = std::min(w - 1, selR);
        bottom = std::min(h - 1, selB);
        bound = selB;
    }

    ProgressSource = 1;
    ShowProgress();
    progressWindow->barProgress->setRange(0, bound);
    ++busyDepth; // input to the window waits while the pass runs
    QApplication::processEvents();

    QElapsedTimer sinceEvents;
    sinceEvents.start();
    int lastPercent = -1;
    uchar* const bits = pixels->bits();
    const qsizetype stride = pixels->bytesPerLine();
    for (int y = top; y <= bottom && left <= right; ++y) {
        auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
        if (mark) {
            for (int x = left; x <= right; ++x)
                row[x] = floorplan::markUnderlayPixel(row[x]);
        } else {
            for (int x = left; x <= right; ++x)
                row[x] = floorplan::removeUnderlayPixel(row[x]);
        }
        const int percent = int(std::nearbyint(double(y) / bound * 100.0));
        if (percent != lastPercent) {
            lastPercent = percent;
            progressWindow->lblPercent->setText(QString::number(percent));
            progressWindow->barProgress->setValue(std::min(y, bound));
        }
        // Events run often enough to keep the window painted, but not per
        // row: on a 30-megapixel scan that would cost more than the pass.
        if (sinceEvents.elapsed() >= 40) {
            QApplication::processEvents();
            sinceEvents.restart();
        }
    }
    --busyDepth;
    if (left <= right && top <= bottom)
        surface->surfaceChanged(QRect(QPoint(left, top), QPoint(right, bottom)));

    CloseProgress();
    dspCanvas->CommitDrawing();
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    Form_Paint();
}
