#include "SqliteRowSink.h"
#include <sqlite3.h>

namespace {

// A few rows to a statement spare most of a statement's start and end per row.
constexpr std::size_t kRowsPerInsert = 16;

} // namespace

SqliteRowSink::SqliteRowSink(const std::filesystem::path& file)
    : m_db(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX)   // one thread: no locking per call
{
    // Nothing here has to survive a crash or be rolled back: a failed run throws
    // the folder away.
    Exec("PRAGMA journal_mode=OFF");
    Exec("PRAGMA synchronous=OFF");
    // 32 MiB of page cache: the inserts come mostly in key order and the indexes are
    // made at the end; more only adds to the generator's memory.
    Exec("PRAGMA cache_size=-32768");
    Exec("BEGIN");
}

std::size_t SqliteRowSink::RowsPerInsert() const
{
    return kRowsPerInsert;
}

void SqliteRowSink::Exec(const std::string& statement) const
{
    if (sqlite3_exec(m_db.Handle(), statement.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        m_db.Fail(statement);
}

SqliteRowSink::Statement SqliteRowSink::Prepare(const TableDef& table, std::size_t rows) const
{
    const std::string sql = InsertText(table, rows);
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v3(m_db.Handle(), sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &insert, nullptr) != SQLITE_OK)
        m_db.Fail(sql);
    return {insert, sqlite3_finalize};
}

void SqliteRowSink::CreateTable(const TableDef& table, const std::string& statement)
{
    Exec(statement);
    m_inserts.emplace(&table, Prepare(table, kRowsPerInsert));
}

void SqliteRowSink::Run(const TableDef& table, sqlite3_stmt* insert, std::span<const std::string> values) const
{
    // Texts, never NULL, which the practice system never stores.
    for (std::size_t i = 0; i < values.size(); ++i)
        sqlite3_bind_text(insert, static_cast<int>(i) + 1, values[i].c_str(), static_cast<int>(values[i].size()),
                          SQLITE_STATIC);
    const int step = sqlite3_step(insert);
    sqlite3_reset(insert);
    if (step != SQLITE_DONE)
        m_db.Fail("The insert into " + table.name);
}

void SqliteRowSink::Insert(const TableDef& table, std::span<const std::string> values)
{
    const std::size_t rows = values.size() / table.columns.size();
    if (rows == kRowsPerInsert)
        Run(table, m_inserts.at(&table).get(), values);
    else
        Run(table, Prepare(table, rows).get(), values);
}

void SqliteRowSink::Finish(std::span<const std::string> statements)
{
    for (const std::string& statement : statements)
        Exec(statement);
    Exec("COMMIT");
    m_inserts.clear();
    Exec("PRAGMA journal_mode=WAL");
}
