#include "translations.h"
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace translations {

QLocale uiLocale(const QLocale& system)
{
    if (system.language() == QLocale::C || system.name() == "C")
        return QLocale(QLocale::Japanese, QLocale::Japan);
    return system;
}

bool installQtTranslations(QCoreApplication& app, const QLocale& locale)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // Owned by the application: Qt keeps only a pointer to an installed translator.
    auto* translator = new QTranslator(&app);
    if (!translator->load(locale, "qtbase", "_", folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace translations
