// Qt's standard dialogs speak Japanese once the program's translations are
// installed: no English word is left on a label, button, group box, tab or
// tooltip of the print, page setup, file and colour dialogs.
#include "shell/translations.h"
#include "testsupport/testmain.h"
#include <QAbstractButton>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTabWidget>

namespace {

// Latin words that are names, not English: file formats, units, "OK".
bool allowedWord(const QString& word)
{
    static const QStringList names{"PDF", "HTML", "OK", "mm", "RGB", "HSV", "CMYK"};
    return names.contains(word, Qt::CaseInsensitive);
}

// "<class> <objectName>: <text>" for every English word shown by w's children.
// Combo boxes are not read: paper and printer names stay as they are.
QStringList englishTexts(const QWidget& w)
{
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    QStringList out;
    for (const QWidget* c : w.findChildren<QWidget*>()) {
        QStringList texts{c->toolTip()};
        if (auto* l = qobject_cast<const QLabel*>(c))
            texts << l->text();
        if (auto* b = qobject_cast<const QAbstractButton*>(c))
            texts << b->text();
        if (auto* g = qobject_cast<const QGroupBox*>(c))
            texts << g->title();
        if (auto* t = qobject_cast<const QTabWidget*>(c))
            for (int i = 0; i < t->count(); ++i)
                texts << t->tabText(i);
        for (const QString& text : texts) {
            auto it = word.globalMatch(QString(text).remove(QRegularExpression("<[^>]*>")));
            while (it.hasNext()) {
                const QString found = it.next().captured();
                if (!allowedWord(found))
                    out << QStringLiteral("%1 %2: %3").arg(c->metaObject()->className(), c->objectName(), text);
            }
        }
    }
    out.removeDuplicates();
    return out;
}

} // namespace

class QtDialogTextsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm"))
            QSKIP("Qt's Japanese translations are not installed");
        QVERIFY(translations::installQtTranslations(*qApp, QLocale(QLocale::Japanese, QLocale::Japan)));
    }

    void printDialogsHaveNoEnglish()
    {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog print(&printer);
        print.show();
        const QStringList left = englishTexts(print);
        QVERIFY2(left.isEmpty(), qPrintable(left.join('\n')));
        // The duplex choices Qt's translation lacks, by name.
        auto* pages = print.findChild<QAbstractButton*>("pagesRadioButton");
        QVERIFY(pages);
        QCOMPARE(pages->text(), QString("ページ指定"));
        QCOMPARE(print.findChild<QAbstractButton*>("duplexLong")->text(), QString("長辺綴じ"));

        QPageSetupDialog setup(&printer);
        const QStringList setupLeft = englishTexts(setup);
        QVERIFY2(setupLeft.isEmpty(), qPrintable(setupLeft.join('\n')));
    }

    void fileAndColourDialogsHaveNoEnglish()
    {
        QFileDialog open(nullptr, QString(), QDir::tempPath());
        open.setOption(QFileDialog::DontUseNativeDialog);
        open.show();
        QStringList left = englishTexts(open);
        QFileDialog save(nullptr, QString(), QDir::tempPath());
        save.setOption(QFileDialog::DontUseNativeDialog);
        save.setAcceptMode(QFileDialog::AcceptSave);
        save.show();
        left << englishTexts(save);
        QColorDialog colour;
        left << englishTexts(colour);
        QVERIFY2(left.isEmpty(), qPrintable(left.join('\n')));
        // The type column of the file list.
        QCOMPARE(QFileIconProvider().type(QFileInfo(QDir::tempPath())), QString("フォルダー"));
    }
};

ZORVAT_TEST_MAIN(QtDialogTextsTest)
#include "test_qt_dialog_texts.moc"
