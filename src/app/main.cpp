#include "documents/session_end.h"
#include "shell/command_line.h"
#include "shell/first_paint.h"
#include "shell/main_window.h"
#include "shell/translations.h"
#include "imaging/io/gf5file.h"
#include "imaging/io/imageread.h"
#include "imaging/store/allocator.h"
#include "shell/userpaths.h"
#include "shell/window_placement.h"
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
    // Large freed buffers go back to the system instead of staying in the heap.
    gf5::memory::returnLargeBlocksToSystem();
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
    // The file named first is opened by the window: it is read while the
    // window is built.
    if (!parsed.files.isEmpty())
        gf5::Gf5File::readAhead(parsed.files.first(), startup::standInBox());
    MainWindow window(parsed.files, userpaths::programFolder(QCoreApplication::applicationDirPath()));
    // Where the user left it last time; the design size the first time.
    placement::restoreMainWindowPlacement(window);
    window.show();
    // A signal or the session's end keeps unsaved work before the program ends.
    recovery::keepWorkAtSessionEnd(app);
    startup::reportFirstPaintIfAsked(*window.dspCanvas);
    // Asked once the window shows the picture: the scan of the recovery
    // folder does not delay it.
    startup::afterFirstPaint(window.dspCanvas->viewport(), [&window] { window.offerRecovery(); });
    return app.exec();
}
