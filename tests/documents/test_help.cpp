// The help button and its viewer window.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>

using namespace testsupport;

namespace {
QList<QWidget*> viewers()
{
    QList<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == "Zorvatのヘルプ")
            out << w;
    return out;
}
}

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void withoutTheHelpFileNothingOpens()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        QTest::mouseClick(f.btnHelp, Qt::LeftButton);
        QVERIFY(viewers().isEmpty());
    }

    void oneViewerShowsThePageAndGoesWithTheEditor()
    {
        ProgramDir dir;
        QFile page(dir.file("Zorvat.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body><h1>壁の描き方</h1></body></html>");
        page.close();
        MainWindow f({}, dir.path());
        f.show();
        QTest::mouseClick(f.btnHelp, Qt::LeftButton);
        QTest::mouseClick(f.btnHelp, Qt::LeftButton);
        QCOMPARE(viewers().size(), 1);
        auto* browser = qobject_cast<QTextBrowser*>(viewers().first());
        QVERIFY(browser);
        QVERIFY(browser->toPlainText().contains("壁の描き方"));

        f.close();
        QVERIFY(viewers().isEmpty());
    }
};

ZORVAT_TEST_MAIN(HelpTest)
#include "test_help.moc"
