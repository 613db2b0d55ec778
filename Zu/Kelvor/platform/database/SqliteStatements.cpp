#include "SqliteStatements.h"
#include "DBException.h"
#include "WindowServing.h"
#include <QByteArray>
#include <QVariant>
#include <cctype>
#include <chrono>
#include <sqlite3.h>
#include <string_view>

namespace {

// Resets the statement and clears its bindings when the call leaves, however it leaves.
class CStatementUse {
public:
    explicit CStatementUse(sqlite3_stmt* statement) : m_statement(statement) {}
    ~CStatementUse()
    {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    CStatementUse(const CStatementUse&) = delete;
    CStatementUse& operator=(const CStatementUse&) = delete;

private:
    sqlite3_stmt* m_statement;
};

// A change that ran this long may take a long commit.
constexpr auto kLongChange = std::chrono::milliseconds(20);

// INSERT, UPDATE, DELETE: a statement that may run in a transaction (a PRAGMA may not).
bool ChangesRows(std::string_view sql)
{
    const std::size_t start = sql.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return false;
    std::string word(sql.substr(start, sql.find_first_of(" \t\r\n(", start) - start));
    for (char& c : word)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return word == "INSERT" || word == "UPDATE" || word == "DELETE" || word == "REPLACE";
}

} // namespace

void CSqliteStatements::Finalize::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

CSqliteStatements::CSqliteStatements(sqlite3* db) : m_db(db) {}

void CSqliteStatements::Run(const std::string& sql, const std::vector<std::string>& params, const RowSink& onRow)
{
    sqlite3_stmt* const statement = Prepared(sql);
    InOwnTransaction(sql, [&] { Step(statement, params, onRow); });
}

void CSqliteStatements::InOwnTransaction(std::string_view sql, const std::function<void()>& change)
{
    if (!ChangesRows(sql) || sqlite3_get_autocommit(m_db) == 0) {
        change();
        return;
    }
    // Outside a transaction a change commits at its end, and after a large one the
    // commit rewrites the checksums of all the log it wrote (a third of a second for
    // an owner's bookings at a million patients) with no chance to serve the window.
    // So it gets a transaction of its own, committed where the window is served when
    // the change ran long.
    Step(Prepared("BEGIN"), {}, nullptr);
    const auto start = std::chrono::steady_clock::now();
    try {
        change();
    } catch (const CDBException&) {
        if (sqlite3_get_autocommit(m_db) == 0)   // some errors end the transaction themselves
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    const auto commit = [this] {
        Step(Prepared("COMMIT"), {}, nullptr);
        return true;
    };
    if (std::chrono::steady_clock::now() - start >= kLongChange)
        CWindowServing::WhileServing(commit);
    else
        commit();
}

void CSqliteStatements::Step(sqlite3_stmt* statement, const std::vector<std::string>& params, const RowSink& onRow)
{
    const CStatementUse use(statement);
    for (std::size_t i = 0; i < params.size(); ++i)
        if (sqlite3_bind_text(statement, static_cast<int>(i + 1), params[i].data(), static_cast<int>(params[i].size()),
                              SQLITE_STATIC) != SQLITE_OK)
            Fail();
    // Without a reader of rows one step runs the statement, as a statement that
    // changes rows needs.
    for (;;) {
        const int result = sqlite3_step(statement);
        if (result == SQLITE_DONE)
            return;
        if (result != SQLITE_ROW)
            Fail();
        if (!onRow)
            return;
        onRow(Row(statement));
    }
}

sqlite3_stmt* CSqliteStatements::Prepared(const std::string& sql)
{
    Statement& kept = m_statements[sql];
    if (!kept) {
        sqlite3_stmt* statement = nullptr;
        const int result = sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr);
        kept.reset(statement);
        if (result != SQLITE_OK || !kept) {
            m_statements.erase(sql);
            Fail();
        }
    }
    return kept.get();
}

// Texts and integers as the database writes them; a floating-point number or a
// blob in Qt's text of the value, as the layer shows such a value everywhere.
std::vector<std::string> CSqliteStatements::Row(sqlite3_stmt* statement) const
{
    const int columns = sqlite3_column_count(statement);
    std::vector<std::string> row;
    row.reserve(static_cast<std::size_t>(columns));
    for (int i = 0; i < columns; ++i) {
        switch (sqlite3_column_type(statement, i)) {
        case SQLITE_NULL:
            row.emplace_back();
            break;
        case SQLITE_FLOAT:
            row.push_back(QVariant(sqlite3_column_double(statement, i)).toString().toStdString());
            break;
        case SQLITE_BLOB:
            row.push_back(QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, i)),
                                              sqlite3_column_bytes(statement, i)))
                              .toString()
                              .toStdString());
            break;
        default: {   // text, and integers in their decimal form
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            row.push_back(text == nullptr ? std::string()
                                          : std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, i))));
        }
        }
    }
    return row;
}

void CSqliteStatements::Fail() const
{
    throw CDBException(sqlite3_errmsg(m_db));
}
