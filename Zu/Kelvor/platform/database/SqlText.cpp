#include "SqlText.h"
#include "HbRSet.h"

std::string JoinColumns(const std::vector<std::string>& columns, const char* separator)
{
    std::string text;
    for (const std::string& column : columns)
        text += (text.empty() ? "" : separator) + column;
    return text;
}

namespace {

// The statement with the n-th "?" placeholder outside quotes replaced by replacement(n).
template <class Replacement> std::string ReplacePlaceholders(std::string_view sql, Replacement&& replacement)
{
    std::string replaced;
    char quote = 0;   // the quote of the literal or name being read, if any
    std::size_t placeholder = 0;
    for (const char ch : sql) {
        if (quote == 0 && ch == '?') {
            replaced += replacement(placeholder++);
            continue;
        }
        if (ch == quote)
            quote = 0;   // a doubled quote closes and opens again
        else if (quote == 0 && (ch == '\'' || ch == '"'))
            quote = ch;
        replaced += ch;
    }
    return replaced;
}

std::string Literal(const std::string& value)
{
    return "'" + CHbRSet::DoQuotes(value) + "'";
}

} // namespace

std::string ExactPlaceholders(std::string_view sql, SqlDialect dialect)
{
    if (dialect != SqlDialect::MariaDb)
        return std::string(sql);
    return ReplacePlaceholders(sql, [](std::size_t) { return "TRIM(TRAILING CHAR(0 USING utf8mb4) FROM ?)"; });
}

std::string PrepareText(std::string_view name, std::string_view sql)
{
    return "PREPARE " + std::string(name) + " AS " +
           ReplacePlaceholders(sql, [](std::size_t i) { return "$" + std::to_string(i + 1); });
}

std::string ExecuteText(std::string_view name, const std::vector<std::string>& values)
{
    std::string literals;
    for (const std::string& value : values)
        literals += (literals.empty() ? "" : ",") + Literal(value);
    return "EXECUTE " + std::string(name) + "(" + literals + ")";
}
