#include "translations.h"
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace translations {

namespace {
// Installs the translator for file (a path or a resource), owned by app, as
// Qt keeps only a pointer to an installed translator. False when it cannot
// be read.
bool install(QCoreApplication& app, const QLocale& locale, const QString& name, const QString& folder)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(locale, name, "_", folder) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}
} // namespace

QLocale uiLocale() { return QLocale(QLocale::Japanese, QLocale::Japan); }

bool installQtTranslations(QCoreApplication& app, const QLocale& locale)
{
    if (!install(app, locale, "qtbase", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    // Installed after Qt's own, so it is asked first: it only holds texts
    // Qt's translation lacks.
    if (locale.language() == QLocale::Japanese)
        install(app, locale, "zorvat_qt", ":/translations");
    return true;
}

} // namespace translations
