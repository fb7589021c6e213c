// The file named when the program starts.
#include "documents/file_read.h"
#include "documents/open_failure.h"
#include "shell/first_paint.h"
#include "shell/main_window.h"
#include "imaging/io/gf5file.h"
#include <QTimer>

void MainWindow::openFirstFile()
{
    // Its walls are read once the window has painted the picture; a window
    // that is never shown reads them after a second.
    wallsHeldForPaint = true;
    startup::afterFirstPaint(dspCanvas->viewport(), [this] { releaseHeldWalls(); }, 1000);
    fileIo.FileName = FirstArg;
    if (documents::readWithProgress(*this, false) != 0)
        AdoptLoadedImage(false);
    else
        documents::reportOpenFailure(this, fileIo);
    if (!LastArg.isEmpty() && LastArg.contains(".JPG", Qt::CaseInsensitive))
        document.setPath(LastArg);
}

bool MainWindow::showStandInForFirstFile()
{
    const gf5::Gf5File::StandIn standIn = gf5::Gf5File::readAheadStandIn(FirstArg);
    if (standIn.image.isNull())
        return false;
    // The reduced copy is on screen at the first paint; the whole picture
    // is still being read. Until it is in, there is no document to act on:
    // input to the window waits.
    dspCanvas->setStandIn(standIn.image, standIn.fullSize);
    firstFilePending = true;
    ++busyDepth;
    // One more turn of the event loop, so that whatever else waited for the
    // first paint (a report of it, a flush to the screen) goes first.
    startup::afterFirstPaint(dspCanvas->viewport(), [this] {
        QTimer::singleShot(0, this, [this] { finishFirstFile(); });
    }, 1000);
    return true;
}

void MainWindow::finishFirstFile()
{
    if (!firstFilePending)
        return;
    firstFilePending = false;
    --busyDepth;
    openFirstFile();
    // A file that could not be read leaves nothing behind its message.
    dspCanvas->setStandIn(QImage(), QSize());
    if (recoveryAfterFirstFile) {
        recoveryAfterFirstFile = false;
        offerRecovery();
    }
}
