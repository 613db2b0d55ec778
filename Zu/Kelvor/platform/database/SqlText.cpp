#include "SqlText.h"

std::string JoinColumns(const std::vector<std::string>& columns, const char* separator)
{
    std::string text;
    for (const std::string& column : columns)
        text += (text.empty() ? "" : separator) + column;
    return text;
}

std::string ExactPlaceholders(std::string_view sql, SqlDialect dialect)
{
    if (dialect != SqlDialect::MariaDb)
        return std::string(sql);
    std::string exact;
    char quote = 0;   // the quote of the literal or name being read, if any
    for (const char ch : sql) {
        if (quote == 0 && ch == '?') {
            exact += "TRIM(TRAILING CHAR(0 USING utf8mb4) FROM ?)";
            continue;
        }
        if (ch == quote)
            quote = 0;   // a doubled quote closes and opens again
        else if (quote == 0 && (ch == '\'' || ch == '"'))
            quote = ch;
        exact += ch;
    }
    return exact;
}
