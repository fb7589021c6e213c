#include "imaging/io/fileload.h"
#include "imaging/effects/effectcore.h"
#include "imaging/io/regularfile.h"
#include "imaging/store/prefault.h"
#include <QFile>
#include <QtEndian>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace gf5::io {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr qint64 kChunk = 1 << 20;
// Reads quicker than this report nothing: the caller's progress window
// would only flash.
constexpr auto kQuiet = milliseconds(150);

enum class Decision { Pending, Keep, Divert, End };

// What the worker and the caller share; the worker keeps it alive after a
// cancelled caller has gone.
struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    qint64 done = 0;
    qint64 expected = 0;
    bool finished = false;
    QByteArray bytes;
    QString error;
    std::atomic<bool> stop{false};
    // The head handed to the caller's divert while the worker waits.
    bool asking = false;
    const uchar* head = nullptr;
    qint64 headSize = 0, headFileSize = 0;
    Decision decision = Decision::Pending;
    std::shared_ptr<RecordSink> sink;
    QString divertError;
    qint64 taken = 0;     // records the sink has taken
    bool restart = false; // the file ended before its records: read it again whole
};

qint64 fileSize(int fd, qint64* changedAgoMs = nullptr)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return -1;
    if (changedAgoMs) {
        struct timespec now;
        ::clock_gettime(CLOCK_REALTIME, &now);
        *changedAgoMs = (qint64(now.tv_sec) - st.st_mtim.tv_sec) * 1000 + (now.tv_nsec - st.st_mtim.tv_nsec) / 1000000;
    }
    return st.st_size;
}

// Whether some process has the file open for writing (1) or not (0): a
// read lease is refused while it is. -1 where the file system or the
// file's owner gives no answer (network folders, others' files).
int openForWriting(int fd)
{
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return 0;
    }
    return errno == EAGAIN ? 1 : -1;
}

// Sleeps in short steps until the file is longer than `have`, `ms` pass or
// the caller stops. True when it grew.
bool waitForGrowth(int fd, qint64 have, int ms, const Shared& s)
{
    const auto until = Clock::now() + milliseconds(ms);
    while (!s.stop.load()) {
        if (fileSize(fd) > have)
            return true;
        if (Clock::now() >= until)
            return false;
        std::this_thread::sleep_for(milliseconds(25));
    }
    return false;
}

QString readErrorText(const QString& path)
{
    return QStringLiteral("ファイルを読めませんでした: %1（%2）").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
}

// Shows the caller the head and waits for its decision (or a cancel).
Decision askCaller(Shared& s, const QByteArray& head, qint64 size, std::shared_ptr<RecordSink>& sink, QString& error)
{
    std::unique_lock lock(s.mutex);
    s.head = reinterpret_cast<const uchar*>(head.constData());
    s.headSize = head.size();
    s.headFileSize = size;
    s.asking = true;
    s.changed.notify_all();
    while (s.decision == Decision::Pending && !s.stop.load())
        s.changed.wait_for(lock, milliseconds(50));
    s.asking = false;
    s.head = nullptr;
    sink = s.sink;
    if (s.decision == Decision::End)
        error = s.divertError;
    return s.stop.load() ? Decision::End : s.decision;
}

// Hands the sink its records: those already in the head, then the rest as
// read from fd (positioned at head's end), about a percent of them per read
// into a buffer that stays in the cache. Returns with error set, or
// s.restart when the file ends before its records.
void streamRecords(int fd, const QByteArray& head, RecordSink& sink, Shared& s, const QString& path, QString& error)
{
    const qint64 stride = sink.stride, count = sink.count;
    const qint64 perRead = std::clamp<qint64>((count + 99) / 100, 1, std::max<qint64>(1, kChunk / stride));
    std::vector<uchar> chunk(size_t(perRead * stride));
    std::vector<uchar> carry(static_cast<size_t>(stride)); // a record split between reads
    qint64 carried = 0, next = 0;
    qint64 pos = 0; // file offset of the next byte fed
    auto publish = [&] {
        std::lock_guard lock(s.mutex);
        s.taken = next;
        s.changed.notify_all();
    };
    auto take = [&](const uchar* data, qint64 n) {
        if (!sink.take(next, n, data, error)) {
            // A refusal never passes for a finished read.
            if (error.isEmpty())
                error = QStringLiteral("ファイルを読めませんでした: %1").arg(path);
            return false;
        }
        next += n;
        publish();
        return true;
    };
    auto feed = [&](const uchar* p, qint64 n) {
        const qint64 skip = std::clamp<qint64>(sink.offset - pos, 0, n);
        pos += n;
        p += skip;
        n -= skip;
        while (n > 0 && next < count) {
            if (carried > 0 || n < stride) {
                const qint64 part = std::min(stride - carried, n);
                std::memcpy(carry.data() + carried, p, size_t(part));
                carried += part;
                p += part;
                n -= part;
                if (carried == stride) {
                    carried = 0;
                    if (!take(carry.data(), 1))
                        return false;
                }
            } else {
                const qint64 whole = std::min(n / stride, count - next);
                if (!take(p, whole))
                    return false;
                p += whole * stride;
                n -= whole * stride;
            }
        }
        return true;
    };
    if (!feed(reinterpret_cast<const uchar*>(head.constData()), head.size()))
        return;
    while (next < count) {
        if (s.stop.load())
            return;
        // Reads end on record boundaries once a split record is complete.
        const qint64 want = qint64(chunk.size()) - carried;
        const ssize_t n = ::read(fd, chunk.data(), size_t(want));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = readErrorText(path);
            return;
        }
        if (n == 0) {
            // The last record may end short of its padding.
            if (next == count - 1 && carried >= sink.lastBytes) {
                std::memset(carry.data() + carried, 0, size_t(stride - carried));
                take(carry.data(), 1);
            } else {
                s.restart = true;
            }
            return;
        }
        if (!feed(chunk.data(), n))
            return;
    }
}

void readOnWorker(const std::shared_ptr<Shared>& s, const QString& path, qint64 limit, GrowthPatience patience,
                  bool divert)
{
    QByteArray bytes;
    QString error;
    bool diverted = false;
    [&] {
        QFile file;
        if (!openRegularFile(path, file, &error))
            return;
        const int fd = file.handle();
        const qint64 size = fileSize(fd);
        // No picture the layer can hold comes from a file larger than its
        // limit for one image.
        if (size > fx::maxImageBytes()) {
            error = QStringLiteral("ファイルが大きすぎて読み込めません: %1").arg(path);
            return;
        }
        const qint64 want = limit > 0 ? std::min(limit, size) : size;
        {
            std::lock_guard lock(s->mutex);
            s->expected = want;
        }
        // A read that may be diverted holds only its head until the caller
        // has decided.
        bool asking = divert && limit <= 0;
        bytes.reserve(asking ? std::min(want, kChunk) : want);
        // The pages of a large buffer are made present on another thread
        // while the file is read into it from the front.
        auto prefault = std::make_unique<BackgroundPrefault>(bytes.data(), size_t(bytes.capacity()));
        bool growing = false;
        while (!s->stop.load()) {
            const qint64 at = bytes.size();
            // Reads stay within the buffer while the file is as large as it
            // was; a file that grew makes it move, and the prefault stops.
            const qint64 left = bytes.capacity() - at;
            const qint64 room = limit > 0 ? std::min(kChunk, limit - at) : left > 0 ? std::min(kChunk, left) : kChunk;
            if (room <= 0)
                return;
            if (at + room > bytes.capacity())
                prefault->stop();
            bytes.resize(at + room);
            const ssize_t n = ::read(fd, bytes.data() + at, size_t(room));
            bytes.resize(at + std::max<ssize_t>(n, 0));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                error = readErrorText(path);
                return;
            }
            if (n > 0) {
                if (bytes.size() > fx::maxImageBytes()) {
                    error = QStringLiteral("ファイルが大きすぎて読み込めません: %1").arg(path);
                    return;
                }
                {
                    std::lock_guard lock(s->mutex);
                    s->done = bytes.size();
                    s->expected = std::max(s->expected, s->done);
                    s->changed.notify_all();
                }
                if (asking) {
                    asking = false;
                    std::shared_ptr<RecordSink> sink;
                    switch (askCaller(*s, bytes, fileSize(fd), sink, error)) {
                    case Decision::Divert:
                        diverted = true;
                        prefault.reset();
                        streamRecords(fd, bytes, *sink, *s, path, error);
                        bytes = QByteArray();
                        return;
                    case Decision::End:
                        return;
                    default:
                        // The whole file is read after all, into a buffer
                        // of its size (the prefault stops before it moves).
                        prefault.reset();
                        bytes.reserve(want);
                        prefault = std::make_unique<BackgroundPrefault>(bytes.data(), size_t(bytes.capacity()));
                        break;
                    }
                }
                continue;
            }
            // At the end of what is there now. A partial read of the file's
            // head, or a whole picture, needs nothing more.
            if (limit > 0 || looksWhole(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size()))
                return;
            qint64 changedAgo = 0;
            if (fileSize(fd, &changedAgo) > bytes.size()) {
                growing = true;
                continue;
            }
            // A file cut short that someone is writing right now is watched;
            // one nobody writes is as it will stay.
            int writer = 1;
            if (!growing) {
                writer = openForWriting(fd);
                if (writer == 0 || (writer < 0 && changedAgo > 1000))
                    return;
            }
            if (!waitForGrowth(fd, bytes.size(), writer > 0 ? patience.settleMs : patience.probeMs, *s))
                return;
            growing = true;
        }
    }();
    std::lock_guard lock(s->mutex);
    s->bytes = std::move(bytes);
    s->error = std::move(error);
    s->decision = diverted ? Decision::Divert : s->decision;
    s->finished = true;
    s->changed.notify_all();
}

} // namespace

bool looksWhole(const uchar* d, qint64 size)
{
    if (size >= 2 && d[0] == 0xFF && d[1] == 0xD8)
        return size >= 4 && d[size - 2] == 0xFF && d[size - 1] == 0xD9;
    static const uchar pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 8 && std::memcmp(d, pngSignature, 8) == 0)
        return size >= 20 && std::memcmp(d + size - 8, "IEND", 4) == 0;
    if (size >= 6 && d[0] == 'B' && d[1] == 'M')
        return size >= qint64(qFromLittleEndian<quint32>(d + 2));
    return true;
}

LoadedFile loadFile(const QString& path, const std::function<bool(int)>& report, qint64 limit,
                    const GrowthPatience& patience, const Divert& divert)
{
    auto shared = std::make_shared<Shared>();
    std::thread(readOnWorker, shared, path, limit, patience, bool(divert)).detach();

    LoadedFile out;
    auto cancel = [&](std::unique_lock<std::mutex>& lock) {
        // The worker notices at its next step and drops what it read.
        shared->stop.store(true);
        shared->changed.notify_all();
        lock.unlock();
        out.cancelled = true;
        out.error = QStringLiteral("読み込みを中止しました");
        return out;
    };
    // Records taken and reported so far, and the last percent reported.
    qint64 reported = 0;
    int percentShown = -1;
    auto lastReport = Clock::now();
    const auto start = Clock::now();
    std::unique_lock lock(shared->mutex);
    while (!shared->finished) {
        // A question, or records to report, that arrived before this wait
        // are answered at once.
        const bool question = shared->asking && shared->decision == Decision::Pending;
        const bool records = shared->decision == Decision::Divert && shared->taken != reported;
        if (!question && !records)
            shared->changed.wait_for(lock, milliseconds(50));
        if (shared->asking && shared->decision == Decision::Pending) {
            const uchar* head = shared->head;
            const qint64 headSize = shared->headSize, fileSize = shared->headFileSize;
            lock.unlock();
            Diversion d = divert(head, headSize, fileSize);
            lock.lock();
            shared->sink = d.sink;
            shared->divertError = d.error;
            shared->decision = !d.error.isEmpty() ? Decision::End : d.sink ? Decision::Divert : Decision::Keep;
            shared->changed.notify_all();
            continue;
        }
        if (shared->decision == Decision::Divert) {
            // Every percent of the records is reported in order; a read
            // that waits is reported again, so that it can be left.
            const RecordSink& sink = *shared->sink;
            const qint64 taken = shared->taken;
            if (!sink.progress) {
                reported = taken;
                continue;
            }
            const bool waiting = taken == reported && Clock::now() - start >= kQuiet &&
                                 Clock::now() - lastReport >= milliseconds(50);
            if (taken == reported && !waiting)
                continue;
            lock.unlock();
            bool goOn = true;
            if (waiting)
                goOn = sink.progress(std::max(percentShown, 0));
            for (; goOn && reported < taken; ++reported) {
                const int percent = int((reported + 1) * 100 / sink.count);
                if (percent != percentShown) {
                    percentShown = percent;
                    goOn = sink.progress(percent);
                }
            }
            lastReport = Clock::now();
            lock.lock();
            if (!goOn)
                return cancel(lock);
            continue;
        }
        if (shared->finished || !report || Clock::now() - start < kQuiet)
            continue;
        const int percent = shared->expected > 0 ? int(std::min<qint64>(99, shared->done * 100 / shared->expected)) : 0;
        lock.unlock();
        const bool goOn = report(percent);
        lock.lock();
        if (!goOn)
            return cancel(lock);
    }
    if (shared->restart) {
        lock.unlock();
        return loadFile(path, report, limit, patience);
    }
    out.bytes = std::move(shared->bytes);
    out.error = std::move(shared->error);
    out.diverted = shared->decision == Decision::Divert;
    if (out.diverted && out.error.isEmpty() && shared->sink->progress) {
        // The records taken since the last report.
        const std::shared_ptr<RecordSink> sink = shared->sink;
        const qint64 taken = shared->taken;
        lock.unlock();
        for (; reported < taken; ++reported) {
            const int percent = int((reported + 1) * 100 / sink->count);
            if (percent != percentShown) {
                percentShown = percent;
                if (!sink->progress(percent)) {
                    out.bytes.clear();
                    out.cancelled = true;
                    out.error = QStringLiteral("読み込みを中止しました");
                    return out;
                }
            }
        }
    }
    return out;
}

} // namespace gf5::io
