#pragma once
// Helpers for tests that drive the main window.
#include "shell/main_window.h"
#include "imaging/store/imagestore.h"
#include <QImage>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

// A program folder with an optional settings file.
struct ProgramDir {
    QTemporaryDir dir;
    explicit ProgramDir(const QString& iniText = QString());
    QString path() const { return dir.path(); }
    QString file(const QString& name) const { return dir.filePath(name); }
};

// The canvas image as stored (without uncommitted drawing).
QImage canvasImage(const MainWindow& f);
// Writes a test picture: white with a black square at (10, 10)-(30, 30).
QString writePlan(const QString& path, int w = 120, int h = 80, const char* format = nullptr);
// Puts a picture on the canvas in place of the current image.
void showOnCanvas(MainWindow& f, const QImage& img);
// Sets the canvas selection (left, top, right, bottom) without redrawing.
void setSelection(MainWindow& f, int l, int t, int r, int b);
// The canvas selection as a QRect whose corners are (left, top) and (right, bottom).
QRect selectionRect(const MainWindow& f);
// Changes the canvas the way a drawing command does: snapshot, then pixels.
void paintOnCanvas(MainWindow& f, const QRect& rect, QRgb colour);

// Answers the file dialogs with answer (empty: cancelled) and counts how
// often they open, for as long as it lives.
struct FileDialogs {
    int opened = 0;
    QString answer;
    FileDialogs();
    ~FileDialogs();
};
// The format a file's bytes show ("png", "bmp", "jpeg"), whatever its name.
QByteArray fileFormat(const QString& path);

} // namespace testsupport
