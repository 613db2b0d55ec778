#pragma once
#include <string>

class QSqlError;

// Inside the database layer: the database's own text of an error (the driver's
// wording only when the database gave none), without any password a driver may
// have repeated from the connection string.
std::string DatabaseErrorText(const QSqlError& error);
