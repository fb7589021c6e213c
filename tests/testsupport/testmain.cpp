#include "testmain.h"
#include "imaging/io/imageread.h"
#include <QDir>
#include <QLocale>
#include <QStandardPaths>
#include <cstdlib>

namespace testsupport {

namespace {
// The user's XDG folders of a test run: fresh and private, so that neither
// the machine's own settings nor recovery copies of an earlier run reach a
// test, and nothing a test writes reaches the machine's user.
void isolateUserFolders()
{
    QByteArray base = qgetenv("TMPDIR");
    if (base.isEmpty())
        base = "/tmp";
    QByteArray templ = base + "/zorvat-test-home-XXXXXX";
    if (!mkdtemp(templ.data()))
        return;
    const QString root = QString::fromLocal8Bit(templ);
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
        const QString dir = root + "/" + QString::fromLatin1(var).toLower();
        QDir().mkpath(dir);
        qputenv(var, dir.toLocal8Bit());
    }
    static const QString removeAtExit = root;
    std::atexit([] { QDir(removeAtExit).removeRecursively(); });
}
}

void prepareEnvironment()
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QLocale::setDefault(QLocale::c());
    QStandardPaths::setTestModeEnabled(true);
    gf5::io::limitQtImageReaders(); // the limit the program sets at start-up
    isolateUserFolders();
}

} // namespace testsupport
