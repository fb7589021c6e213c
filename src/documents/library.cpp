// The parts library: the thumbnail browser over the library folders, the
// preview display, and pictures dropped on the canvas.
#include "documents/file_read.h"
#include "documents/open_failure.h"
#include "shell/main_window.h"
#include "documents/parts_search.h"
#include "scale/part_scaling.h"
#include "scale/resolution_rules.h"
#include "scale/stated_resolution.h"
#include "imaging/store/imagestore.h"
#include "shell/userpaths.h"
#include <QTabBar>

namespace {
const char* const kLibraryFolder = "/buhin";

// The user's own parts, listed with the program folder's.
QString userLibraryFolder() { return userpaths::dataFolder() + kLibraryFolder; }
}

void MainWindow::tabLibrary_Click(int tab)
{
    const char* const sub = tab == 2 ? "/moji" : "/bihin";
    thmParts->Folder = programDir() + kLibraryFolder + sub;
    thmParts->ExtraFolders = QStringList{userLibraryFolder() + sub};
    thmParts->FileFilter = "jpg;bmp;png";
    thmParts->ThumbOptionA = false;
    thmParts->ThumbOptionB = 1;
    thmParts->ThumbOptionC = 5;
    // The search also finds parts by the readings and synonyms kept beside
    // the library (the user's own file adds to the program's).
    documents::PartWords words = documents::readPartWords(programDir() + kLibraryFolder + "/search_words.tsv");
    const documents::PartWords own = documents::readPartWords(userLibraryFolder() + "/search_words.tsv");
    for (auto it = own.cbegin(); it != own.cend(); ++it)
        words[it.key()] << it.value();
    thmParts->setNameMatcher([words](const QString& name, const QString& query) {
        return documents::partMatches(name, query, words);
    });
    thmParts->Rebuild();
    thmParts->Display();
}

void MainWindow::releasePreviewImage()
{
    const int32_t h = dspPreview->ImageHandle();
    if (h == 0)
        return;
    dspPreview->setImageHandle(0);
    PreviewPartDpi = 0;
    imgInfo.ImageHandle = h;
    imgInfo.FreeImage();
}

void MainWindow::bringPartToPlanScale(int32_t copy)
{
    gf5::StoredImage* stored = gf5::ImageStore::get(copy);
    const double factor = scale::partScaleFactor(document.dpi(), PreviewPartDpi);
    if (!stored || factor == 1.0)
        return;
    QImage scaled = scale::scalePart(stored->image, factor, document.dpi());
    if (scaled.isNull())
        return; // out of memory: the part keeps its pixel size
    if (scaled.format() != stored->image.format())
        stored->bitDepth = scaled.hasAlphaChannel() ? 32 : 24;
    stored->image = std::move(scaled);
}

namespace {
// Shows the image just read by the file control in the preview, fitted. A
// part of the library (or of the user's parts) that states a believable
// resolution is placed at the plan's scale.
void showReadImageInPreview(MainWindow& f)
{
    const QString path = f.fileIo.FileName;
    const std::optional<scale::StatedResolution> stated =
        f.IsLibraryPath(path) ? scale::statedResolutionOfFile(path) : std::nullopt;
    f.dspPreview->setImageHandle(f.fileIo.ImageHandle);
    f.PreviewPartDpi = stated && scale::isBelievable(*stated) ? scale::chooseResolution(stated, 0).dpi : 0;
    f.dspPreview->setZoomMode(0);
    f.dspPreview->setDisplayMode(1);
    f.dspPreview->Refresh();
    f.Form_Paint();
}
}

void MainWindow::thmParts_ThumbnailClicked()
{
    releasePreviewImage();
    // A part is shown as read: no conversion, and no progress window unless
    // the read is slow.
    fileIo.FileName = thmParts->SelectedFile;
    if (documents::readWithProgress(*this, false) != 0)
        showReadImageInPreview(*this);
    else
        documents::reportOpenFailure(this, fileIo);
}

void MainWindow::btnBuhinRead_Click()
{
    releasePreviewImage();
    dspPreview->setDisplayMode(0);
    dspPreview->Refresh();
    if (fileIo.ShowOpenDialog() == 0)
        return;
    OpResult = documents::readWithProgress(*this, true);
    if (OpResult != 0)
        showReadImageInPreview(*this);
    else
        documents::reportOpenFailure(this, fileIo);
}

bool MainWindow::IsLibraryPath(const QString& path) const
{
    return path.contains(programDir() + kLibraryFolder, Qt::CaseSensitive)
           || path.contains(userLibraryFolder(), Qt::CaseSensitive);
}

void MainWindow::dspCanvas_FileDropped(const QString& path)
{
    if (busyDepth > 0)
        return; // a long operation is still running on the canvas
    if (IsLibraryPath(path)) {
        // A library part is placed by pasting the picture the preview shows;
        // the dropped file itself is not read. With nothing in the preview
        // there is nothing to place (the clipboard may hold anything).
        if (dspPreview->ImageHandle() == 0)
            return;
        CopyPreviewToClipboard();
        btnClipPaste_Click();
        return;
    }
    fileIo.FileName = path;
    if (documents::readWithProgress(*this, false) == 0) {
        documents::reportOpenFailure(this, fileIo);
        return;
    }
    if (dspCanvas->ImageHandle() != 0)
        ReleaseCanvasImage();
    AdoptLoadedImage(false);
}

void MainWindow::dspCanvas_DisplayDropped()
{
    if (busyDepth > 0)
        return;
    if (dspPreview->ImageHandle() == 0)
        return;
    CopyPreviewToClipboard();
    btnClipPaste_Click();
}
