// The help button: the help page beside the program, shown in the editor's
// own viewer window. At most one viewer is open; it is found by its title,
// which is how closing the editor finds it too.
#include "shell/main_window.h"
#include "shell/window_placement.h"
#include <QApplication>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

namespace {
QWidget* findWindowByTitle(const QString& title)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title)
            return w;
    return nullptr;
}
}

void MainWindow::btnHelp_Click()
{
    if (findWindowByTitle(helpWindowTitle()))
        return;
    const QString path = programDir() + "/Zorvat.html";
    if (!QFileInfo(path).isFile())
        return;
    // A window of its own that goes with the editor; closing it frees it.
    auto* viewer = new QTextBrowser(this);
    viewer->setWindowFlag(Qt::Window);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setObjectName("helpViewer");
    viewer->setOpenExternalLinks(true);
    viewer->setSource(QUrl::fromLocalFile(path));
    viewer->setWindowTitle(helpWindowTitle());
    viewer->resize(560, 620);
    placement::centreOnOwner(*viewer, *this);
    viewer->show();
}
