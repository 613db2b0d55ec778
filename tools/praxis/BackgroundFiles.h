#pragma once
#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

// Sample files written on a thread of their own: making folders and files costs
// the file system more than the rows around them cost the database, and the two
// overlap. Write() waits only while many files are pending; the first failure is
// thrown by the next Write() or by Finish(). Files still pending when the object
// goes without Finish() are dropped (the practice is thrown away then).
class BackgroundFiles {
public:
    BackgroundFiles();
    BackgroundFiles(const BackgroundFiles&) = delete;
    BackgroundFiles& operator=(const BackgroundFiles&) = delete;

    void Write(std::filesystem::path path, std::string content);
    // Returns once every file is written. Throws std::runtime_error.
    void Finish();

private:
    void Work(const std::stop_token& stop);
    void ThrowFailure();   // with m_mutex held

    std::mutex m_mutex;
    std::condition_variable_any m_changed;
    std::deque<std::pair<std::filesystem::path, std::string>> m_pending;
    bool m_writing = false;
    std::exception_ptr m_failure;
    std::jthread m_thread;   // last: started when the rest exists, stopped and joined first
};
