#pragma once
#include "RowSink.h"
#include "SqliteConnection.h"
#include <filesystem>
#include <memory>
#include <unordered_map>

struct sqlite3_stmt;

// A new SQLite practice file filled straight through SQLite's C API: one
// prepared insert per table for a batch of rows, bound and run again and again,
// all in one transaction without a journal and without flushes (a generator that
// fails throws the whole folder away). Finish() leaves the file in WAL mode, as
// the practice uses it.
class SqliteRowSink final : public RowSink {
public:
    explicit SqliteRowSink(const std::filesystem::path& file);

    SqlDialect Dialect() const override { return SqlDialect::Sqlite; }
    std::size_t RowsPerInsert() const override;
    void CreateTable(const TableDef& table, const std::string& statement) override;
    void Insert(const TableDef& table, std::span<const std::string> values) override;
    void Finish(std::span<const std::string> statements) override;

private:
    using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

    void Exec(const std::string& statement) const;
    Statement Prepare(const TableDef& table, std::size_t rows) const;
    void Run(const TableDef& table, sqlite3_stmt* insert, std::span<const std::string> values) const;

    SqliteConnection m_db;
    std::unordered_map<const TableDef*, Statement> m_inserts;   // finalized before m_db closes
};
