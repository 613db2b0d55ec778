#include "BoundStatement.h"
#include "DBException.h"
#include "DatabaseError.h"
#include "HbRSetConnection.h"
#include "WindowServing.h"
#include "HbRSetDatabase.h"
#include "SqlText.h"
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>
#include <string_view>

namespace {

// Releases the statement's result, so that it holds nothing open, and throws its error.
[[noreturn]] void Fail(QSqlQuery& query, const QSqlDatabase& db)
{
    std::string error = StatementErrorText(query.lastError(), db);
    query.finish();
    throw CDBException(std::move(error));
}

void ReadRows(QSqlQuery& query, const QSqlDatabase& db, std::vector<std::vector<std::string>>* rows)
{
    const int columns = query.record().count();
    while (rows != nullptr && query.next()) {
        std::vector<std::string>& row = rows->emplace_back();
        row.reserve(static_cast<std::size_t>(columns));
        for (int i = 0; i < columns; ++i)
            row.push_back(query.value(i).toString().toStdString());
    }
    if (query.lastError().isValid())
        Fail(query, db);
    query.finish();
}

// A server's statements go through Qt's driver, on the connection's own thread; the
// rows come back to the caller's sink on the caller's.
void RunOnQt(const CHbRSetDatabase& db, const std::string& sql, const std::vector<std::string>& params,
             const RowSink& onRow)
{
    CHbRSetConnection& connection = db.Connection();
    std::vector<std::vector<std::string>> rows;
    connection.Run([&] {
        QSqlQuery& query = connection.Prepared(ExactPlaceholders(sql, db.Dialect()));
        for (std::size_t i = 0; i < params.size(); ++i)
            query.bindValue(static_cast<int>(i), QString::fromStdString(params[i]));
        if (!query.exec())
            Fail(query, connection.Database());
        ReadRows(query, connection.Database(), onRow ? &rows : nullptr);
    });
    for (std::vector<std::string>& row : rows)
        onRow(std::move(row));
}

} // namespace

void RunText(const CHbRSetDatabase& db, std::string_view text)
{
    CHbRSetConnection& connection = db.Connection();
    connection.Run([&] { connection.Exec(text); });
}

void RunAsOneTransaction(CHbRSetDatabase& db, const std::vector<std::string>& statements,
                         const std::vector<std::string>& params)
{
    if (db.Dialect() != SqlDialect::PostgreSql) {
        db.InTransaction([&] {
            for (const std::string& sql : statements)
                RunBound(db, sql, params);
        });
        return;
    }
    if (!db.IsOpen())
        throw CDBException("Die Datenbankverbindung ist nicht geöffnet.");
    for (const std::string& sql : statements)
        CHbRSetDatabase::BeforeStatement(sql);
    // PostgreSQL runs the statements of one query text as one transaction: committed
    // with the last, rolled back whole when one fails. Each is prepared once.
    CHbRSetConnection& connection = db.Connection();
    connection.Run([&] {
        std::string text;
        for (const std::string& sql : statements)
            text += ExecuteText(connection.ServerPrepared(sql), params) + ";";
        connection.Exec(text);
    });
    CWindowServing::IfDue();
}

void RunBound(const CHbRSetDatabase& db, const std::string& sql, const std::vector<std::string>& params,
              const RowSink& onRow)
{
    if (!db.IsOpen())
        throw CDBException("Die Datenbankverbindung ist nicht geöffnet.");
    CHbRSetDatabase::BeforeStatement(sql);
    if (CSqliteStatements* const sqlite = db.Connection().Sqlite())
        sqlite->Run(sql, params, onRow);
    else
        RunOnQt(db, sql, params, onRow);
    CWindowServing::IfDue();
}
