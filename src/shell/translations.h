#pragma once
// Qt's own texts (standard dialogs, message-box buttons) in the user's
// language. Installed before any widget is made.
#include <QLocale>
#include <QString>

class QCoreApplication;

namespace translations {

// The locale whose Qt texts the program uses: the system's, or Japanese when
// the system names none (unset, "C" or "POSIX"): every text of the program
// itself is Japanese.
QLocale uiLocale(const QLocale& system);
// Loads Qt's own translations for locale from Qt's translations folder and
// installs them in app, and for Japanese the program's own Japanese for the
// texts Qt's translation leaves in English (print options, file types).
// False when Qt's are not found (the texts stay English).
bool installQtTranslations(QCoreApplication& app, const QLocale& locale);

} // namespace translations
