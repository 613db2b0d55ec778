#pragma once
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// The thread a server connection lives on, from its open to its close. The ODBC
// driver blocks in every call until the server answers, and waits out a lock another
// client holds (up to the lock wait); a Qt connection may only be used on the thread
// that opened it. So each operation on the connection is handed to this thread, and
// the caller waits for it: a short watch for the answer first, then asleep while the
// window is served (during a run). The thread is
// joined when the object goes. Other work that may wait long during a run (a
// patient's folder removal) goes through one such thread too.
class CStatementThread {
public:
    CStatementThread();
    ~CStatementThread();
    CStatementThread(const CStatementThread&) = delete;
    CStatementThread& operator=(const CStatementThread&) = delete;

    // Runs work on the thread and returns when it is done; what it throws is thrown
    // here. Work handed over while another waits (from the window served meanwhile)
    // runs after it.
    void Run(const std::function<void()>& work);

private:
    struct Task {
        const std::function<void()>& work;
        std::exception_ptr error;
        std::atomic<bool> done = false;
    };

    void Loop();

    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::condition_variable m_done;
    std::deque<Task*> m_tasks;
    std::atomic<std::size_t> m_queuedCount = 0;   // m_tasks.size(), to be looked at without the mutex
    bool m_stopping = false;
    std::thread m_thread;   // last: it starts once everything above is there
};
