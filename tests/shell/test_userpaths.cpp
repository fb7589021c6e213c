// Program folder and the user's XDG folders.
#include "testsupport/testmain.h"
#include "shell/userpaths.h"
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

class UserPathsTest : public QObject {
    Q_OBJECT
private slots:
    void programFolderOfABuildTreeIsTheExecutablesFolder()
    {
        QTemporaryDir root;
        QDir(root.path()).mkpath("program");
        QCOMPARE(userpaths::programFolder(root.path() + "/program"), root.path() + "/program");
        // A "bin" folder without share/zorvat beside it stays the program folder.
        QDir(root.path()).mkpath("bin");
        QCOMPARE(userpaths::programFolder(root.path() + "/bin"), root.path() + "/bin");
    }

    void programFolderOfAnInstallIsShareZorvat()
    {
        QTemporaryDir root;
        QDir(root.path()).mkpath("usr/bin");
        QDir(root.path()).mkpath("usr/share/zorvat");
        QCOMPARE(userpaths::programFolder(root.path() + "/usr/bin"), root.path() + "/usr/share/zorvat");
    }

    void userFoldersFollowXdgVariables()
    {
        const QByteArray old = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", "/tmp/xdg-state");
        QCOMPARE(userpaths::stateFolder(), QString("/tmp/xdg-state/zorvat"));
        // A relative value is ignored for the default under the home folder.
        qputenv("XDG_STATE_HOME", "relative/state");
        QCOMPARE(userpaths::stateFolder(), QDir::homePath() + "/.local/state/zorvat");
        qunsetenv("XDG_STATE_HOME");
        QCOMPARE(userpaths::stateFolder(), QDir::homePath() + "/.local/state/zorvat");
        if (!old.isEmpty())
            qputenv("XDG_STATE_HOME", old);
    }

    void runTempFolderIsPrivateAndStable()
    {
        const QString dir = userpaths::runTempFolder();
        QVERIFY(!dir.isEmpty());
        QVERIFY(QFileInfo(dir).isDir());
        QCOMPARE(userpaths::runTempFolder(), dir);
        QCOMPARE(QFileInfo(dir).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup),
                 QFileDevice::Permissions());
    }
};

ZORVAT_TEST_MAIN(UserPathsTest)
#include "test_userpaths.moc"
