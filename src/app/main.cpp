#include "shell/first_paint.h"
#include "shell/main_window.h"
#include "shell/translations.h"
#include "imaging/io/gf5file.h"
#include "imaging/io/imageread.h"
#include "shell/userpaths.h"
#include <QApplication>
#include <QFont>

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
    // The file named first is opened by the window: it is read while the
    // window is built.
    if (!args.isEmpty())
        gf5::Gf5File::readAhead(args.first());
    MainWindow window(args, userpaths::programFolder(QCoreApplication::applicationDirPath()));
    window.show();
    startup::reportFirstPaintIfAsked(window.dspCanvas->viewport());
    // Asked once the window shows the picture: the scan of the recovery
    // folder does not delay it.
    startup::afterFirstPaint(window.dspCanvas->viewport(), [&window] { window.offerRecovery(); });
    return app.exec();
}
