#include "SqliteFile.h"
#include <stdexcept>

SqliteFile::SqliteFile(const std::string& file)
{
    if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(m_db);
        throw std::runtime_error("cannot open " + file);
    }
    sqlite3_busy_timeout(m_db, 10000);
}

SqliteFile::~SqliteFile()
{
    for (auto& entry : m_statements)
        sqlite3_finalize(entry.second);
    sqlite3_close(m_db);
}

void SqliteFile::Fail(const std::string& sql) const
{
    throw std::runtime_error(sql + ": " + sqlite3_errmsg(m_db));
}

void SqliteFile::Exec(const std::string& sql)
{
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(sql);
}

sqlite3_stmt* SqliteFile::Prepared(const std::string& sql)
{
    sqlite3_stmt*& statement = m_statements[sql];
    if (statement == nullptr && sqlite3_prepare_v3(m_db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK)
        Fail(sql);
    return statement;
}

void SqliteFile::Run(const std::string& sql, const Row& params, const std::function<void(const Row&)>& onRow)
{
    sqlite3_stmt* statement = Prepared(sql);
    for (std::size_t i = 0; i < params.size(); ++i)
        sqlite3_bind_text(statement, static_cast<int>(i + 1), params[i].data(), static_cast<int>(params[i].size()),
                          SQLITE_STATIC);
    int step = SQLITE_ROW;
    Row row(static_cast<std::size_t>(sqlite3_column_count(statement)));
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, static_cast<int>(i)));
            row[i] = text == nullptr ? std::string() : std::string(text);
        }
        if (onRow)
            onRow(row);
    }
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    if (step != SQLITE_DONE)
        Fail(sql);
}

bool SqliteFile::Exists(const std::string& sql, const Row& params)
{
    bool found = false;
    Run(sql, params, [&](const Row&) { found = true; });
    return found;
}
