#include "batch/batch_run.h"
#include "batch/batch_walls.h"
#include "batch/batch_job.h"
#include "imaging/io/imageread.h"
#include "batch/batch_vectors.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <memory>
#include <unistd.h>

namespace batch {

namespace {

// Bytes per pixel the steps may hold at once (source, result, the ink mask
// and component labels of noise removal), and what a worker process takes.
constexpr qint64 kBytesPerPixel = 24;
constexpr qint64 kProcessBytes = qint64(64) << 20;

qint64 halfTheMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    const qint64 physical = pages > 0 && pageSize > 0 ? qint64(pages) * pageSize : (qint64(4) << 30);
    return physical / 2;
}

void print(std::FILE* f, const QString& text)
{
    std::fputs(text.toUtf8().constData(), f);
    std::fflush(f);
}

// Progress on a terminal: one bar line, rewritten; messages go above it.
class Progress {
public:
    Progress(std::FILE* out, std::FILE* err, int total, bool json)
        : out_(out), err_(err), total_(total), terminal_(!json && isatty(fileno(err)) != 0), json_(json)
    {
    }
    void finished(const Job& job)
    {
        ++done_;
        if (json_) {
            std::fputs(jsonLine(job).constData(), out_);
            std::fputc('\n', out_);
            std::fflush(out_);
            return;
        }
        const QString count = QString("[%1/%2]").arg(done_).arg(total_);
        if (terminal_) {
            if (!job.error.isEmpty())
                print(err_, QString("\r\033[K失敗 (failed): %1: %2\n").arg(job.input, job.error));
            const int width = 30, filled = total_ > 0 ? width * done_ / total_ : width;
            print(err_, QString("\r\033[K[%1%2] %3/%4 %5")
                            .arg(QString(filled, '#'), QString(width - filled, '-'))
                            .arg(done_)
                            .arg(total_)
                            .arg(QFileInfo(job.input).fileName()));
            if (done_ == total_)
                print(err_, "\n");
        } else if (job.error.isEmpty()) {
            print(out_, job.output.isEmpty() ? QString("%1 %2\n").arg(count, job.input)
                                             : QString("%1 %2 -> %3\n").arg(count, job.input, job.output));
        } else {
            print(err_, QString("%1 失敗 (failed): %2: %3\n").arg(count, job.input, job.error));
        }
    }

private:
    std::FILE* out_;
    std::FILE* err_;
    int total_;
    int done_ = 0;
    bool terminal_;
    bool json_;
};

QString canonical(const QString& path)
{
    const QFileInfo info(path);
    const QString c = info.canonicalFilePath();
    return c.isEmpty() ? info.absoluteFilePath() : c;
}

} // namespace

QByteArray jsonLine(const Job& job)
{
    const QJsonObject line{{"name", job.input},
                           {"result", job.error.isEmpty() ? "ok" : "failed"},
                           {"reason", job.error},
                           {"seconds", std::round(job.seconds * 1000) / 1000},
                           {"output", job.output}};
    return QJsonDocument(line).toJson(QJsonDocument::Compact);
}

qint64 estimateCost(const QString& path)
{
    // The header alone; a file that is no regular file is refused here at
    // once, and again when its job reads it.
    const gf5::io::ImagePeek peek = gf5::io::peekImageFile(path);
    if (peek.size.isValid())
        return kProcessBytes + qint64(peek.size.width()) * peek.size.height() * kBytesPerPixel;
    return kProcessBytes + std::max<qint64>(QFileInfo(path).size(), 0) * 4;
}

bool mayStart(int running, qint64 inFlight, qint64 cost, int workers, qint64 budget)
{
    if (running == 0)
        return true;
    return running < workers && inFlight + cost <= budget;
}

std::vector<Job> planJobs(const Options& o)
{
    std::vector<Job> jobs;
    QSet<QString> inputs, outputs, vectorNames;
    for (const QString& f : o.files)
        inputs.insert(canonical(f));
    for (const QString& f : o.files) {
        Job job;
        const QFileInfo in(f);
        job.input = in.absoluteFilePath();
        if (o.writesVectors()) {
            const QString name = in.completeBaseName();
            if (vectorNames.contains(name))
                job.error = QStringLiteral("図面ファイル %1 が別の入力の図面と重なります")
                                .arg(vectorOutputPath(o.dxfDir.isEmpty() ? o.svgDir : o.dxfDir, f,
                                                      o.dxfDir.isEmpty() ? "svg" : "dxf"));
            vectorNames.insert(name);
        }
        if (!o.writesPicture() && !wallsOnly(o)) {
            if (job.error.isEmpty())
                job.cost = estimateCost(job.input);
            jobs.push_back(job);
            continue;
        }
        const QString name = o.format.isEmpty() ? in.fileName() : in.completeBaseName() + "." + o.format;
        const QString dir = o.inPlace ? in.absolutePath() : QDir(o.outDir).absolutePath();
        // Only the wall map is written when no picture output is asked for.
        job.output = wallsOnly(o) ? wallsFileFor(f, o.wallsDir) : QDir(dir).filePath(name);
        const QString target = canonical(job.output);
        const bool ownInput = target == canonical(job.input);
        if (!job.error.isEmpty()) {
            // already refused for its vector file's name
        } else if (inputs.contains(target) && !(o.inPlace && ownInput))
            job.error = ownInput ? QStringLiteral("入力ファイルは上書きしません（置き換えるときは --in-place）")
                                 : QStringLiteral("結果が別の入力ファイル %1 を上書きしてしまいます").arg(job.output);
        else if (outputs.contains(target))
            job.error = QStringLiteral("結果のファイル名 %1 が別の入力の結果と重なります").arg(job.output);
        else
            outputs.insert(target);
        if (job.error.isEmpty())
            job.cost = estimateCost(job.input);
        jobs.push_back(job);
    }
    return jobs;
}

int runJobs(std::vector<Job>& jobs, const Options& o, const QString& program, std::FILE* out, std::FILE* err)
{
    const int workers = o.jobs > 0 ? o.jobs : std::max(1, QThread::idealThreadCount());
    const qint64 budget = halfTheMemory();
    Progress progress(out, err, int(jobs.size()), o.json);

    for (const QString& dir : {o.inPlace ? QString() : o.outDir, o.wallsDir, o.dxfDir, o.svgDir}) {
        if (dir.isEmpty() || QDir().mkpath(dir))
            continue;
        for (Job& job : jobs) {
            if (job.done)
                continue;
            job.error = QStringLiteral("出力フォルダを作れません: %1").arg(dir);
            job.done = true;
            progress.finished(job);
        }
    }
    for (Job& job : jobs)
        if (!job.done && !job.error.isEmpty()) {
            job.done = true;
            progress.finished(job);
        }

    QEventLoop loop;
    size_t next = 0;
    int running = 0;
    qint64 inFlight = 0;
    std::function<void()> startMore;
    // A worker ended (or never started): account for it, start the next.
    std::vector<QElapsedTimer> clocks(jobs.size());
    auto finish = [&](QProcess* worker, size_t index, const QString& error) {
        Job& done = jobs[index];
        done.error = error;
        done.seconds = clocks[index].nsecsElapsed() / 1e9;
        done.done = true;
        --running;
        inFlight -= done.cost;
        worker->deleteLater();
        progress.finished(done);
        startMore();
        if (running == 0 && next >= jobs.size())
            loop.quit();
    };
    startMore = [&] {
        while (next < jobs.size()) {
            Job& job = jobs[next];
            if (job.done) {
                ++next;
                continue;
            }
            if (!mayStart(running, inFlight, job.cost, workers, budget))
                break;
            const size_t index = next++;
            ++running;
            inFlight += job.cost;
            auto* worker = new QProcess(&loop);
            worker->setProcessChannelMode(QProcess::SeparateChannels);
            worker->setStandardErrorFile(QProcess::nullDevice());
            QObject::connect(worker, &QProcess::finished, &loop,
                             [&, worker, index](int code, QProcess::ExitStatus status) {
                                 const QString message = QString::fromUtf8(worker->readAllStandardOutput()).trimmed();
                                 QString error;
                                 if (status != QProcess::NormalExit)
                                     error = QStringLiteral("処理中に異常終了しました");
                                 else if (code != 0)
                                     error = message.isEmpty() ? QStringLiteral("処理できませんでした") : message;
                                 finish(worker, index, error);
                             });
            QObject::connect(worker, &QProcess::errorOccurred, &loop, [&, worker, index](QProcess::ProcessError e) {
                if (e == QProcess::FailedToStart) // a crash is reported when it finishes
                    finish(worker, index, QStringLiteral("作業プロセスを起動できませんでした"));
            });
            clocks[index].start();
            worker->start(program, workerArguments(o, job.input, job.output));
        }
    };
    startMore();
    if (running > 0)
        loop.exec();

    QStringList failed;
    for (const Job& job : jobs)
        if (!job.error.isEmpty())
            failed << QString("  %1: %2\n").arg(job.input, job.error);
    if (failed.isEmpty()) {
        // With --json standard output carries the JSON lines only.
        print(o.json ? err : out, QString("完了 (done): %1 件\n").arg(jobs.size()));
        return 0;
    }
    print(err, QString("失敗したファイル %1 件 (failed files):\n%2").arg(failed.size()).arg(failed.join("")));
    return 1;
}

} // namespace batch
