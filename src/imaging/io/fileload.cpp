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

void readOnWorker(const std::shared_ptr<Shared>& s, const QString& path, qint64 limit, GrowthPatience patience)
{
    QByteArray bytes;
    QString error;
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
        bytes.reserve(want);
        // The pages of a large buffer are made present on another thread
        // while the file is read into it from the front.
        BackgroundPrefault prefault(bytes.data(), size_t(bytes.capacity()));
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
                prefault.stop();
            bytes.resize(at + room);
            const ssize_t n = ::read(fd, bytes.data() + at, size_t(room));
            bytes.resize(at + std::max<ssize_t>(n, 0));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                error = QStringLiteral("ファイルを読めませんでした: %1（%2）").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
                return;
            }
            if (n > 0) {
                if (bytes.size() > fx::maxImageBytes()) {
                    error = QStringLiteral("ファイルが大きすぎて読み込めません: %1").arg(path);
                    return;
                }
                std::lock_guard lock(s->mutex);
                s->done = bytes.size();
                s->expected = std::max(s->expected, s->done);
                s->changed.notify_all();
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
                    const GrowthPatience& patience)
{
    auto shared = std::make_shared<Shared>();
    std::thread(readOnWorker, shared, path, limit, patience).detach();

    LoadedFile out;
    const auto start = Clock::now();
    std::unique_lock lock(shared->mutex);
    while (!shared->finished) {
        shared->changed.wait_for(lock, milliseconds(50));
        if (shared->finished || !report || Clock::now() - start < kQuiet)
            continue;
        const int percent = shared->expected > 0 ? int(std::min<qint64>(99, shared->done * 100 / shared->expected)) : 0;
        lock.unlock();
        const bool goOn = report(percent);
        lock.lock();
        if (!goOn) {
            // The worker notices at its next step and drops what it read.
            shared->stop.store(true);
            out.cancelled = true;
            out.error = QStringLiteral("読み込みを中止しました");
            return out;
        }
    }
    out.bytes = std::move(shared->bytes);
    out.error = std::move(shared->error);
    return out;
}

} // namespace gf5::io
