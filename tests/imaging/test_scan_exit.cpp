// After scanning, the program ends cleanly: the SANE session is left on its
// own thread when the application is about to quit, and a session still
// open when the process ends (no quit) is stopped without calling into the
// backends' exit code, which some backends crash in at that point. Each case
// runs this executable again as a child that lists the devices and ends.
#include "imaging/scan/sanejobs.h"
#include "testsupport/saneconfig.h"
#include "testsupport/testmain.h"
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstring>

namespace {

// The child: lists the devices, then ends through the event loop's quit or
// by returning from main without one.
int child(int argc, char** argv, bool quit)
{
    QCoreApplication app(argc, argv);
    auto job = std::make_shared<gf5::sane::ListJob>();
    gf5::sane::post(job);
    if (!job->waitDone(60000))
        return 3;
    if (!quit)
        return 0;
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int code = app.exec();
    // The session is over: a later job is done at once, never run.
    auto late = std::make_shared<gf5::sane::ListJob>();
    gf5::sane::post(late);
    return late->isDone() && !late->ok ? code : 4;
}

} // namespace

class TestScanExit : public QObject {
    Q_OBJECT
    QTemporaryDir conf_;

    void runChild(const QString& mode, bool testDevice)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (testDevice)
            env.insert("SANE_CONFIG_DIR", conf_.path());
        else {
            env.remove("SANE_CONFIG_DIR"); // the system's own configuration
            // That configuration loads every backend the machine has (and
            // through them libusb, libcurl, OpenSSL ...), whose blocks are
            // still held at exit when their exit code is never called; what
            // this case checks is the exit itself, so a sanitizer build does
            // not count those as leaks of ours.
            const QString asan = env.value("ASAN_OPTIONS");
            env.insert("ASAN_OPTIONS", (asan.isEmpty() ? QString() : asan + ':') + "detect_leaks=0");
        }
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(QCoreApplication::applicationFilePath(), {mode});
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
    }

private slots:
    void initTestCase()
    {
        if (!testsupport::writeSaneTestConfig(conf_.path(), 1))
            QSKIP("SANE's test device is not installed");
    }

    void endsCleanly_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("testDevice");
        QTest::newRow("quit, test device") << "--list-then-quit" << true;
        QTest::newRow("quit, default configuration") << "--list-then-quit" << false;
        QTest::newRow("no quit, test device") << "--list-then-return" << true;
        QTest::newRow("no quit, default configuration") << "--list-then-return" << false;
    }

    void endsCleanly()
    {
        QFETCH(QString, mode);
        QFETCH(bool, testDevice);
        runChild(mode, testDevice);
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--list-then-quit") == 0)
        return child(argc, argv, true);
    if (argc > 1 && std::strcmp(argv[1], "--list-then-return") == 0)
        return child(argc, argv, false);
    testsupport::prepareEnvironment();
    QApplication app(argc, argv);
    TestScanExit tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "test_scan_exit.moc"
