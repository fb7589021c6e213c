#include "testmain.h"
#include "imaging/io/imageread.h"
#include <QDir>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
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

void closeUnansweredMessageBoxes()
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(250);
    QObject::connect(timer, &QTimer::timeout, [] {
        static QPointer<QMessageBox> seen;
        static int ticks = 0;
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box != seen) {
            seen = box;
            ticks = 0;
            return;
        }
        if (++ticks < 12)
            return;
        const QByteArray text = box->text().toUtf8();
        box->reject();
        seen = nullptr;
        QTest::qFail(("a message box was left unanswered: " + text).constData(), __FILE__, __LINE__);
    });
    timer->start();
}

} // namespace testsupport
