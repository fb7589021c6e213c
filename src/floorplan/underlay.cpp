// Making, marking and removing the underlay: one pass over the canvas
// image's own pixels (the selection, or the whole image), no working copy.
#include "floorplan/underlay_pass.h"
#include "imaging/effects/tonerows.h"
#include "imaging/store/imagestore.h"
#include "shell/main_window.h"
#include "shell/progress_window.h"
#include <QApplication>
#include <QColorSpace>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <cmath>

void MainWindow::btnGomiFix_Click()
{
    layInFloatingPaste(QStringLiteral("下絵の除去"));
    const QImage* canvas = gf5::ImageStore::image(dspCanvas->ImageHandle());
    if (!canvas)
        return;
    if (canvas->format() == QImage::Format_RGB32) {
        underlayPass(nullptr, true);
        return;
    }
    TakeUndoSnapshot();
    ProcessUnderlayPixels(false);
}

void MainWindow::ProcessUnderlayPixels(bool mark)
{
    uchar identity[256];
    for (int v = 0; v < 256; ++v)
        identity[v] = uchar(v);
    underlayPass(mark ? identity : nullptr);
}

bool MainWindow::underlayPass(const uchar* greenCurve, bool asUndoStep)
{
    // A floating paste is laid in; other drawing not yet committed is not
    // part of the image. The pass works on the stored image itself, so no
    // working copy is made.
    layInFloatingPaste(QStringLiteral("下絵の処理"));
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    const int32_t canvas = dspCanvas->ImageHandle();
    gf5::StoredImage* stored = gf5::ImageStore::get(canvas);
    if (!stored || stored->image.format() != QImage::Format_RGB32)
        return false;
    const QImage& pixels = stored->image;
    const int32_t w = pixels.width(), h = pixels.height();

    // As an undo step of its own the pass reads the canvas image and writes
    // a new one, and the canvas image becomes the undo snapshot as it is:
    // nothing is copied, and a picture shared with a reader elsewhere (the
    // wall reading) is never copied for writing. The old snapshot goes
    // first, so that its memory serves the new image.
    QImage target;
    if (asUndoStep) {
        startReplacingUndoStep();
        target = gf5::ImageStore::allocate(w, h, QImage::Format_RGB32);
        if (target.isNull() || !target.bits()) {
            // No memory for a second image: a snapshot copy, then in place.
            target = QImage();
            asUndoStep = false;
            TakeUndoSnapshot();
        }
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
    const QRect area = left <= right && top <= bottom ? QRect(QPoint(left, top), QPoint(right, bottom)) : QRect();

    ProgressSource = 1;
    ShowProgress();
    progressWindow->barProgress->setRange(0, bound);
    ++busyDepth; // input to the window waits while the pass runs
    QApplication::processEvents();

    QElapsedTimer sinceEvents;
    sinceEvents.start();
    int lastPercent = -1;
    const floorplan::RowProgress progress = [&](int y) {
        const int percent = int(std::nearbyint(double(y) / bound * 100.0));
        if (percent != lastPercent) {
            lastPercent = percent;
            progressWindow->lblPercent->setText(QString::number(percent));
            progressWindow->barProgress->setValue(std::min(y, bound));
        }
        // Events run often enough to keep the window painted, but not per
        // band: the pass itself takes a few tens of milliseconds.
        if (sinceEvents.elapsed() >= 40) {
            QApplication::processEvents();
            sinceEvents.restart();
        }
    };
    // bits() gives the pixels for writing (copying them first if another
    // image still shares them); null when that copy cannot be had.
    bool done = false;
    if (asUndoStep) {
        done = greenCurve ? floorplan::makeUnderlay(pixels, target, greenCurve, area, progress)
                          : floorplan::removeUnderlay(pixels, target, area, progress);
        if (done) {
            target.setDotsPerMeterX(pixels.dotsPerMeterX());
            target.setDotsPerMeterY(pixels.dotsPerMeterY());
            target.setOffset(pixels.offset());
            for (const QString& key : pixels.textKeys())
                target.setText(key, pixels.text(key));
            target.setColorSpace(pixels.colorSpace());
            const int32_t made = gf5::ImageStore::add(std::move(target), 24);
            done = made != 0;
            if (done) {
                keepCanvasAsUndoSnapshot();
                dspCanvas->setImageHandle(made);
            }
        }
    } else if (QImage& inPlace = stored->image; inPlace.bits()) {
        done = greenCurve ? floorplan::makeUnderlay(inPlace, greenCurve, area, progress)
                          : floorplan::removeUnderlay(inPlace, area, progress);
        stored->bitDepth = 24;
    }
    --busyDepth;

    CloseProgress();
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    Form_Paint();
    return done;
}
