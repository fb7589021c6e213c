#include "prefault.h"
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace gf5 {

BackgroundPrefault::BackgroundPrefault(void* begin, std::size_t bytes, std::size_t minBytes)
{
#ifdef MADV_POPULATE_WRITE
    if (!begin || bytes < minBytes)
        return;
    const std::uintptr_t page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    // Only whole pages inside the buffer.
    const std::uintptr_t first = (std::uintptr_t(begin) + page - 1) & ~(page - 1);
    const std::uintptr_t end = (std::uintptr_t(begin) + bytes) & ~(page - 1);
    if (end <= first)
        return;
    try {
        m_thread = std::thread([this, first, end] {
        constexpr std::uintptr_t kStep = std::uintptr_t(4) << 20;
        for (std::uintptr_t hi = end; hi > first && !m_stop.load(std::memory_order_relaxed);) {
            const std::uintptr_t lo = hi - first > kStep ? hi - kStep : first;
            // Present and writable, contents unchanged; stops on a kernel
            // without this request.
            if (madvise(reinterpret_cast<void*>(lo), hi - lo, MADV_POPULATE_WRITE) != 0)
                return;
            hi = lo;
        }
        });
    } catch (...) {
        // No thread to be had: the pages fault in as they are written.
    }
#else
    (void)begin;
    (void)bytes;
    (void)minBytes;
#endif
}

BackgroundPrefault::~BackgroundPrefault() { stop(); }

void BackgroundPrefault::stop()
{
    m_stop.store(true, std::memory_order_relaxed);
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace gf5
