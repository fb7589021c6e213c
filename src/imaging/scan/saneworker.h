#pragma once
// The one SANE session of the program and the thread that makes every SANE
// call. SANE is initialised on that thread before its first job and left
// (sane_exit, on the same thread) when the application is about to quit,
// while the application and every library still exist. Calls into a scanner can block for a
// long time (a network scanner that never answers, a lamp warming up); the
// window's thread only posts jobs and waits for them with a time limit, so
// it stays alive and can give up on a device that does not answer.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace gf5::sane {

// Milliseconds on a steady clock.
int64_t nowMs();

// A unit of work for the SANE thread. The waiting side reads the atomics;
// run() updates them.
class Job {
public:
    Job() { touch(); }
    virtual ~Job() = default;
    virtual void run() = 0;
    // Called from the waiting thread when a cooperative stop (the stop flag)
    // went unanswered: a scan job cancels its device from outside, which
    // SANE allows while another call on it is blocked.
    virtual void stopNow() {}
    // Whether stop is honoured at all; discovery cannot be stopped.
    virtual bool canStop() const { return false; }

    // Marks activity: the device answered.
    void touch() { lastActivity.store(nowMs()); }

    std::atomic<bool> stop{false};
    std::atomic<int64_t> lastActivity{0};
    std::atomic<int> percent{-1}; // -1: no measure of progress

    bool isDone() const;
    // Waits up to ms for the job to end; true when it has.
    bool waitDone(int ms);

private:
    friend class Thread;
    friend void post(const std::shared_ptr<Job>& job);
    void markDone();
    mutable std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_done = false;
};

// Queues a job for the SANE thread, starting the thread (and the session)
// on first use. Jobs run one after another in the order posted; after the
// session has ended a job is marked done at once without running.
void post(const std::shared_ptr<Job>& job);

// Ends the session: the queued jobs finish, sane_exit runs on the SANE
// thread, the thread stops; waits up to waitMs for it. Jobs posted later are
// never run. Called by itself when the application is about to quit; a
// session still open when the process ends is stopped without sane_exit.
// True when the session ended within waitMs (or there was none).
bool endSession(int waitMs);

// Inside a job: whether sane_init succeeded.
bool sessionReady();

} // namespace gf5::sane
