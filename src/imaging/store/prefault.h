#pragma once
// Maps the memory pages of a large new buffer on another thread while the
// caller fills it: a fresh 100 MB buffer costs tens of milliseconds of page
// faults, which then overlap with the work (a decoder writing rows from the
// top) instead of adding to it. The pages are made present from the bottom
// up without touching their contents, so the caller may write at any time.
#include <atomic>
#include <cstddef>
#include <thread>

namespace gf5 {

class BackgroundPrefault {
public:
    // Starts on buffers of at least minBytes; does nothing on smaller ones
    // or where the system cannot make pages present ahead of use.
    BackgroundPrefault(void* begin, std::size_t bytes, std::size_t minBytes = std::size_t(16) << 20);
    ~BackgroundPrefault();
    BackgroundPrefault(const BackgroundPrefault&) = delete;
    BackgroundPrefault& operator=(const BackgroundPrefault&) = delete;

    // Stops the thread (at its next step) and waits for it. The buffer may
    // be released after this.
    void stop();

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace gf5
