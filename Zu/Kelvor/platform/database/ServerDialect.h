#pragma once
#include "SqlDialect.h"

class QSqlDatabase;

// The dialect of the server behind an open ODBC connection, as its driver names the
// server: MariaDB and MySQL, else standard SQL.
SqlDialect ServerDialect(const QSqlDatabase& db);
