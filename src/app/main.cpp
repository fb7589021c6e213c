#include "shell/main_window.h"
#include "shell/translations.h"
#include "imaging/io/imageread.h"
#include "shell/userpaths.h"
#include "shell/window_placement.h"
#include <QApplication>
#include <QFont>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName("Zorvat");
    // Before any widget: the standard dialogs take their texts at creation.
    const QLocale locale = translations::uiLocale();
    QLocale::setDefault(locale);
    translations::installQtTranslations(app, locale);
    // Qt's readers may allocate what the imaging layer allows for one image:
    // a scanned A4 page at 600 dpi is above Qt's default, and no file, whatever
    // it claims, gets more.
    gf5::io::limitQtImageReaders();
    QFont::insertSubstitution("ＭＳ Ｐゴシック", "IPAPGothic");
    QStringList args = app.arguments();
    args.removeFirst();
    MainWindow window(args, userpaths::programFolder(QCoreApplication::applicationDirPath()));
    // Where the user left it last time; the design size the first time.
    placement::restoreMainWindowPlacement(window);
    window.show();
    // Asked once the window is on screen and the event loop runs.
    QTimer::singleShot(0, &window, &MainWindow::offerRecovery);
    return app.exec();
}
