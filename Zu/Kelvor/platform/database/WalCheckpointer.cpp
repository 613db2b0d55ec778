#include "WalCheckpointer.h"
#include "FileSystem.h"
#include <sqlite3.h>

CWalCheckpointer::CWalCheckpointer(sqlite3* writer, const std::string& file) : m_writer(writer), m_process(ProcessId())
{
    if (sqlite3_open_v2(file.c_str(), &m_own, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close(m_own);
        m_own = nullptr;
        return;   // the writer keeps checkpointing itself
    }
    sqlite3_busy_timeout(m_own, 10000);
    // Reading the schema opens the log; checkpoints flush as the writer's would.
    sqlite3_exec(m_own, "PRAGMA schema_version; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    sqlite3_wal_hook(m_writer, &CWalCheckpointer::Committed, this);
    m_thread = std::thread(&CWalCheckpointer::Work, this);
}

CWalCheckpointer::~CWalCheckpointer()
{
    if (m_own == nullptr)
        return;
    sqlite3_wal_autocheckpoint(m_writer, kLogFrames);
    // A forked child has no checkpoint thread: it leaves the parent's connection and
    // the signal its waiting thread left behind alone (destroying it would wait for that thread).
    if (ProcessId() != m_process) {
        m_thread.detach();
        static_cast<void>(m_signal.release());
        return;
    }
    {
        const std::lock_guard lock(m_signal->mutex);
        m_signal->stop = true;
    }
    m_signal->wake.notify_one();
    m_thread.join();
    sqlite3_close(m_own);
}

// In the writer's thread, after each commit: frames is the log's length in pages.
int CWalCheckpointer::Committed(void* self, sqlite3* /*db*/, const char* /*schema*/, int frames)
{
    auto* checkpointer = static_cast<CWalCheckpointer*>(self);
    if (frames < checkpointer->m_nextAt - kLogFrames)
        checkpointer->m_nextAt = kLogFrames;   // the log started again from its beginning
    if (frames >= checkpointer->m_nextAt) {
        checkpointer->m_nextAt = frames + kLogFrames;
        checkpointer->Request();
    }
    return SQLITE_OK;
}

void CWalCheckpointer::Request()
{
    {
        const std::lock_guard lock(m_signal->mutex);
        m_signal->due = true;
    }
    m_signal->wake.notify_one();
}

void CWalCheckpointer::Work()
{
    std::unique_lock lock(m_signal->mutex);
    for (;;) {
        m_signal->wake.wait(lock, [this] { return m_signal->due || m_signal->stop; });
        if (m_signal->stop)
            return;
        m_signal->due = false;
        lock.unlock();
        // Passive first: the bulk is copied without stopping the writer. The writer
        // appends meanwhile, so the log would never be copied whole and never start
        // again from its beginning: it would grow by the whole run (gigabytes at
        // 100,000 patients), every commit writing to new pages of the file. The
        // restart then copies the short rest with the writer held (its busy handler
        // serves the window), and the next commit writes at the log's beginning.
        sqlite3_wal_checkpoint_v2(m_own, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        sqlite3_wal_checkpoint_v2(m_own, nullptr, SQLITE_CHECKPOINT_RESTART, nullptr, nullptr);
        lock.lock();
    }
}
