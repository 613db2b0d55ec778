#include "BoundStatement.h"
#include "DBException.h"
#include "DatabaseError.h"
#include "HbRSetDatabase.h"
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

void RunBound(const CHbRSetDatabase& db, const std::string& sql, const std::vector<std::string>& params,
              const RowSink& onRow)
{
    if (!db.IsOpen())
        throw CDBException("Die Datenbankverbindung ist nicht geöffnet.");
    QSqlQuery query(QSqlDatabase::database(QString::fromStdString(db.ConnectionName()), false));
    query.setForwardOnly(true);
    if (!query.prepare(QString::fromStdString(sql)))
        throw CDBException(DatabaseErrorText(query.lastError()));
    for (const std::string& value : params)
        query.addBindValue(QString::fromStdString(value));
    if (!query.exec())
        throw CDBException(DatabaseErrorText(query.lastError()));
    const int columns = query.record().count();
    while (onRow && query.next()) {
        std::vector<std::string> row;
        row.reserve(static_cast<std::size_t>(columns));
        for (int i = 0; i < columns; ++i)
            row.push_back(query.value(i).toString().toStdString());
        onRow(std::move(row));
    }
    if (query.lastError().isValid())
        throw CDBException(DatabaseErrorText(query.lastError()));
    query.finish();
}
