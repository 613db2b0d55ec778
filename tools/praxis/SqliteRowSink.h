#pragma once
#include "RowSink.h"
#include "SqliteConnection.h"
#include <filesystem>
#include <memory>
#include <unordered_map>

struct sqlite3_stmt;

// A new SQLite practice file filled straight through SQLite's C API: one
// prepared insert per table, bound and run for every row, all in one transaction
// without a journal and without flushes (a generator that fails throws the whole
// folder away). Finish() leaves the file in WAL mode, as the practice uses it.
class SqliteRowSink final : public RowSink {
public:
    explicit SqliteRowSink(const std::filesystem::path& file);

    SqlDialect Dialect() const override { return SqlDialect::Sqlite; }
    void CreateTable(const TableDef& table, const std::string& statement) override;
    void Insert(const TableDef& table, std::span<const std::string_view> row) override;
    void Finish(std::span<const std::string> statements) override;

private:
    using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

    void Exec(const std::string& statement) const;

    SqliteConnection m_db;
    std::unordered_map<const TableDef*, Statement> m_inserts;   // finalized before m_db closes
};
