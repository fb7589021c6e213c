// The user's own settings file and Qt's own texts in Japanese.
#include "testsupport/formfixture.h"
#include "testsupport/testmain.h"
#include "shell/translations.h"
#include "shell/userpaths.h"
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>

using namespace testsupport;

namespace {
void writeUserIni(const QByteArray& text)
{
    QDir().mkpath(userpaths::configFolder());
    QFile f(userpaths::configFolder() + "/zorvat.ini");
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}
}

class UserSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QFile::remove(userpaths::configFolder() + "/zorvat.ini"); }

    void theUsersFileComesBeforeTheProgramFolders()
    {
        ProgramDir dir("[print]\ndpi=150\n");
        {
            MainWindow f({}, dir.path());
            QCOMPARE(f.PrintDpi, 150); // no user file: the program folder's
        }
        // Reading never makes a settings file of its own.
        QVERIFY(!QFile::exists(userpaths::configFolder() + "/zorvat.ini"));
        writeUserIni("[Print]\r\ndpi = 300dpi\r\n");
        {
            MainWindow f({}, dir.path());
            QCOMPARE(f.PrintDpi, 300);
        }
        // The user's 0 is the user's value, read by the usual rule.
        writeUserIni("[print]\ndpi=0\n");
        {
            MainWindow f({}, dir.path());
            QCOMPARE(f.PrintDpi, 200);
        }
        // A user file without the key leaves it to the program folder.
        writeUserIni("[other]\ndpi=400\n");
        {
            MainWindow f({}, dir.path());
            QCOMPARE(f.PrintDpi, 150);
        }
    }

    void aMissingProgramFileLeavesTheUsersValue()
    {
        ProgramDir dir; // no zorvat.ini at all
        writeUserIni("[print]\ndpi=254\n");
        MainWindow f({}, dir.path());
        QCOMPARE(f.PrintDpi, 254);
    }

    void standardButtonsReadJapaneseUnderAnyDesktop()
    {
        // A German desktop: the program and Qt's dialogs in it stay Japanese.
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(translations::uiLocale().language(), QLocale::Japanese);
        QLocale::setDefault(before);
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm"))
            QSKIP("Qt's Japanese translations are not installed");
        QVERIFY(translations::installQtTranslations(*qApp, translations::uiLocale()));
        QMessageBox box(QMessageBox::NoIcon, QString(), "x", QMessageBox::Yes | QMessageBox::No |
                                                                  QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("キャンセル"));
        QVERIFY(box.button(QMessageBox::Yes)->text().startsWith("はい"));
        QVERIFY(box.button(QMessageBox::No)->text().startsWith("いいえ"));
        QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Save);
        QVERIFY(buttons.button(QDialogButtonBox::Open)->text().startsWith("開く"));
        QVERIFY(buttons.button(QDialogButtonBox::Save)->text().startsWith("保存"));
    }
};

ZORVAT_TEST_MAIN(UserSettingsTest)
#include "test_user_settings.moc"
