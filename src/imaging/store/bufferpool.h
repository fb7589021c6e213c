#pragma once
// Recycled pixel buffers for large images. A fresh buffer of a hundred
// megabytes costs tens of milliseconds of page faults before the first byte
// is written, so the buffer of a large image that dies is kept (one, of the
// largest size seen lately) and handed to the next image of the same size.
// One is what an editing step needs: its result takes the memory of the
// snapshot it lets go, or its snapshot that of the image undo replaced. A buffer goes back to the pool only when the last QImage using
// it is destroyed, so a recycled buffer is never shared by two live images.
#include <QImage>
#include <cstddef>

namespace gf5::BufferPool {

// Buffers smaller than this come from Qt as usual.
constexpr std::size_t kMinPooledBytes = std::size_t(4) << 20;
constexpr int kMaxPooled = 1;

// A new image with uninitialised pixels (null when the memory cannot be had).
QImage allocate(int w, int h, QImage::Format format);
// A deep copy of src (pixels, resolution, offset, texts, colour space) in a
// buffer of its own; null when the memory cannot be had.
QImage copy(const QImage& src);
// Copies src's pixels into dst when both have the same size and format;
// dst detaches first if it shares its pixels. False (dst untouched) when
// they differ or the memory for the detach cannot be had.
bool copyInto(const QImage& src, QImage& dst);
// Buffers kept for reuse outside the pool (a display's spent working copy)
// can be asked back before a large allocation takes fresh memory: the hook
// lets go of such buffers of w x h in format, which then return to the pool
// and serve the allocation. It runs on the application's thread only.
using Reclaim = void (*)(int w, int h, QImage::Format format);
void setReclaim(Reclaim hook);
// Other large memory that can be made again when next needed (a fill's
// marks) is let go before a large image takes fresh memory, and when the
// pool empties after idling: release frees it. Application thread only.
using Releaser = void (*)();
void addReleaser(Releaser release);
// Frees every pooled buffer.
void trim();
// Frees every pooled buffer and runs the releasers: room for work that
// needs much memory of its own.
void releaseHeld();
// Buffers waiting in the pool and their byte size (tests, bench).
int pooledCount();
std::size_t pooledBytes();
// Buffers handed out again instead of freshly allocated, since start.
qint64 reuseCount();

} // namespace gf5::BufferPool
