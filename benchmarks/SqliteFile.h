#pragma once
#include <sqlite3.h>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// One SQLite connection for the benchmarks' own work: texts run as they stand,
// parameterised statements prepared once and kept. Throws std::runtime_error.
class SqliteFile {
public:
    explicit SqliteFile(const std::string& file);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    using Row = std::vector<std::string>;
    // A text without parameters, prepared, run and finalised.
    void Exec(const std::string& sql);
    // A kept statement with text parameters; each row goes to onRow.
    void Run(const std::string& sql, const Row& params, const std::function<void(const Row&)>& onRow = {});
    bool Exists(const std::string& sql, const Row& params);

private:
    sqlite3_stmt* Prepared(const std::string& sql);
    [[noreturn]] void Fail(const std::string& sql) const;

    sqlite3* m_db = nullptr;
    std::map<std::string, sqlite3_stmt*> m_statements;
};
