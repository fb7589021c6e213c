// The save dialog's proposal, and which files are the program's own.
#include "save_proposal.h"
#include "document_rules.h"
#include "drawing_export.h"
#include "plan_document.h"
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
    else if (!IsJpegName(name) && !IsBmpName(name) && !IsPngName(name) && !IsPdfName(name) && !IsDrawingName(name))
        name += ".jpg";
    return QDir(folder).filePath(name);
}

bool isOwnFile(const QString& path, const QString& programDir)
{
    // The program folder (parts library, help, sample settings), the user's
    // own parts and recovery copies, and the run's temporary files.
    for (const QString& folder : {programDir, userpaths::dataFolder(), userpaths::stateFolder(),
                                  userpaths::runTempFolder()})
        if (isInsideFolder(path, folder))
            return true;
    return false;
}

QString saveProposal(const PlanDocument& document, const QString& programDir, const QString& lastSaveFolder)
{
    const QString& path = document.path();
    const bool ownFile = isOwnFile(path, programDir);
    const bool userFile = !ownFile && FileExists(path);
    const bool ownName = !ownFile && !path.isEmpty() && path != kNewImageName && path != kScanName;
    return proposedSavePath(path, userFile, ownName, lastSaveFolder,
                            QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), QDir::homePath());
}

} // namespace documents
