#include "StatementThread.h"
#include "WindowServing.h"
#include <chrono>

namespace {

// How often a waiting caller looks whether the window is due to be served: well
// inside the serving interval, and rare enough to cost nothing.
constexpr auto kServingCheck = std::chrono::milliseconds(10);

// A server answers most statements within a fraction of a millisecond, and the next
// statement follows as quickly. For this long each side looks for the other's
// hand-over before it sleeps: being woken costs more than the statement on a busy
// or virtual machine.
constexpr auto kHandOverWatch = std::chrono::microseconds(500);

// Until the other side's hand-over arrives, but no longer than kHandOverWatch: it
// mostly comes within that, and yielding keeps the processor for the other side.
template <class Arrived> void Watch(Arrived arrived)
{
    const auto until = std::chrono::steady_clock::now() + kHandOverWatch;
    while (!arrived() && std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
}

} // namespace

CStatementThread::CStatementThread() : m_thread(&CStatementThread::Loop, this) {}

CStatementThread::~CStatementThread()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_queued.notify_one();
    m_thread.join();
}

void CStatementThread::Run(const std::function<void()>& work)
{
    Task task{work, nullptr, false};
    std::unique_lock lock(m_mutex);
    m_tasks.push_back(&task);
    ++m_queuedCount;
    lock.unlock();
    m_queued.notify_one();
    Watch([&task] { return task.done.load(); });
    lock.lock();
    while (!m_done.wait_for(lock, kServingCheck, [&task] { return task.done.load(); })) {
        lock.unlock();
        CWindowServing::IfDue();
        lock.lock();
    }
    if (task.error)
        std::rethrow_exception(task.error);
}

void CStatementThread::Loop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_tasks.empty() && !m_stopping) {
            lock.unlock();
            Watch([this] { return m_queuedCount.load() != 0; });
            lock.lock();
        }
        m_queued.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
        if (m_tasks.empty())
            return;
        Task& task = *m_tasks.front();
        m_tasks.pop_front();
        --m_queuedCount;
        lock.unlock();
        try {
            task.work();
        } catch (...) {
            task.error = std::current_exception();
        }
        lock.lock();
        task.done = true;
        // Several callers may wait: one that handed work over while the window was served.
        m_done.notify_all();
    }
}
