#include "StatementThread.h"
#include "WindowServing.h"
#include <chrono>

namespace {

// How often a waiting caller looks whether the window is due to be served: well
// inside the serving interval, and rare enough to cost nothing.
constexpr auto kServingCheck = std::chrono::milliseconds(10);

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
    lock.unlock();
    m_queued.notify_one();
    lock.lock();
    while (!m_done.wait_for(lock, kServingCheck, [&task] { return task.done; })) {
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
        m_queued.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
        if (m_tasks.empty())
            return;
        Task& task = *m_tasks.front();
        m_tasks.pop_front();
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
