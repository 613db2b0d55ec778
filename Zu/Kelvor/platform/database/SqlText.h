#pragma once
#include "SqlDialect.h"
#include <string>
#include <string_view>
#include <vector>

// Inside the database layer: column names joined for SQL text ("A, B").
std::string JoinColumns(const std::vector<std::string>& columns, const char* separator);

// The statement with each "?" placeholder (outside quotes) as the dialect binds a text
// exactly. Qt's ODBC driver counts a bound text's terminating NUL into its length;
// MariaDB keeps that NUL as a last character, so there each placeholder drops it again.
std::string ExactPlaceholders(std::string_view sql, SqlDialect dialect);

// PostgreSQL: the statement prepared on the server under name, its placeholders
// numbered ($1, $2, ...), and the prepared statement run with values as literals.
std::string PrepareText(std::string_view name, std::string_view sql);
std::string ExecuteText(std::string_view name, const std::vector<std::string>& values);
