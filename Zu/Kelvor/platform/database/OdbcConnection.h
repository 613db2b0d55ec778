#pragma once
#include <string>

class QSqlDatabase;

// Inside the database layer: what the ODBC driver manager knows beyond what Qt passes
// on. Asked of a connection that is not ODBC's, ServerName and ConnectionDiagnostic
// answer as for no server.

// The server's name for its engine ("PostgreSQL", "MariaDB"); empty when unknown.
std::string ServerName(const QSqlDatabase& db);

// The driver of a data source set up with the driver manager (odbc.ini), as it names it
// ("PostgreSQL Unicode"); empty for a data source it does not know.
std::string DataSourceDriver(const std::string& dsn);

// The driver's last diagnostic on the connection itself ("Connection not open"): the
// only word of a statement the driver could not even begin.
std::string ConnectionDiagnostic(const QSqlDatabase& db);
