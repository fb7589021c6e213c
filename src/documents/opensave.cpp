// Opening, saving and reverting documents.
#include "documents/file_read.h"
#include "documents/open_failure.h"
#include "document_rules.h"
#include "drawing_export.h"
#include "save_proposal.h"
#include "scale/stated_resolution.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "imaging/store/imagestore.h"
#include <QApplication>
#include <QFileInfo>

namespace {
// Holds back input to the window while a long operation runs.
struct BusyScope {
    int& depth;
    explicit BusyScope(int& d) : depth(d) { ++depth; }
    ~BusyScope() { --depth; }
};
}

void MainWindow::btnOpen_Click()
{
    if (fileIo.ShowOpenDialog() == 0)
        return;
    if (documents::readWithProgress(*this, true) == 0) {
        documents::reportOpenFailure(this, fileIo);
        return;
    }
    dspCanvas->setDisplayMode(0);
    dspCanvas->Refresh();
    if (dspCanvas->ImageHandle() != 0)
        ReleaseCanvasImage();
    AdoptLoadedImage(false);
}

bool MainWindow::AdoptLoadedImage(bool skipSnapshot)
{
    const int32_t h = fileIo.ImageHandle;
    imgInfo.ImageHandle = h;
    if (imgInfo.IsValid() == 0) {
        imgInfo.FreeImage();
        if (!skipSnapshot)
            ReleaseUndoSnapshot();
        return false;
    }
    SourceBitDepth = imgInfo.BitDepth();
    // The file's own header says whether it states a resolution at all; the
    // decoder reports a file without one as 96 dpi.
    const scale::PlanResolution resolution =
        scale::chooseResolution(scale::statedResolutionOfFile(fileIo.FileName), PrintDpi);
    bool result = true;
    if (SourceBitDepth == 24) {
        dspCanvas->setImageHandle(h);
    } else {
        fxCanvas.SourceImage = h;
        const int32_t ok = fxCanvas.ConvertBitDepth(24, 0, 0, 0);
        if (ok != 0)
            dspCanvas->setImageHandle(fxCanvas.ResultImage);
        imgInfo.ImageHandle = fxCanvas.SourceImage;
        imgInfo.FreeImage();
        fxCanvas.SourceImage = 0;
        result = ok != 0;
    }
    dspCanvas->setZoomMode(0);
    dspCanvas->setDisplayMode(1);
    dspCanvas->Refresh();
    Form_Paint();
    document.open(fileIo.FileName, resolution.dpi,
                  resolution.fromImage ? documents::ResolutionSource::Image : documents::ResolutionSource::Settings);
    readWalls(false);
    UpdateTitle();
    // Undo right after the load shows the loaded picture, never the
    // previous document's under this document's name.
    if (!skipSnapshot)
        startDocumentUndo();
    markDocumentClean();
    return result;
}

namespace {
// Writes the canvas image as type; on failure tells the user which file and why.
bool writeCanvas(MainWindow& f, const QString& name, gf5::io::FileType type)
{
    using gf5::io::FileType;
    // The file holds the picture as shown.
    const bool laidIn = f.layInFloatingPaste(QStringLiteral("保存"));
    f.StampDocumentResolution();
    f.fileIo.ImageHandle = f.dspCanvas->ImageHandle();
    f.fileIo.FileName = name;
    switch (type) {
    case FileType::Jpeg:
        f.fileIo.JpegQuality = 75;
        f.fileIo.FileOperation = gf5::Gf5File::WriteJpeg;
        break;
    case FileType::Png:
        f.fileIo.FileOperation = gf5::Gf5File::WritePng;
        break;
    case FileType::Pdf:
        f.fileIo.DocumentTitle = QFileInfo(name).completeBaseName();
        f.fileIo.FileOperation = gf5::Gf5File::WritePdf;
        break;
    case FileType::Bmp:
        f.fileIo.FileOperation = gf5::Gf5File::WriteBmp;
        break;
    }
    if (f.fileIo.Execute() != 0) {
        f.LastSaveFolder = QFileInfo(name).absolutePath();
        f.markDocumentClean();
        f.showStatus(laidIn ? QStringLiteral("挿入中の画像を貼付決定して保存しました") : QStringLiteral("保存しました"));
        return true;
    }
    QString reason = f.fileIo.LastError;
    if (reason.isEmpty())
        reason = "原因不明のエラー";
    messages::show(&f, QString("「%1」に保存できませんでした。\n%2").arg(name, reason));
    return false;
}
}

namespace {
// Writes the walls read from the canvas as a drawing. The document stays the
// picture: it takes the drawing's name (so a plain save asks again, as after
// a PDF) but its work counts as unsaved, since no file holds its pixels.
bool writeDrawing(MainWindow& f, const QString& name)
{
    // The walls are read from the picture as shown.
    f.layInFloatingPaste(QStringLiteral("書き出し"));
    const QImage* canvas = gf5::ImageStore::image(f.dspCanvas->ImageHandle());
    if (!canvas)
        return false;
    const documents::PlanDocument& doc = f.document;
    const bool ownResolution = doc.resolutionSource() == documents::ResolutionSource::Image && doc.dpi() > 0;
    const double dpi = ownResolution ? doc.dpi() : f.PrintDpi;
    documents::DrawingExport result;
    {
        BusyScope busy(f.busyDepth);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        result = documents::exportDrawing(*canvas, name, dpi, !ownResolution, doc.scaleDenominator());
        QApplication::restoreOverrideCursor();
    }
    messages::show(&f, result.message);
    if (!result.ok)
        return false;
    f.LastSaveFolder = QFileInfo(name).absolutePath();
    return true;
}
}

bool MainWindow::IsOwnFile(const QString& path) const { return documents::isOwnFile(path, m_programDir); }

QString MainWindow::saveProposal() const { return documents::saveProposal(document, m_programDir, LastSaveFolder); }

void MainWindow::SaveDocument(bool asNew)
{
    if (dspCanvas->ImageHandle() == 0)
        return;
    // A recovered document's name is no file that holds its picture.
    const bool exists = documents::FileExists(document.path()) && !document.isRecovered();
    // A PDF or a drawing is an export that cannot be read back: saving over
    // it always asks.
    const bool pdf = documents::IsPdfName(document.path()) || documents::IsDrawingName(document.path());
    if (exists && !asNew && !pdf) {
        if (documents::IsJpegName(document.path()))
            writeCanvas(*this, document.path(), gf5::io::FileType::Jpeg);
        else if (documents::IsBmpName(document.path()))
            writeCanvas(*this, document.path(), gf5::io::FileType::Bmp);
        else if (documents::IsPngName(document.path()))
            writeCanvas(*this, document.path(), gf5::io::FileType::Png);
        return;
    }
    if (!pdf && !document.isRecovered() && !document.path().isEmpty() && document.path().contains(".JPG", Qt::CaseInsensitive) &&
        !asNew) {
        if (writeCanvas(*this, document.path(), gf5::io::FileType::Jpeg))
            UpdateTitle();
        return;
    }
    fileIo.ImageHandle = dspCanvas->ImageHandle();
    fileIo.DialogFilter = "*;JPG;PNG;BMP;PDF;DXF;SVG;";
    // Whatever the file control read last (a scan's temporary file, a
    // library part) is never offered as the place to save.
    fileIo.FileName = saveProposal();
    if (fileIo.ShowSaveDialog() == 0)
        return;
    const QString name = fileIo.FileName;
    if (documents::IsDrawingName(name) ? !writeDrawing(*this, name)
                                       : !writeCanvas(*this, name, documents::SaveTypeForName(name)))
        return;
    document.setPath(name);
    UpdateTitle();
}

void MainWindow::btnSave_Click(int index) { SaveDocument(index != 0); }

void MainWindow::mnuEditSave_Click() { SaveDocument(false); }

void MainWindow::btnSaveVertion_Click()
{
    // A PDF or drawing cannot be read back; reverting to it would only empty
    // the canvas. A new sheet or a scan has no file to go back to.
    if (!documents::hasFileToRevertTo(document.path()) || documents::IsPdfName(document.path()) ||
        documents::IsDrawingName(document.path()))
        return;
    // The file is read before anything of the canvas is let go: when it can
    // no longer be read (gone, no longer a picture), the canvas keeps
    // showing what it showed and the user is told why.
    fileIo.FileName = document.path();
    if (documents::readWithProgress(*this, false) == 0) {
        documents::reportOpenFailure(this, fileIo);
        return;
    }
    TakeUndoSnapshot();
    // The snapshot just taken is a separate copy, so the canvas image can go.
    ReleaseCanvasImage();
    AdoptLoadedImage(true);
    selectDisplayScale(0);
}
