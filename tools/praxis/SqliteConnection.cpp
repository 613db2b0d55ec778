#include "SqliteConnection.h"
#include <sqlite3.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace {

// A database holds patient data: a new one is made for its owner only before SQLite
// opens it, and SQLite gives its journal, -wal and -shm files the database's mode.
void CreatePrivateFile(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throw std::runtime_error("Cannot create the database " + file.string() + ": " + std::strerror(errno));
    ::close(fd);
}

} // namespace

SqliteConnection::SqliteConnection(const std::filesystem::path& file, int flags) : m_file(file)
{
    if (flags & SQLITE_OPEN_CREATE)
        CreatePrivateFile(file);
    // The handle comes back even when the open fails; it carries the reason.
    const int result = sqlite3_open_v2(file.c_str(), &m_db, flags, nullptr);
    if (result != SQLITE_OK) {
        const std::string reason = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(result);
        sqlite3_close(m_db);
        throw std::runtime_error("Cannot open the database " + file.string() + ": " + reason);
    }
    sqlite3_busy_timeout(m_db, 10000);   // another client's commit is waited out
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_close(m_db);
}

std::string SqliteConnection::Value(const std::string& statement) const
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(m_db, statement.c_str(), -1, &raw, nullptr) != SQLITE_OK)
        Fail(statement);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> prepared(raw, sqlite3_finalize);
    const int step = sqlite3_step(raw);
    if (step == SQLITE_DONE)
        return {};
    if (step != SQLITE_ROW)
        Fail(statement);
    const unsigned char* text = sqlite3_column_text(raw, 0);
    return text ? reinterpret_cast<const char*>(text) : std::string();
}

void SqliteConnection::Fail(const std::string& what) const
{
    throw std::runtime_error(what + " failed on " + m_file.string() + ": " + sqlite3_errmsg(m_db));
}
