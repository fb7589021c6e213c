// Opening the plan's JPEG as a user does from a file manager: the program
// started with the file, timed from the process start until the canvas has
// first painted the picture (the program writes "painted" when
// ZORVAT_REPORT_FIRST_PAINT is set; that first picture is a reduced decode
// while the whole is still read), and until it has painted the whole
// picture ("whole"). The reference is the djpeg command decoding the same
// file, also timed from its process start to its end.
// The program runs on the bench's platform (offscreen without a display)
// with empty settings, data and state folders of its own.
#include "bench.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace {

using bench::Context;
using bench::Outcome;

QString editorProgram() { return QStringLiteral(ZORVAT_PROGRAM_DIR "/zorvat"); }
QString djpegProgram() { return QStandardPaths::findExecutable(QStringLiteral("djpeg")); }

QProcessEnvironment childEnvironment(const Context& c)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString home = c.folder + "/open-home";
    for (const char* sub : {"config", "data", "state", "cache"})
        QDir().mkpath(home + "/" + sub);
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_DATA_HOME", home + "/data");
    env.insert("XDG_STATE_HOME", home + "/state");
    env.insert("XDG_CACHE_HOME", home + "/cache");
    env.insert("ZORVAT_REPORT_FIRST_PAINT", "quit");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

// Time from the start until the program writes line.
Outcome openUntil(const Context& c, const QByteArray& line)
{
    QProcess p;
    p.setProcessEnvironment(childEnvironment(c));
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    p.start(editorProgram(), {c.planJpeg});
    bool painted = false;
    while (!painted && p.waitForReadyRead(60000)) {
        while (p.canReadLine())
            painted = painted || p.readLine().trimmed() == line;
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(5000);
    }
    return Outcome{painted, 0, ms};
}

Outcome djpeg(const Context& c)
{
    QProcess p;
    QElapsedTimer timer;
    timer.start();
    p.start(djpegProgram(), {QStringLiteral("-outfile"), QProcess::nullDevice(), c.planJpeg});
    const bool ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return Outcome{ok, 0, timer.nsecsElapsed() / 1e6};
}

const bool haveDjpeg = !djpegProgram().isEmpty();

const bench::Registrar openRow(
    haveDjpeg ? "open JPEG, process start to first paint (ref: djpeg command, start to end)"
              : "open JPEG, process start to first paint (djpeg not installed: no ref)",
    [](const Context& c) { return openUntil(c, "painted"); }, haveDjpeg ? bench::Fn(djpeg) : bench::Fn(),
    bench::ratioAtMost(2.0), true);
const bench::Registrar wholeRow(
    haveDjpeg ? "open JPEG, start to the whole picture painted (ref: djpeg command, start to end)"
              : "open JPEG, start to the whole picture painted (djpeg not installed: no ref)",
    [](const Context& c) { return openUntil(c, "whole"); }, haveDjpeg ? bench::Fn(djpeg) : bench::Fn(),
    bench::Target(), true);

} // namespace
