#include "DatabaseBackEnd.h"
#include "BoundStatement.h"
#include "DBException.h"
#include "DatabaseError.h"
#include "HbRSetDatabase.h"
#include "MariaDbBackEnd.h"
#include "OdbcBackEnd.h"
#include "PostgreSqlBackEnd.h"
#include "SqliteBackEnd.h"
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

namespace {
constexpr std::string_view kSqlitePrefix = "sqlite:";
constexpr std::string_view kSqliteCopyPrefix = "sqlite-copy:";
constexpr std::string_view kOdbcPrefix = "odbc:";

bool Names(std::string_view name, const char* engine)
{
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
        .contains(QLatin1StringView(engine), Qt::CaseInsensitive);
}
} // namespace

std::unique_ptr<CDatabaseBackEnd> CDatabaseBackEnd::ForConnect(std::string_view connect)
{
    if (connect.starts_with(kSqlitePrefix))
        return std::make_unique<CSqliteBackEnd>(connect.substr(kSqlitePrefix.size()), CSqliteBackEnd::Use::Practice);
    if (connect.starts_with(kSqliteCopyPrefix))
        return std::make_unique<CSqliteBackEnd>(connect.substr(kSqliteCopyPrefix.size()), CSqliteBackEnd::Use::OwnCopy);
    if (!connect.starts_with(kOdbcPrefix))
        throw CDBException("Die Datenbankverbindung ist weder eine SQLite-Datei noch eine ODBC-Verbindung.");
    const std::string_view odbc = connect.substr(kOdbcPrefix.size());
    if (std::unique_ptr<CDatabaseBackEnd> known = ForServerNamed(COdbcBackEnd::DriverName(odbc), odbc))
        return known;
    return std::make_unique<COdbcBackEnd>(odbc);
}

std::unique_ptr<CDatabaseBackEnd> CDatabaseBackEnd::ForServerNamed(std::string_view name, std::string_view odbc)
{
    if (Names(name, "postgres"))
        return std::make_unique<CPostgreSqlBackEnd>(odbc);
    if (Names(name, "mariadb") || Names(name, "mysql"))
        return std::make_unique<CMariaDbBackEnd>(odbc);
    return nullptr;
}

std::unique_ptr<CDatabaseBackEnd> CDatabaseBackEnd::Recognised(CHbRSetConnection& /*connection*/) const
{
    return nullptr;
}

std::string CDatabaseBackEnd::Limit(std::size_t rows) const
{
    return " LIMIT " + std::to_string(rows);
}

void CDatabaseBackEnd::RunAsOneTransaction(CHbRSetDatabase& db, const std::vector<std::string>& statements,
                                           const std::vector<std::string>& params)
{
    db.InTransaction([&] {
        for (const std::string& sql : statements)
            RunBound(db, sql, params);
    });
}

void CDatabaseBackEnd::OpenQt(const QString& name, const QString& driver, const QString& databaseName,
                              const QString& options) const
{
    std::string error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        db.setDatabaseName(databaseName);
        db.setConnectOptions(options);
        if (db.open())
            return;
        error = DatabaseErrorText(db.lastError());
    }
    QSqlDatabase::removeDatabase(name);
    throw CDBException(Unreachable() + error);
}
