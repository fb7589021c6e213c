// The save dialog's proposal, and which files are the program's own.
#include "save_proposal.h"
#include "document_rules.h"
#include "shell/main_window.h"
#include "shell/userpaths.h"
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace documents {

bool isInsideFolder(const QString& path, const QString& folder)
{
    if (folder.isEmpty() || path.isEmpty())
        return false;
    const QString p = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString f = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return p == f || p.startsWith(f.endsWith('/') ? f : f + '/');
}

QString proposedSavePath(const QString& documentPath, bool documentIsUserFile, bool documentHasOwnName,
                         const QString& lastSaveFolder, const QString& picturesFolder,
                         const QString& homeFolder)
{
    QString folder;
    if (documentIsUserFile)
        folder = QFileInfo(documentPath).absolutePath();
    else if (!lastSaveFolder.isEmpty() && QFileInfo(lastSaveFolder).isDir())
        folder = lastSaveFolder;
    else if (!picturesFolder.isEmpty() && QFileInfo(picturesFolder).isDir())
        folder = picturesFolder;
    else
        folder = homeFolder;

    QString name = documentHasOwnName ? QFileInfo(documentPath).fileName() : QString();
    if (name.isEmpty())
        name = kNewImageFileName;
    else if (!IsJpegName(name) && !IsBmpName(name) && !IsPngName(name) && !IsPdfName(name))
        name += ".jpg";
    return QDir(folder).filePath(name);
}

} // namespace documents

bool MainWindow::IsOwnFile(const QString& path) const
{
    // The program folder (parts library, help, sample settings), the user's
    // own parts and recovery copies, and the run's temporary files.
    for (const QString& folder : {m_programDir, userpaths::dataFolder(), userpaths::stateFolder(),
                                  userpaths::runTempFolder()})
        if (documents::isInsideFolder(path, folder))
            return true;
    return false;
}

QString MainWindow::saveProposal() const
{
    const bool ownFile = IsOwnFile(DocumentPath);
    const bool userFile = !ownFile && documents::FileExists(DocumentPath);
    const bool ownName = !ownFile && !DocumentPath.isEmpty() && DocumentPath != documents::kNewImageName &&
                         DocumentPath != documents::kScanName;
    return documents::proposedSavePath(DocumentPath, userFile, ownName, LastSaveFolder,
                                       QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                                       QDir::homePath());
}
