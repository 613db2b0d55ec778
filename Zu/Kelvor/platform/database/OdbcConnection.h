#pragma once
#include "SqlDialect.h"
#include <string>

class QSqlDatabase;

// Inside the database layer: what the ODBC driver manager knows of an open connection
// beyond what Qt passes on. On any other connection both answer as for no server.

// The dialect of the server, as its driver names the server: MariaDB and MySQL, else
// standard SQL.
SqlDialect ServerDialect(const QSqlDatabase& db);

// The driver's last diagnostic on the connection itself ("Connection not open"): the
// only word of a statement the driver could not even begin.
std::string ConnectionDiagnostic(const QSqlDatabase& db);
