#include "OdbcConnection.h"
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <sql.h>
#include <sqlext.h>
#include <array>
#include <string_view>

namespace {

// The ODBC driver hands out its connection handle as a plain SQLHANDLE.
SQLHDBC ConnectionHandle(const QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    return handle.metaType() == QMetaType::fromType<SQLHANDLE>() ? handle.value<SQLHANDLE>() : SQL_NULL_HDBC;
}

} // namespace

SqlDialect ServerDialect(const QSqlDatabase& db)
{
    std::array<SQLCHAR, 128> name{};
    SQLSMALLINT length = 0;
    const SQLHDBC connection = ConnectionHandle(db);
    if (connection == SQL_NULL_HDBC
        || !SQL_SUCCEEDED(SQLGetInfo(connection, SQL_DBMS_NAME, name.data(), static_cast<SQLSMALLINT>(name.size()), &length)))
        return SqlDialect::PostgreSql;
    const std::string_view dbms(reinterpret_cast<const char*>(name.data()));
    return dbms.starts_with("MariaDB") || dbms.starts_with("MySQL") ? SqlDialect::MariaDb : SqlDialect::PostgreSql;
}

std::string ConnectionDiagnostic(const QSqlDatabase& db)
{
    std::array<SQLCHAR, SQL_SQLSTATE_SIZE + 1> state{};
    std::array<SQLCHAR, 1024> message{};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    const SQLHDBC connection = ConnectionHandle(db);
    if (connection == SQL_NULL_HDBC
        || !SQL_SUCCEEDED(SQLGetDiagRec(SQL_HANDLE_DBC, connection, 1, state.data(), &native, message.data(),
                                        static_cast<SQLSMALLINT>(message.size()), &length)))
        return {};
    return reinterpret_cast<const char*>(message.data());
}
