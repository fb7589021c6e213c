#include "bufferpool.h"
#include <QColorSpace>
#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace gf5::BufferPool {

namespace {

// Each pooled buffer starts with a header holding its size; the pixels
// follow at kHeader so they stay 64-byte aligned.
constexpr std::size_t kHeader = 64;
// Pooled buffers are given back after this long without any image dying.
constexpr int kIdleMs = 15000;

struct Pool {
    std::mutex lock;
    std::size_t bytes = 0;     // size of the pooled buffers
    std::vector<void*> free;   // at most kMaxPooled
    qint64 reused = 0;
};

// Never destroyed: images that outlive static destruction still give their
// buffers back here.
Pool& pool()
{
    static Pool* p = new Pool;
    return *p;
}

std::size_t& sizeOf(void* block) { return *static_cast<std::size_t*>(block); }

void freeAll(Pool& p)
{
    for (void* block : p.free)
        std::free(block);
    p.free.clear();
}

// Starts (or restarts) the idle countdown that empties the pool. Only on the
// application's thread, where a timer can run.
void armIdleTrim()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    static QPointer<QTimer> timer;
    if (!timer) {
        timer = new QTimer(app);
        timer->setSingleShot(true);
        timer->setInterval(kIdleMs);
        QObject::connect(timer, &QTimer::timeout, [] { releaseHeld(); });
    }
    timer->start();
}

// Called when the last image using the buffer is gone.
void giveBack(void* block)
{
    const std::size_t bytes = sizeOf(block);
    bool kept = false;
    {
        Pool& p = pool();
        std::lock_guard<std::mutex> guard(p.lock);
        if (bytes > p.bytes || p.free.empty()) {
            // A larger size is in use now (or the pool was empty): the pool
            // holds buffers of this size from here on.
            freeAll(p);
            p.bytes = bytes;
        }
        if (bytes == p.bytes && int(p.free.size()) < kMaxPooled) {
            p.free.push_back(block);
            kept = true;
        }
    }
    if (!kept)
        std::free(block);
    else
        armIdleTrim();
}

void cleanup(void* info) { giveBack(static_cast<char*>(info) - kHeader); }

std::atomic<Reclaim> reclaimHook{nullptr};

bool onAppThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

std::vector<Releaser>& releasers()
{
    static std::vector<Releaser> list;
    return list;
}

void runReleasers()
{
    if (!onAppThread())
        return;
    for (const Releaser release : releasers())
        release();
}

// A pooled buffer of bytes, or null.
void* takePooled(std::size_t bytes)
{
    Pool& p = pool();
    std::lock_guard<std::mutex> guard(p.lock);
    if (bytes == p.bytes && !p.free.empty()) {
        void* block = p.free.back();
        p.free.pop_back();
        ++p.reused;
        return block;
    }
    if (bytes > p.bytes) {
        // Images larger than the pooled ones are in use: those buffers
        // would never fit again.
        freeAll(p);
    }
    return nullptr;
}

// Asks the hook for buffers of this size held elsewhere; only on the
// application's thread (the holders are widgets) and never from inside the
// hook itself.
void reclaim(int w, int h, QImage::Format format)
{
    const Reclaim hook = reclaimHook.load();
    QCoreApplication* app = QCoreApplication::instance();
    if (!hook || !app || QThread::currentThread() != app->thread())
        return;
    static bool inside = false;
    if (inside)
        return;
    inside = true;
    hook(w, h, format);
    inside = false;
}

} // namespace

QImage allocate(int w, int h, QImage::Format format)
{
    if (w < 1 || h < 1 || format == QImage::Format_Invalid)
        return {};
    // Large images are 32-bit; other formats keep Qt's own set-up (colour
    // tables and the like).
    const bool fourBytes = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                           format == QImage::Format_ARGB32_Premultiplied;
    const qint64 bytesPerLine = qint64(w) * 4;
    const qint64 total = bytesPerLine * h;
    if (!fourBytes || total < qint64(kMinPooledBytes))
        return QImage(w, h, format);

    const std::size_t bytes = std::size_t(total) + kHeader;
    void* block = takePooled(bytes);
    if (!block) {
        reclaim(w, h, format);
        block = takePooled(bytes);
    }
    if (!block)
        runReleasers();
    if (!block) {
        if (posix_memalign(&block, kHeader, bytes) != 0)
            return {};
        sizeOf(block) = bytes;
    }
    uchar* pixels = static_cast<uchar*>(block) + kHeader;
    QImage img(pixels, w, h, bytesPerLine, format, cleanup, pixels);
    if (img.isNull()) {
        std::free(block);
        return {};
    }
    return img;
}

namespace {
void copyRows(const QImage& src, QImage& dst)
{
    const qsizetype row = std::min(src.bytesPerLine(), dst.bytesPerLine());
    const uchar* from = src.constBits();
    uchar* to = dst.bits();
    if (src.bytesPerLine() == dst.bytesPerLine()) {
        std::memcpy(to, from, size_t(src.sizeInBytes()));
        return;
    }
    for (int y = 0; y < src.height(); ++y)
        std::memcpy(to + y * dst.bytesPerLine(), from + y * src.bytesPerLine(), size_t(row));
}
}

QImage copy(const QImage& src)
{
    if (src.isNull())
        return {};
    QImage out = allocate(src.width(), src.height(), src.format());
    if (out.isNull() || !out.bits())
        return {};
    copyRows(src, out);
    if (src.colorCount() > 0)
        out.setColorTable(src.colorTable());
    out.setDotsPerMeterX(src.dotsPerMeterX());
    out.setDotsPerMeterY(src.dotsPerMeterY());
    out.setOffset(src.offset());
    for (const QString& key : src.textKeys())
        out.setText(key, src.text(key));
    out.setColorSpace(src.colorSpace());
    return out;
}

bool copyInto(const QImage& src, QImage& dst)
{
    if (src.isNull() || dst.isNull() || src.size() != dst.size() || src.format() != dst.format())
        return false;
    if (src.constBits() == dst.constBits())
        return true;
    if (!dst.bits())
        return false;
    copyRows(src, dst);
    if (src.colorCount() > 0)
        dst.setColorTable(src.colorTable());
    dst.setDotsPerMeterX(src.dotsPerMeterX());
    dst.setDotsPerMeterY(src.dotsPerMeterY());
    return true;
}

void setReclaim(Reclaim hook) { reclaimHook.store(hook); }

void addReleaser(Releaser release)
{
    auto& list = releasers();
    if (release && std::find(list.begin(), list.end(), release) == list.end())
        list.push_back(release);
}

void releaseHeld()
{
    trim();
    runReleasers();
}

void trim()
{
    Pool& p = pool();
    std::lock_guard<std::mutex> guard(p.lock);
    freeAll(p);
    p.bytes = 0;
}

int pooledCount()
{
    Pool& p = pool();
    std::lock_guard<std::mutex> guard(p.lock);
    return int(p.free.size());
}

std::size_t pooledBytes()
{
    Pool& p = pool();
    std::lock_guard<std::mutex> guard(p.lock);
    return p.free.empty() ? 0 : p.bytes - kHeader;
}

qint64 reuseCount()
{
    Pool& p = pool();
    std::lock_guard<std::mutex> guard(p.lock);
    return p.reused;
}

} // namespace gf5::BufferPool
