// Opening, saving and reverting documents.
#include "document_rules.h"
#include "shell/form1.h"
#include "shell/messages.h"
#include <QFileInfo>

namespace {
// Holds back input to the window while a long operation runs.
struct BusyScope {
    int& depth;
    explicit BusyScope(int& d) : depth(d) { ++depth; }
    ~BusyScope() { --depth; }
};
}

void Form1::Command1_Click()
{
    if (Gf5File1.ShowOpenDialog() == 0)
        return;
    ProgressSource = 0;
    Gf5File1.CancelRequested = false;
    ShowProgress();
    Gf5File1.FileOperation = gf5::Gf5File::Read;
    int32_t ok = 0;
    {
        BusyScope busy(busyDepth);
        ok = Gf5File1.Execute();
    }
    CloseProgress();
    if (ok == 0)
        return;
    Gf5Disp1->setDisplayMode(0);
    Gf5Disp1->Refresh();
    if (Gf5Disp1->ImageHandle() != 0)
        ReleaseCanvasImage();
    AdoptLoadedImage(true);
}

bool Form1::AdoptLoadedImage(bool skipSnapshot)
{
    const int32_t h = Gf5File1.ImageHandle;
    Gf5Common1.ImageHandle = h;
    if (Gf5Common1.IsValid() == 0) {
        Gf5Common1.FreeImage();
        return false;
    }
    SourceBitDepth = Gf5Common1.BitDepth();
    DocumentDpi = Gf5Common1.ResolutionX(); // before the title refresh stamps PrintDpi
    bool result = true;
    if (SourceBitDepth == 24) {
        Gf5Disp1->setImageHandle(h);
    } else {
        Gf5Effect1.SourceImage = h;
        const int32_t ok = Gf5Effect1.ConvertBitDepth(24, 0, 0, 0);
        if (ok != 0)
            Gf5Disp1->setImageHandle(Gf5Effect1.ResultImage);
        Gf5Common1.ImageHandle = Gf5Effect1.SourceImage;
        Gf5Common1.FreeImage();
        Gf5Effect1.SourceImage = 0;
        result = ok != 0;
    }
    Gf5Disp1->setZoomMode(0);
    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    Form_Paint();
    DocumentPath = Gf5File1.FileName;
    UpdateTitle();
    if (!skipSnapshot)
        TakeUndoSnapshot();
    markDocumentClean();
    return result;
}

namespace {
// Writes the canvas image as type; on failure tells the user which file and why.
bool writeCanvas(Form1& f, const QString& name, gf5::io::FileType type)
{
    using gf5::io::FileType;
    f.Gf5File1.ImageHandle = f.Gf5Disp1->ImageHandle();
    f.Gf5File1.FileName = name;
    switch (type) {
    case FileType::Jpeg:
        f.Gf5File1.JpegQuality = 75;
        f.Gf5File1.FileOperation = gf5::Gf5File::WriteJpeg;
        break;
    case FileType::Png:
        f.Gf5File1.FileOperation = gf5::Gf5File::WritePng;
        break;
    case FileType::Pdf:
        f.Gf5File1.DocumentTitle = QFileInfo(name).completeBaseName();
        f.Gf5File1.FileOperation = gf5::Gf5File::WritePdf;
        break;
    case FileType::Bmp:
        f.Gf5File1.FileOperation = gf5::Gf5File::WriteBmp;
        break;
    }
    if (f.Gf5File1.Execute() != 0) {
        f.LastSaveFolder = QFileInfo(name).absolutePath();
        f.markDocumentClean();
        return true;
    }
    QString reason = f.Gf5File1.LastError;
    if (reason.isEmpty())
        reason = "原因不明のエラー";
    messages::show(&f, QString("「%1」に保存できませんでした。\n%2").arg(name, reason));
    return false;
}
}

void Form1::SaveDocument(bool asNew)
{
    if (Gf5Disp1->ImageHandle() == 0)
        return;
    // A recovered document's name is no file that holds its picture.
    const bool exists = documents::FileExists(DocumentPath) && !DocumentRecovered;
    // A PDF is an export that cannot be read back: saving over it always asks.
    const bool pdf = documents::IsPdfName(DocumentPath);
    if (exists && !asNew && !pdf) {
        if (documents::IsJpegName(DocumentPath))
            writeCanvas(*this, DocumentPath, gf5::io::FileType::Jpeg);
        else if (documents::IsBmpName(DocumentPath))
            writeCanvas(*this, DocumentPath, gf5::io::FileType::Bmp);
        else if (documents::IsPngName(DocumentPath))
            writeCanvas(*this, DocumentPath, gf5::io::FileType::Png);
        return;
    }
    if (!pdf && !DocumentRecovered && !DocumentPath.isEmpty() && DocumentPath.contains(".JPG", Qt::CaseInsensitive) &&
        !asNew) {
        if (writeCanvas(*this, DocumentPath, gf5::io::FileType::Jpeg))
            UpdateTitle();
        return;
    }
    Gf5File1.ImageHandle = Gf5Disp1->ImageHandle();
    Gf5File1.DialogFilter = "*;JPG;PNG;BMP;PDF;";
    // Whatever the file control read last (a scan's temporary file, a
    // library part) is never offered as the place to save.
    Gf5File1.FileName = saveProposal();
    if (Gf5File1.ShowSaveDialog() == 0)
        return;
    const QString name = Gf5File1.FileName;
    if (!writeCanvas(*this, name, documents::SaveTypeForName(name)))
        return;
    DocumentPath = name;
    UpdateTitle();
}

void Form1::Command2_Click(int index) { SaveDocument(index != 0); }

void Form1::mnuEditSave_Click() { SaveDocument(false); }

void Form1::btnSaveVertion_Click()
{
    // A PDF export cannot be read back; reverting to it would only empty the canvas.
    if (!documents::FileExists(DocumentPath) || documents::IsPdfName(DocumentPath))
        return;
    // The file is read before anything of the canvas is let go: when it can
    // no longer be read, the canvas keeps showing what it showed.
    Gf5File1.FileName = DocumentPath;
    Gf5File1.FileOperation = gf5::Gf5File::Read;
    Gf5File1.CancelRequested = false;
    if (Gf5File1.Execute() == 0)
        return;
    TakeUndoSnapshot();
    // The snapshot just taken is a separate copy, so the canvas image can go.
    ReleaseCanvasImage();
    AdoptLoadedImage(true);
    selectOption1(0);
}
