// The parts library: the thumbnail browser over the library folders, the
// preview display, and pictures dropped on the canvas.
#include "shell/form1.h"
#include "shell/userpaths.h"
#include <QTabBar>

namespace {
// Holds back input to the window while a long operation runs.
struct BusyScope {
    int& depth;
    explicit BusyScope(int& d) : depth(d) { ++depth; }
    ~BusyScope() { --depth; }
};

const char* const kLibraryFolder = "/buhin";

// The user's own parts, listed with the program folder's.
QString userLibraryFolder() { return userpaths::dataFolder() + kLibraryFolder; }
}

void Form1::TabStrip2_Click(int tab)
{
    const char* const sub = tab == 2 ? "/moji" : "/bihin";
    Gf5Thumb1->Folder = programDir() + kLibraryFolder + sub;
    Gf5Thumb1->ExtraFolders = QStringList{userLibraryFolder() + sub};
    Gf5Thumb1->FileFilter = "jpg;bmp;png";
    Gf5Thumb1->ThumbOptionA = false;
    Gf5Thumb1->ThumbOptionB = 1;
    Gf5Thumb1->ThumbOptionC = 5;
    Gf5Thumb1->Rebuild();
    Gf5Thumb1->Display();
}

void Form1::releasePreviewImage()
{
    const int32_t h = Gf5Disp2->ImageHandle();
    if (h == 0)
        return;
    Gf5Disp2->setImageHandle(0);
    Gf5Common1.ImageHandle = h;
    Gf5Common1.FreeImage();
}

namespace {
// Shows the image just read by the file control in the preview, fitted.
void showReadImageInPreview(Form1& f)
{
    f.Gf5Disp2->setImageHandle(f.Gf5File1.ImageHandle);
    f.Gf5Disp2->setZoomMode(0);
    f.Gf5Disp2->setDisplayMode(1);
    f.Gf5Disp2->Refresh();
    f.Form_Paint();
}
}

void Form1::Gf5Thumb1_ThumbnailClicked()
{
    releasePreviewImage();
    // A part is shown as read: no conversion and no progress window.
    Gf5File1.FileName = Gf5Thumb1->SelectedFile;
    Gf5File1.FileOperation = gf5::Gf5File::Read;
    if (Gf5File1.Execute() != 0)
        showReadImageInPreview(*this);
}

void Form1::btnBuhinRead_Click()
{
    releasePreviewImage();
    Gf5Disp2->setDisplayMode(0);
    Gf5Disp2->Refresh();
    if (Gf5File1.ShowOpenDialog() == 0)
        return;
    ProgressSource = 0;
    ShowProgress();
    Gf5File1.FileOperation = gf5::Gf5File::Read;
    {
        BusyScope busy(busyDepth);
        OpResult = Gf5File1.Execute();
    }
    CloseProgress();
    if (OpResult != 0)
        showReadImageInPreview(*this);
}

bool Form1::IsLibraryPath(const QString& path) const
{
    return path.contains(programDir() + kLibraryFolder, Qt::CaseSensitive)
           || path.contains(userLibraryFolder(), Qt::CaseSensitive);
}

void Form1::Gf5Disp1_FileDropped(const QString& path)
{
    if (busyDepth > 0)
        return; // a long operation is still running on the canvas
    if (IsLibraryPath(path)) {
        // A library part is placed by pasting the picture the preview shows;
        // the dropped file itself is not read. With nothing in the preview
        // there is nothing to place (the clipboard may hold anything).
        if (Gf5Disp2->ImageHandle() == 0)
            return;
        CopyPreviewToClipboard();
        btnClipPaste_Click();
        return;
    }
    Gf5File1.FileName = path;
    Gf5File1.FileOperation = gf5::Gf5File::Read;
    if (Gf5File1.Execute() == 0)
        return;
    if (Gf5Disp1->ImageHandle() != 0)
        ReleaseCanvasImage();
    AdoptLoadedImage(false);
}

void Form1::Gf5Disp1_DisplayDropped()
{
    if (busyDepth > 0)
        return;
    if (Gf5Disp2->ImageHandle() == 0)
        return;
    CopyPreviewToClipboard();
    btnClipPaste_Click();
}
