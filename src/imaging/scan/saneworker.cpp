#include "saneworker.h"
#include <QCoreApplication>
#include <sane/sane.h>
#include <dlfcn.h>
#include <link.h>
#include <pthread.h>
#include <csignal>
#include <chrono>
#include <cstring>
#include <deque>
#include <string>
#include <thread>
#include <vector>

namespace gf5::sane {

int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool Job::isDone() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_done;
}

bool Job::waitDone(int ms)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cond.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_done; });
}

void Job::markDone()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_done = true;
    }
    m_cond.notify_all();
}

namespace {
thread_local bool t_sessionReady = false;

int collectBackend(dl_phdr_info* info, size_t, void* data)
{
    if (info->dlpi_name && std::strstr(info->dlpi_name, "/sane/libsane-"))
        static_cast<std::vector<std::string>*>(data)->emplace_back(info->dlpi_name);
    return 0;
}

// Keeps the SANE backends that are loaded mapped until the process ends.
// sane_exit unloads them, but a backend's own reader thread may still be
// running (or stuck in a device) then, and code unloaded under a running
// thread crashes the program at exit.
void pinLoadedBackends()
{
    std::vector<std::string> names;
    dl_iterate_phdr(collectBackend, &names); // collected first: no loading inside the iteration
    for (const std::string& name : names)
        dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}
} // namespace

bool sessionReady() { return t_sessionReady; }

// The SANE thread. It lives from the first job until the session is ended
// (endSession, when the application is about to quit), and then ends the
// session on the thread that began it.
class Thread {
public:
    Thread() : m_thread([this] { loop(); }) {}

    // Lets the queued jobs finish, then leaves SANE (sane_exit when
    // exitSane) and stops the thread. A job stuck in a device that never
    // answers must not hold up the exit: after waitMs the thread is left to
    // the process's end. True when the session ended in time.
    bool finish(bool exitSane, int waitMs)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_quit) {
            m_quit = true;
            m_exitSane = exitSane;
        }
        m_cond.notify_all();
        const bool ended = m_exitCond.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return m_finished; });
        lock.unlock();
        if (m_thread.joinable()) {
            if (ended)
                m_thread.join();
            else
                m_thread.detach();
        }
        return ended;
    }

    void post(const std::shared_ptr<Job>& job)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_jobs.push_back(job);
        }
        m_cond.notify_all();
    }

private:
    void loop()
    {
        // Backends stream scan data through pipes from reader threads they
        // start from here (which inherit this mask). A cancel closes the
        // pipe under a writing reader: with SIGPIPE blocked the write just
        // fails, instead of the signal ending the whole program.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
        SANE_Int version = 0;
        t_sessionReady = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
        for (;;) {
            std::shared_ptr<Job> job;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_cond.wait(lock, [this] { return m_quit || !m_jobs.empty(); });
                if (m_jobs.empty())
                    break; // quitting, nothing left to run
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            job->run();
            job->markDone();
        }
        bool exitSane;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            exitSane = m_exitSane;
        }
        if (t_sessionReady && exitSane) {
            pinLoadedBackends();
            sane_exit();
        }
        t_sessionReady = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_finished = true;
        }
        m_exitCond.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_cond, m_exitCond;
    std::deque<std::shared_ptr<Job>> m_jobs;
    bool m_quit = false;
    bool m_exitSane = false;
    bool m_finished = false;
    std::thread m_thread; // last: starts once the members above exist
};

namespace {

std::mutex g_threadMutex;
Thread* g_thread = nullptr; // never deleted: it may be left to the process's end
bool g_ended = false;

// At the process's end, after the application's objects and other
// libraries' static data are gone, some backends crash in sane_exit: a
// session still open then is stopped without it (the system releases the
// devices with the process).
struct EndAtProcessEnd {
    ~EndAtProcessEnd()
    {
        std::lock_guard<std::mutex> lock(g_threadMutex);
        if (g_thread && !g_ended) {
            g_ended = true;
            g_thread->finish(false, 1000);
        }
    }
} g_endAtProcessEnd;

} // namespace

void post(const std::shared_ptr<Job>& job)
{
    Thread* thread;
    {
        std::lock_guard<std::mutex> lock(g_threadMutex);
        if (g_ended) {
            job->markDone(); // the session is over: the job never runs
            return;
        }
        if (!g_thread) {
            g_thread = new Thread;
            // The session ends while the application still exists.
            if (QCoreApplication* app = QCoreApplication::instance())
                QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { endSession(3000); });
        }
        thread = g_thread;
    }
    thread->post(job);
}

bool endSession(int waitMs)
{
    std::lock_guard<std::mutex> lock(g_threadMutex);
    if (!g_thread || g_ended)
        return true;
    g_ended = true;
    return g_thread->finish(true, waitMs);
}

} // namespace gf5::sane
