#pragma once
// Qt's own texts (standard dialogs, message-box buttons) in the user's
// language. Installed before any widget is made.
#include <QLocale>
#include <QString>

class QCoreApplication;

namespace translations {

// The locale of the program and of Qt's texts in it: Japanese whatever the
// desktop's, as every text of the program itself is Japanese and a dialog
// in another language inside it would read as a fault.
QLocale uiLocale();
// Loads Qt's own translations for locale from Qt's translations folder and
// installs them in app, and for Japanese the program's own Japanese for the
// texts Qt's translation leaves in English (print options, file types).
// False when Qt's are not found (the texts stay English).
bool installQtTranslations(QCoreApplication& app, const QLocale& locale);

} // namespace translations
