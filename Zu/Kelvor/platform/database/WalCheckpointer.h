#pragma once
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct sqlite3;

// Copies the write-ahead log of one SQLite file back into the file on a thread of
// its own, through a connection of its own, so that the flushes to disk a
// checkpoint needs never stop the window. The writing connection's commits
// report the log's length; each time the log has grown by another kLogFrames
// pages, one passive checkpoint runs: a handful of flushes for a whole run, with
// the durability of the log unchanged (commits are not flushed, checkpoints are).
class CWalCheckpointer {
public:
    // Takes over the checkpoints of writer, a connection to file.
    CWalCheckpointer(sqlite3* writer, const std::string& file);
    ~CWalCheckpointer();   // the running checkpoint ends, the writer checkpoints itself again
    CWalCheckpointer(const CWalCheckpointer&) = delete;
    CWalCheckpointer& operator=(const CWalCheckpointer&) = delete;

    static constexpr int kLogFrames = 16384;   // 64 MiB of 4 KiB pages

private:
    // What the writer and the thread share.
    struct Signal {
        std::mutex mutex;
        std::condition_variable wake;
        bool due = false;
        bool stop = false;
    };

    static int Committed(void* self, sqlite3* db, const char* schema, int frames);
    void Request();
    void Work();

    sqlite3* m_writer;
    sqlite3* m_own = nullptr;
    int m_nextAt = kLogFrames;
    std::unique_ptr<Signal> m_signal = std::make_unique<Signal>();
    std::thread m_thread;
};
