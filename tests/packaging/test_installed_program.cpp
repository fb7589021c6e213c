// The program as installed (see install_tree.sh): its data folder is found
// from bin/, the parts library is listed from there, the user's settings
// come first, and a scan works while the data folder stays untouched.
#include "testsupport/formfixture.h"
#include "testsupport/saneconfig.h"
#include "testsupport/testmain.h"
#include "shell/messages.h"
#include "shell/userpaths.h"
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>

using namespace testsupport;

namespace {
// Every file and folder below dir with its size and modification time.
QStringList listing(const QString& dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        out << QString("%1 %2 %3").arg(info.filePath()).arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
    }
    out.sort();
    return out;
}

void clickTab(MainWindow& f, int index)
{
    QTest::mouseClick(f.tabLibrary, Qt::LeftButton, {}, f.tabLibrary->tabRect(index).center());
}
}

class InstalledProgramTest : public QObject {
    Q_OBJECT
    QString root, data;
    QStringList before;

private slots:
    void initTestCase()
    {
        root = qEnvironmentVariable("ZORVAT_INSTALL_ROOT");
        if (root.isEmpty() || !QFileInfo(root + "/usr/bin/zorvat").isExecutable())
            QSKIP("no installed tree (install_tree.sh makes it)");
        data = root + "/usr/share/zorvat";
        before = listing(data);
        QVERIFY(!before.isEmpty());
    }

    void cleanupTestCase()
    {
        if (!data.isEmpty())
            QCOMPARE(listing(data), before); // nothing written into the data folder
    }

    void theDataFolderIsFoundFromBin() { QCOMPARE(userpaths::programFolder(root + "/usr/bin"), data); }

    void listsTheInstalledPartsAndReadsTheUsersSettingsFirst()
    {
        MainWindow f({}, userpaths::programFolder(root + "/usr/bin"));
        QCOMPARE(f.PrintDpi, 150); // the installed sample, changed by the install test
        clickTab(f, 0);
        QVERIFY(f.thmParts->count() > 0);
        for (const QString& part : f.thmParts->shownFiles())
            QVERIFY2(part.startsWith(data + "/buhin/bihin/"), qPrintable(part));
        clickTab(f, 1);
        QVERIFY(f.thmParts->count() > 0);

        QDir().mkpath(userpaths::configFolder());
        QFile ini(userpaths::configFolder() + "/zorvat.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[print]\ndpi=300\n");
        ini.close();
        MainWindow g({}, data);
        QCOMPARE(g.PrintDpi, 300);
        ini.remove();
    }

    void scansIntoTheCanvas()
    {
        QTemporaryDir conf;
        if (!writeSaneTestConfig(conf.path(), 1))
            QSKIP("SANE's test device is not installed");
        qputenv("SANE_CONFIG_DIR", conf.path().toLocal8Bit());
        QStringList shown;
        messages::override = [&](const QString& text) { shown << text; };
        MainWindow f({}, data);
        f.scanner.ExtraOptions = {{"test-picture", "Solid black"}};
        f.btnScan->click();
        messages::override = nullptr;
        QVERIFY2(shown.isEmpty(), qPrintable(shown.join('|')));
        const QImage scanned = canvasImage(f);
        QVERIFY(scanned.width() > 600);
        QVERIFY(qRed(scanned.pixel(10, 10)) < 16);
    }
};

ZORVAT_TEST_MAIN(InstalledProgramTest)
#include "test_installed_program.moc"
