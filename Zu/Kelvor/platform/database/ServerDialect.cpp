#include "ServerDialect.h"
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <sql.h>
#include <sqlext.h>
#include <array>
#include <string_view>

SqlDialect ServerDialect(const QSqlDatabase& db)
{
    // The ODBC driver hands out its connection handle as a plain SQLHANDLE.
    const QVariant handle = db.driver()->handle();
    if (handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return SqlDialect::PostgreSql;
    std::array<SQLCHAR, 128> name{};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(handle.value<SQLHANDLE>(), SQL_DBMS_NAME, name.data(),
                                  static_cast<SQLSMALLINT>(name.size()), &length)))
        return SqlDialect::PostgreSql;
    const std::string_view dbms(reinterpret_cast<const char*>(name.data()));
    return dbms.starts_with("MariaDB") || dbms.starts_with("MySQL") ? SqlDialect::MariaDb : SqlDialect::PostgreSql;
}
