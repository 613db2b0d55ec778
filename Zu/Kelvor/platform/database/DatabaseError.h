#pragma once
#include <string>

class QSqlDatabase;
class QSqlError;

// Inside the database layer: the database's own text of an error (the driver's
// wording only when the database gave none), without any password a driver may
// have repeated from the connection string.
std::string DatabaseErrorText(const QSqlError& error);

// The error of a statement on the connection db. A driver that could not even begin
// the statement (its connection lost) may leave the statement without any text: then
// the connection's own diagnostic.
std::string StatementErrorText(const QSqlError& error, const QSqlDatabase& db);
