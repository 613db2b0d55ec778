#include "BackgroundFiles.h"
#include "SampleFiles.h"

namespace {

// Enough to ride out a slow stretch of the file system, little memory.
constexpr std::size_t kMostPending = 1024;

} // namespace

BackgroundFiles::BackgroundFiles() : m_thread([this](const std::stop_token& stop) { Work(stop); }) {}

void BackgroundFiles::ThrowFailure()
{
    if (m_failure)
        std::rethrow_exception(m_failure);
}

void BackgroundFiles::Write(std::filesystem::path path, std::string content)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_pending.size() < kMostPending || m_failure; });
    ThrowFailure();
    m_pending.emplace_back(std::move(path), std::move(content));
    m_changed.notify_all();
}

void BackgroundFiles::Finish()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return (m_pending.empty() && !m_writing) || m_failure; });
    ThrowFailure();
}

void BackgroundFiles::Work(const std::stop_token& stop)
{
    std::unique_lock lock(m_mutex);
    while (m_changed.wait(lock, stop, [this] { return !m_pending.empty(); }) && !stop.stop_requested()) {
        const auto [path, content] = std::move(m_pending.front());
        m_pending.pop_front();
        m_writing = true;
        lock.unlock();
        std::exception_ptr failure;
        try {
            WriteSampleFile(path, content);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        m_writing = false;
        if (failure) {
            m_failure = failure;
            m_pending.clear();
        }
        m_changed.notify_all();
    }
}
