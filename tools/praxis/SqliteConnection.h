#pragma once
#include <filesystem>
#include <string>

struct sqlite3;

// One connection of SQLite's C API, closed with the object. With SQLITE_OPEN_CREATE
// the file must not exist yet: it is made readable by its owner only. Throws
// std::runtime_error.
class SqliteConnection {
public:
    SqliteConnection(const std::filesystem::path& file, int flags);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    sqlite3* Handle() const { return m_db; }
    // The first column of the first row of statement, empty when there is none.
    std::string Value(const std::string& statement) const;
    [[noreturn]] void Fail(const std::string& what) const;

private:
    std::filesystem::path m_file;
    sqlite3* m_db = nullptr;
};
