#include "MariaDbBackEnd.h"
#include "SqlText.h"
#include <algorithm>

// Standard SQL: a backslash is a character in a literal, '"' quotes names, '||' joins
// texts, and a value too long is an error, never cut. A transaction sees what other
// connections have committed, as on the other servers, and locks no gaps.
std::vector<std::string> CMariaDbBackEnd::SessionStatements() const
{
    return {"SET SESSION sql_mode='STRICT_ALL_TABLES,NO_BACKSLASH_ESCAPES,ANSI_QUOTES,PIPES_AS_CONCAT,"
            "NO_ENGINE_SUBSTITUTION'",
            "SET SESSION TRANSACTION ISOLATION LEVEL READ COMMITTED"};
}

std::string CMariaDbBackEnd::Limit(std::size_t rows) const
{
    return CDatabaseBackEnd::Limit(rows);
}

std::string CMariaDbBackEnd::ExactPlaceholders(std::string_view sql) const
{
    return ReplacePlaceholders(sql, [](std::size_t) { return "TRIM(TRAILING CHAR(0 USING utf8mb4) FROM ?)"; });
}

// A failed statement ends the block in its handler, which rolls the whole transaction
// back and passes the statement's own error on. The block is prepared once per
// connection, as every statement with values is, and its values bound as theirs are.
void CMariaDbBackEnd::RunAsOneTransaction(CHbRSetDatabase& db, const std::vector<std::string>& statements,
                                          const std::vector<std::string>& params)
{
    std::string block = "BEGIN NOT ATOMIC DECLARE EXIT HANDLER FOR SQLEXCEPTION BEGIN ROLLBACK; RESIGNAL; END; "
                        "START TRANSACTION; ";
    std::vector<std::string> values;
    for (const std::string& sql : statements) {
        block += sql + "; ";
        values.insert(values.end(), params.begin(), params.end());
    }
    block += "COMMIT; END";
    RunAsOneCall(db, statements, [&](CHbRSetConnection& connection) { Run(connection, block, values, {}); });
}

std::string CMariaDbBackEnd::SizeQuery() const
{
    return "SELECT SUM(DATA_LENGTH + INDEX_LENGTH) FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE()";
}

// The server's default collations ignore case and trailing blanks; the practice's
// tables compare byte for byte only where every text column is of a binary
// collation without padding.
bool CMariaDbBackEnd::ComparesAsSqlite(const CHbRSetDatabase& db) const
{
    return Answers(db, "SELECT CASE WHEN EXISTS (SELECT 1 FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = "
                       "DATABASE() AND COLLATION_NAME NOT IN ('utf8mb4_nopad_bin', 'utf8mb3_nopad_bin')) "
                       "THEN 0 ELSE 1 END");
}

std::string CMariaDbBackEnd::DriverOptions() const
{
    return ";CONN_TIMEOUT=" + std::to_string(kLoginTimeout);
}

// In whole seconds, at least one.
std::string CMariaDbBackEnd::LockWaitStatement(std::chrono::milliseconds wait) const
{
    const long long seconds = std::max<long long>(1, (wait.count() + 999) / 1000);
    return "SET SESSION innodb_lock_wait_timeout = " + std::to_string(seconds);
}
