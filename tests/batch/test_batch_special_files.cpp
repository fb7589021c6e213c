// zorvat-batch given a named pipe (no writer) and a folder among its inputs
// works through the rest and lists those two as failed, instead of waiting
// for ever on the pipe.
#include "testsupport/testmain.h"
#include <QDir>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/stat.h>

class TestBatchSpecialFiles : public QObject {
    Q_OBJECT

private slots:
    void pipesAndFoldersFailWithoutHoldingUpTheRest()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(qRgb(200, 200, 200));
        QVERIFY(QImageWriter(dir.filePath("good.jpg")).write(img));
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("pipe.jpg")).constData(), 0600) == 0);
        QVERIFY(QDir(dir.path()).mkdir("folder.bmp"));

        QElapsedTimer timer;
        timer.start();
        QProcess p;
        p.start(ZORVAT_BATCH_PROGRAM, {"-o", dir.filePath("out"), dir.filePath("good.jpg"), dir.filePath("pipe.jpg"),
                                       dir.filePath("folder.bmp")});
        const bool finished = p.waitForFinished(60000);
        if (!finished)
            p.kill();
        QVERIFY2(finished, "zorvat-batch did not finish");
        QVERIFY(timer.elapsed() < 30000);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY(p.exitCode() != 0); // some inputs failed
        QVERIFY(QFile::exists(dir.filePath("out/good.jpg")));
        QVERIFY2(err.contains("pipe.jpg") && err.contains("folder.bmp"), qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("通常のファイルではありません")) || err.contains(QStringLiteral("開けません")),
                 qPrintable(err));
    }
};

ZORVAT_TEST_MAIN(TestBatchSpecialFiles)
#include "test_batch_special_files.moc"
