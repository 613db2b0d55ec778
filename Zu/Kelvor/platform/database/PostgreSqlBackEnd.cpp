#include "PostgreSqlBackEnd.h"
#include "HbRSetConnection.h"
#include "SqlText.h"

namespace {

// The statement prepared on the server under name, its placeholders numbered ($1, $2, ...).
std::string PrepareText(std::string_view name, std::string_view sql)
{
    return "PREPARE " + std::string(name) + " AS "
        + ReplacePlaceholders(sql, [](std::size_t i) { return "$" + std::to_string(i + 1); });
}

// The prepared statement name run with values as literals.
std::string ExecuteText(std::string_view name, const std::vector<std::string>& values)
{
    std::string literals;
    for (const std::string& value : values)
        literals += (literals.empty() ? "" : ",") + Literal(value);
    return "EXECUTE " + std::string(name) + "(" + literals + ")";
}

} // namespace

// A backslash is a character in a literal, also where the server was set to the
// escapes of old.
std::vector<std::string> CPostgreSqlBackEnd::SessionStatements() const
{
    return {"SET standard_conforming_strings = on"};
}

void CPostgreSqlBackEnd::RunAsOneTransaction(CHbRSetDatabase& db, const std::vector<std::string>& statements,
                                             const std::vector<std::string>& params)
{
    RunAsOneCall(db, statements, [&](CHbRSetConnection& connection) {
        connection.Run([&] {
            std::string text;
            for (const std::string& sql : statements)
                text += ExecuteText(ServerPrepared(connection, sql), params) + ";";
            connection.Exec(text);
        });
    });
}

// The database's collation and every column's that has its own sort by bytes, and a
// varchar keeps its trailing blanks.
bool CPostgreSqlBackEnd::ComparesAsSqlite(const CHbRSetDatabase& db) const
{
    return Answers(db, "SELECT CASE WHEN (SELECT datcollate FROM pg_database WHERE datname = current_database()) "
                       "IN ('C', 'POSIX') AND NOT EXISTS (SELECT 1 FROM information_schema.columns WHERE "
                       "table_schema = current_schema() AND collation_name NOT IN ('C', 'POSIX', 'ucs_basic')) "
                       "THEN 1 ELSE 0 END");
}

// Statements prepared once on the server and run again from there; a failed
// statement rolls back the transaction it is in (autocommit: itself), without a
// savepoint around every statement; no communication log.
std::string CPostgreSqlBackEnd::DriverOptions() const
{
    return ";UseServerSidePrepare=1;Protocol=7.4-1;CommLog=0";
}

const std::string& CPostgreSqlBackEnd::ServerPrepared(CHbRSetConnection& connection, const std::string& sql)
{
    if (const auto found = m_prepared.find(sql); found != m_prepared.end())
        return found->second;
    std::string name = "kelvor_" + std::to_string(m_prepared.size() + 1);
    connection.Exec(PrepareText(name, sql));
    return m_prepared.emplace(sql, std::move(name)).first->second;
}
