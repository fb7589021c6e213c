#pragma once
// Where the save dialog opens and which name it proposes.
#include <QString>

namespace documents {

inline const QString kNewImageFileName = QStringLiteral("新規イメージ.jpg");

// True when path lies inside folder (or is folder itself), comparing
// cleaned absolute paths. An empty folder contains nothing.
bool isInsideFolder(const QString& path, const QString& folder);

// The path the save dialog starts with. documentIsUserFile: the document is
// a file of the user's that exists (not a name such as "新規イメージ", nor a
// file the program keeps for itself). The folder is the document's when it
// is such a file, otherwise lastSaveFolder when it still exists, otherwise
// picturesFolder when it exists, otherwise homeFolder. The name is the
// document's file name (".jpg" added when it names no picture type), or
// "新規イメージ.jpg" for a document without a name of its own.
QString proposedSavePath(const QString& documentPath, bool documentIsUserFile, bool documentHasOwnName,
                         const QString& lastSaveFolder, const QString& picturesFolder,
                         const QString& homeFolder);

// True for files the program keeps for itself: inside programDir, the
// user's parts and recovery folders, or the run's temporary folder.
bool isOwnFile(const QString& path, const QString& programDir);

class PlanDocument;
// The path the save dialog starts with for document (never one of the
// program's own files), with the user's pictures folder and home folder
// as the last resorts.
QString saveProposal(const PlanDocument& document, const QString& programDir, const QString& lastSaveFolder);

} // namespace documents
