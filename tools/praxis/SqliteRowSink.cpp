#include "SqliteRowSink.h"
#include <sqlite3.h>

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

void SqliteRowSink::Exec(const std::string& statement) const
{
    if (sqlite3_exec(m_db.Handle(), statement.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        m_db.Fail(statement);
}

void SqliteRowSink::CreateTable(const TableDef& table, const std::string& statement)
{
    Exec(statement);
    std::string sql = "INSERT INTO " + table.name + " VALUES (?";
    for (std::size_t i = 1; i < table.columns.size(); ++i)
        sql += ",?";
    sql += ")";
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v3(m_db.Handle(), sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &insert, nullptr) != SQLITE_OK)
        m_db.Fail(sql);
    m_inserts.emplace(&table, Statement(insert, sqlite3_finalize));
}

void SqliteRowSink::Insert(const TableDef& table, std::span<const std::string_view> row)
{
    sqlite3_stmt* const insert = m_inserts.at(&table).get();
    for (std::size_t i = 0; i < row.size(); ++i) {
        // A null pointer would bind NULL, which the practice system never stores.
        const char* const text = row[i].empty() ? "" : row[i].data();
        sqlite3_bind_text(insert, static_cast<int>(i) + 1, text, static_cast<int>(row[i].size()), SQLITE_STATIC);
    }
    const int step = sqlite3_step(insert);
    sqlite3_reset(insert);
    if (step != SQLITE_DONE)
        m_db.Fail("The insert into " + table.name);
}

void SqliteRowSink::Finish(std::span<const std::string> statements)
{
    for (const std::string& statement : statements)
        Exec(statement);
    Exec("COMMIT");
    m_inserts.clear();
    Exec("PRAGMA journal_mode=WAL");
}
