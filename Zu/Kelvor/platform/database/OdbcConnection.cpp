#include "OdbcConnection.h"
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <sql.h>
#include <sqlext.h>
#include <array>
#include <memory>

namespace {

// The ODBC driver hands out its connection handle as a plain SQLHANDLE.
SQLHDBC ConnectionHandle(const QSqlDatabase& db)
{
    const QVariant handle = db.driver()->handle();
    return handle.metaType() == QMetaType::fromType<SQLHANDLE>() ? handle.value<SQLHANDLE>() : SQL_NULL_HDBC;
}

} // namespace

std::string ServerName(const QSqlDatabase& db)
{
    std::array<SQLCHAR, 128> name{};
    SQLSMALLINT length = 0;
    const SQLHDBC connection = ConnectionHandle(db);
    if (connection == SQL_NULL_HDBC
        || !SQL_SUCCEEDED(SQLGetInfo(connection, SQL_DBMS_NAME, name.data(), static_cast<SQLSMALLINT>(name.size()), &length)))
        return {};
    return reinterpret_cast<const char*>(name.data());
}

std::string DataSourceDriver(const std::string& dsn)
{
    SQLHENV handle = SQL_NULL_HENV;
    if (dsn.empty() || !SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle)))
        return {};
    const std::unique_ptr<void, void (*)(SQLHENV)> environment(handle, [](SQLHENV env) { SQLFreeHandle(SQL_HANDLE_ENV, env); });
    SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    std::array<SQLCHAR, SQL_MAX_DSN_LENGTH + 1> name{};
    std::array<SQLCHAR, 256> driver{};
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT driverLength = 0;
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;
         SQL_SUCCEEDED(SQLDataSources(handle, direction, name.data(), static_cast<SQLSMALLINT>(name.size()), &nameLength,
                                      driver.data(), static_cast<SQLSMALLINT>(driver.size()), &driverLength));
         direction = SQL_FETCH_NEXT) {
        if (QString::fromUtf8(reinterpret_cast<const char*>(name.data()))
                .compare(QString::fromStdString(dsn), Qt::CaseInsensitive) == 0)
            return reinterpret_cast<const char*>(driver.data());
    }
    return {};
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
