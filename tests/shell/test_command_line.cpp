// The command line: help and version on standard output without a display,
// an unknown option refused on standard error, Qt's options left to Qt, and
// a named file that cannot be read still opening the window, with a message.
#include "shell/command_line.h"
#include "shell/messages.h"
#include "testsupport/formfixture.h"
#include "testsupport/testmain.h"
#include <QProcess>

using namespace testsupport;
using command_line::Action;

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("files");
        const int run = int(Action::Run), help = int(Action::Help), version = int(Action::Version),
                  error = int(Action::Error);
        QTest::newRow("nothing") << QStringList{} << run << QStringList{};
        QTest::newRow("files") << QStringList{"a.bmp", "b.jpg"} << run << QStringList{"a.bmp", "b.jpg"};
        QTest::newRow("--help wins") << QStringList{"a.bmp", "--help"} << help << QStringList{"a.bmp"};
        QTest::newRow("-h") << QStringList{"-h"} << help << QStringList{};
        QTest::newRow("--version") << QStringList{"--version"} << version << QStringList{};
        QTest::newRow("unknown") << QStringList{"--bogus", "a.bmp"} << error << QStringList{};
        QTest::newRow("unknown short") << QStringList{"-x"} << error << QStringList{};
        QTest::newRow("Qt's options") << QStringList{"-platform", "offscreen", "--style=Fusion", "-reverse", "a.bmp"}
                                      << run << QStringList{"a.bmp"};
        QTest::newRow("after --") << QStringList{"--", "--help", "-"} << run << QStringList{"--help", "-"};
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(int, action);
        QFETCH(QStringList, files);
        const command_line::Parsed p = command_line::parse(args);
        QCOMPARE(int(p.action), action);
        QCOMPARE(p.files, files);
        if (p.action == Action::Error)
            QVERIFY(p.message.contains(args.first()));
    }

    // The program itself, with no display at all.
    void answersWithoutADisplay_data()
    {
        QTest::addColumn<QString>("arg");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("--help") << "--help" << 0 << "使い方: zorvat" << "";
        QTest::newRow("--version") << "--version" << 0 << "zorvat " ZORVAT_VERSION_TEXT << "";
        QTest::newRow("unknown") << "--bogus" << 2 << "" << "--bogus";
    }
    void answersWithoutADisplay()
    {
        QFETCH(QString, arg);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        program.setProcessEnvironment(env);
        program.start(ZORVAT_PROGRAM, {arg});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
        const QString stdOut = QString::fromUtf8(program.readAllStandardOutput());
        const QString stdErr = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
        QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.contains(err), qPrintable(stdErr));
    }

    void aMissingFileOpensTheWindowWithAMessage()
    {
        ProgramDir dir;
        QStringList shown;
        messages::override = [&](const QString& text) { shown << text; };
        MainWindow f({dir.file("nowhere.bmp")}, dir.path());
        QTRY_COMPARE(shown.size(), 1);
        messages::override = nullptr;
        QVERIFY2(shown[0].contains("nowhere.bmp") && shown[0].contains("見つかりません"), qPrintable(shown[0]));
        QCOMPARE(f.dspCanvas->ImageHandle(), 0);
    }
};

ZORVAT_TEST_MAIN(CommandLineTest)
#include "test_command_line.moc"
