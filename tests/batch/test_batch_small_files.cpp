// zorvat-batch given each small hostile file (huge claims in a few hundred
// bytes, cut-off scans, broken run-length streams) and each fuzzing seed:
// every one is converted or refused, and no run's peak memory comes near
// what the claimed pictures would take. Times are printed, not asserted.
#include "testsupport/testmain.h"
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct Run {
    int status = -1;
    qint64 peakKb = 0;
    qint64 ms = 0;
};

// Runs the program to its end; its own peak resident memory from the kernel.
Run runBatch(const QStringList& args)
{
    QList<QByteArray> owned{QByteArray(ZORVAT_BATCH_PROGRAM)};
    for (const QString& a : args)
        owned << QFile::encodeName(a);
    std::vector<char*> argv;
    for (QByteArray& a : owned)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Run run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        struct rusage usage = {};
        if (wait4(pid, &run.status, 0, &usage) == pid)
            run.peakKb = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    run.ms = timer.elapsed();
    return run;
}

} // namespace

class TestBatchSmallFiles : public QObject {
    Q_OBJECT

private slots:
    void eachSmallFileIsHandledWithinItsMemory_data()
    {
        QTest::addColumn<QString>("path");
        const QString root = QStringLiteral(ZORVAT_SOURCE_DIR);
        for (const QString& folder : {root + "/tests/imaging/data/hostile", root + "/fuzz/corpus"}) {
            QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                if (QFileInfo(path).size() < 64 * 1024 && !path.contains("/settings/"))
                    QTest::newRow(qPrintable(QDir(root).relativeFilePath(path))) << path;
            }
        }
    }

    void eachSmallFileIsHandledWithinItsMemory()
    {
        QFETCH(QString, path);
        QTemporaryDir out;
        // The steps that work on a full-colour copy are where a small file
        // claiming a huge picture would cost the most.
        const Run run = runBatch({"-j1", "--denoise", "--walls", out.path(), "-o", out.path(), path});
        QVERIFY(WIFEXITED(run.status)); // no crash, no signal
        QVERIFY(WEXITSTATUS(run.status) <= 1);
        qInfo("%s: %lld ms, %lld MB at most", qPrintable(QFileInfo(path).fileName()), run.ms, run.peakKb / 1024);
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer's shadow memory and quarantine inflate the peak");
#else
        QVERIFY2(run.peakKb < 300 * 1024, qPrintable(QString::number(run.peakKb / 1024) + " MB"));
#endif
    }

    // A real picture over a gigabyte (a blank 16000 x 16000 page in a
    // 51-kB PNG) is skipped with its size unless --allow-large is given.
    void aHugeRealPictureIsSkippedWithItsSize()
    {
        const QString path = QStringLiteral(ZORVAT_SOURCE_DIR "/tests/imaging/data/hostile/png-16000x16000-1bit-blank.png");
        QTemporaryDir out;
        QProcess batch;
        batch.start(ZORVAT_BATCH_PROGRAM, {"-j1", "--grey", "-o", out.path(), path});
        QVERIFY(batch.waitForFinished(60000));
        QCOMPARE(batch.exitCode(), 1);
        const QString said = QString::fromUtf8(batch.readAllStandardError());
        QVERIFY2(said.contains("16000 × 16000") && said.contains("--allow-large"), qPrintable(said));
        QVERIFY(QDir(out.path()).isEmpty());
    }
};

ZORVAT_TEST_MAIN(TestBatchSmallFiles)
#include "test_batch_small_files.moc"
