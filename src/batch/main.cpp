// zorvat-batch: cleans scanned floor plans in bulk, without a window.
#include "batch/batch_job.h"
#include "batch/batch_options.h"
#include "batch/batch_run.h"
#include "imaging/store/allocator.h"
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv)
{
    gf5::memory::returnLargeBlocksToSystem();
    bool worker = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--worker") == 0)
            worker = true;
    std::unique_ptr<QCoreApplication> app;
    if (worker) {
        // Writers that lay out pages need the GUI machinery, never a screen.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    const batch::Parsed parsed = batch::parseArguments(app->arguments().mid(1));
    if (parsed.help) {
        std::fputs(batch::helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (!parsed.error.isEmpty()) {
        std::fprintf(stderr, "%s\n詳しくは zorvat-batch --help / see zorvat-batch --help\n",
                     parsed.error.toUtf8().constData());
        return 2;
    }
    batch::Options o = parsed.options;
    if (!o.filesFrom.isEmpty()) {
        QFile list;
        const bool opened = o.filesFrom == "-" ? list.open(stdin, QIODevice::ReadOnly)
                                               : (list.setFileName(o.filesFrom), list.open(QIODevice::ReadOnly));
        if (!opened) {
            std::fprintf(stderr, "ファイルの一覧を読めません / cannot read the file list: %s\n",
                         o.filesFrom.toUtf8().constData());
            return 2;
        }
        o.files << batch::fileListFrom(list.readAll());
        if (o.files.isEmpty()) {
            std::fprintf(stderr, "処理するファイルがありません / no input files given\n");
            return 2;
        }
    }
    if (o.worker) {
        // The reason for a failure goes to standard output, where the parent
        // reads it; standard error may carry the libraries' own warnings.
        const QString error = batch::processFile(o.files.front(), o.output, o);
        if (!error.isEmpty()) {
            std::fprintf(stdout, "%s\n", error.toUtf8().constData());
            return 1;
        }
        return 0;
    }
    std::vector<batch::Job> jobs = batch::planJobs(o);
    return batch::runJobs(jobs, o, QCoreApplication::applicationFilePath(), stdout, stderr);
}
