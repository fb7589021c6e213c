#include "shell/form1.h"
#include "shell/translations.h"
#include "shell/userpaths.h"
#include <QApplication>
#include <QFont>
#include <QImageReader>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName("Zorvat");
    // Before any widget: the standard dialogs take their texts at creation.
    const QLocale locale = translations::uiLocale(QLocale::system());
    QLocale::setDefault(locale);
    translations::installQtTranslations(app, locale);
    // Scans are large: an A4 page at 600 dpi is above Qt's default read limit.
    QImageReader::setAllocationLimit(0);
    QFont::insertSubstitution("ＭＳ Ｐゴシック", "IPAPGothic");
    QStringList args = app.arguments();
    args.removeFirst();
    Form1 window(args, userpaths::programFolder(QCoreApplication::applicationDirPath()));
    window.show();
    return app.exec();
}
