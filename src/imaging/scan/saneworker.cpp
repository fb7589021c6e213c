#include "saneworker.h"
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

// The SANE thread. It lives from the first job to the program's exit; its
// destructor (at exit) ends the session on the thread that began it.
class Thread {
public:
    Thread() : m_thread([this] { loop(); }) {}

    ~Thread()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_cond.notify_all();
        // A job stuck in a device that never answers must not hold up the
        // exit: wait a little, then leave the thread to the process's end.
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_exitCond.wait_for(lock, std::chrono::seconds(3), [this] { return m_finished; })) {
            lock.unlock();
            m_thread.join();
        } else {
            lock.unlock();
            m_thread.detach();
        }
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
        if (t_sessionReady) {
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
    bool m_finished = false;
    std::thread m_thread; // last: starts once the members above exist
};

void post(const std::shared_ptr<Job>& job)
{
    static Thread thread;
    thread.post(job);
}

} // namespace gf5::sane
