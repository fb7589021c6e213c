#include "documents/session_end.h"
#include "shell/command_line.h"
#include "shell/main_window.h"
#include "shell/translations.h"
#include "imaging/io/imageread.h"
#include "shell/userpaths.h"
#include <QApplication>
#include <QFont>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    // Answered before QApplication exists, so they need no display.
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given << QString::fromLocal8Bit(argv[i]);
    const command_line::Parsed parsed = command_line::parse(given);
    if (parsed.action != command_line::Action::Run) {
        std::FILE* out = parsed.action == command_line::Action::Error ? stderr : stdout;
        std::fputs(parsed.message.toUtf8().constData(), out);
        return command_line::exitStatus(parsed.action);
    }
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
    MainWindow window(parsed.files, userpaths::programFolder(QCoreApplication::applicationDirPath()));
    window.show();
    // A signal or the session's end keeps unsaved work before the program ends.
    recovery::keepWorkAtSessionEnd(app);
    // Asked once the window is on screen and the event loop runs.
    QTimer::singleShot(0, &window, &MainWindow::offerRecovery);
    return app.exec();
}
