#include "ServerRowSink.h"
#include "DatabaseBackEnd.h"
#include "DBException.h"
#include "SqlText.h"
#include <QSqlError>
#include <QVariant>
#include <stdexcept>

namespace {

// Rows per insert statement: each statement is a round trip, so many go in one.
constexpr std::size_t kRowsPerInsert = 100;
const std::string kOdbcPrefix = "odbc:";

// Empty, never null: a null QString binds as NULL, which the practice system never stores.
QString ToQString(std::string_view text)
{
    if (text.empty())
        return QStringLiteral("");
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

[[noreturn]] void Fail(const std::string& what, const QSqlError& error)
{
    throw std::runtime_error(what + ": " + error.text().toStdString());
}

CHbRSetDatabase& Opened(CHbRSetDatabase& server, const std::string& odbc)
{
    try {
        server.OpenHere(kOdbcPrefix + odbc);
    } catch (const CDBException& error) {
        throw std::runtime_error(error.ErrorText());
    }
    return server;
}

} // namespace

ServerRowSink::ServerRowSink(const std::string& odbc)
    : m_dialect(Opened(m_server, odbc).Dialect()),
      m_db(QSqlDatabase::database(QString::fromStdString(m_server.ConnectionName()), false))
{
    if (!m_db.transaction())
        Fail("Cannot begin a transaction", m_db.lastError());
}

ServerRowSink::~ServerRowSink()
{
    m_inserts.clear();
    // An unfinished practice is rolled back: nothing of it stays. On the way out
    // nothing may throw: a table that cannot be dropped stays.
    if (!m_finished && m_db.isOpen()) {
        m_db.rollback();
        for (const std::string& table : m_createdTables)
            QSqlQuery(m_db).exec(ToQString("DROP TABLE " + table));
    }
    // The connection is the CHbRSetDatabase's to close.
    m_db = QSqlDatabase();
}

void ServerRowSink::Exec(const std::string& statement)
{
    QSqlQuery query(m_db);
    if (!query.exec(ToQString(statement)))
        Fail("Statement failed (" + statement + ")", query.lastError());
}

void ServerRowSink::CreateTable(const TableDef& table, const std::string& statement)
{
    Exec(statement);
    if (m_dialect == SqlDialect::MariaDb)
        m_createdTables.push_back(table.name);
}

std::size_t ServerRowSink::RowsPerInsert() const
{
    return kRowsPerInsert;
}

QSqlQuery ServerRowSink::Prepare(const TableDef& table, std::size_t rows)
{
    QSqlQuery query(m_db);
    if (!query.prepare(ToQString(m_server.BackEnd().ExactPlaceholders(InsertText(table, rows)))))
        Fail("Cannot prepare the insert into " + table.name, query.lastError());
    return query;
}

void ServerRowSink::Run(const TableDef& table, QSqlQuery& insert, std::span<const std::string> values)
{
    for (std::size_t i = 0; i < values.size(); ++i)
        insert.bindValue(static_cast<int>(i), ToQString(values[i]));
    if (!insert.exec())
        Fail("Cannot insert into " + table.name, insert.lastError());
}

void ServerRowSink::Insert(const TableDef& table, std::span<const std::string> values)
{
    const std::size_t rows = values.size() / table.columns.size();
    if (rows != kRowsPerInsert) {
        QSqlQuery rest = Prepare(table, rows);
        Run(table, rest, values);
        return;
    }
    auto found = m_inserts.find(&table);
    if (found == m_inserts.end())
        found = m_inserts.emplace(&table, Prepare(table, rows)).first;
    Run(table, found->second, values);
}

// The planner needs the new rows' statistics before the first run.
std::string ServerRowSink::AnalyzeStatement() const
{
    if (m_dialect != SqlDialect::MariaDb)
        return "ANALYZE";
    std::string tables;
    for (const TableDef& table : PracticeSchema())
        tables += (tables.empty() ? "" : ", ") + table.name;
    return "ANALYZE TABLE " + tables;
}

void ServerRowSink::Finish(std::span<const std::string> statements)
{
    m_inserts.clear();
    for (const std::string& statement : statements)
        Exec(statement);
    if (!m_db.commit())
        Fail("Cannot commit", m_db.lastError());
    m_finished = true;
    Exec(AnalyzeStatement());
    m_db = QSqlDatabase();
    m_server.Close();
}
