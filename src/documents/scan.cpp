// Scanning: the picture goes through a temporary JPEG file in this run's
// private temporary folder, so the canvas always receives a JPEG-decoded
// image and scanning works when the program folder is read-only.
#include "scale/stated_resolution.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/userpaths.h"
#include <QFile>

namespace {
// Holds back input to the window while the scanner works.
struct BusyScope {
    int& depth;
    explicit BusyScope(int& d) : depth(d) { ++depth; }
    ~BusyScope() { --depth; }
};
}

QString MainWindow::scanTempFile() const
{
    const QString folder = userpaths::runTempFolder();
    return folder.isEmpty() ? QString() : folder + "/tmp.jpg";
}

void MainWindow::DeleteTempFile(const QString& path)
{
    QFile::remove(path); // failure (missing, locked) is of no consequence
}

static const QString kNoAnswer = QStringLiteral("スキャナが応答しませんでした。\n電源と接続を確かめてください。");

void MainWindow::btnScan_Click()
{
    // Each scanner call runs with the progress window up; its 中止 stops the
    // call. Input to the main window waits meanwhile.
    auto withProgress = [this](auto call) {
        BusyScope busy(busyDepth);
        ProgressSource = 2;
        ShowProgress();
        const int32_t result = call();
        CloseProgress();
        return result;
    };
    if (withProgress([this] { return scanner.SelectSource(); }) == 0) {
        const bool silent = scanner.LastFailure == gf5::Gf5Scan::Failure::NoAnswer;
        messages::show(this, silent ? kNoAnswer : QStringLiteral("取り止めました"));
        return;
    }
    scanner.ScanSetting = 1;
    const QString temp = scanTempFile();
    if (temp.isEmpty()) {
        // Without a place for the picture the scan could only be lost.
        messages::show(this, QStringLiteral("一時フォルダを作れないため、スキャンできません"));
        return;
    }
    // A file left behind by an earlier scan whose read failed must never be
    // taken for this scan's picture: only a file this scan wrote is read.
    DeleteTempFile(temp);
    ScanDone = false;
    const int32_t ok = withProgress([this] { return scanner.Acquire(); });
    if (ok == 0 && scanner.LastFailure == gf5::Gf5Scan::Failure::NoAnswer)
        messages::show(this, kNoAnswer);
    if (ok == 0 || !ScanDone)
        return;
    ScanDone = false;
    fileIo.FileName = temp;
    fileIo.FileOperation = gf5::Gf5File::Read;
    if (fileIo.Execute() == 0)
        return;
    if (dspCanvas->ImageHandle() != 0)
        ReleaseCanvasImage();
    imgInfo.ImageHandle = fileIo.ImageHandle;
    // The scanner's resolution, kept by the temporary file.
    const scale::PlanResolution resolution = scale::chooseResolution(scale::statedResolutionOfFile(temp), PrintDpi);
    dspCanvas->setImageHandle(fileIo.ImageHandle);
    dspCanvas->setZoomMode(0);
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    Form_Paint();
    document.open(QStringLiteral("NoName画像"), resolution.dpi,
                  resolution.fromImage ? documents::ResolutionSource::Image : documents::ResolutionSource::Settings);
    readWalls(false);
    UpdateTitle();
    startDocumentUndo();
    markDocumentClean();
    DeleteTempFile(temp);
}

void MainWindow::scanner_ImageAcquired(int32_t handle)
{
    if (handle == 0) {
        ScanDone = false;
        return;
    }
    fileIo.ImageHandle = handle;
    fileIo.FileName = scanTempFile();
    fileIo.JpegQuality = 75;
    fileIo.FileOperation = gf5::Gf5File::WriteJpeg;
    const int32_t written = fileIo.Execute();
    imgInfo.ImageHandle = fileIo.ImageHandle;
    imgInfo.FreeImage();
    fileIo.ImageHandle = 0;
    // Only a picture that reached the file counts; a failed write leaves
    // nothing new to read back.
    if (written != 0)
        ScanDone = true;
}
