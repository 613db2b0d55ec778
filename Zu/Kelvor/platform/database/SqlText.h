#pragma once
#include <string>
#include <string_view>
#include <vector>

// Inside the database layer: column names joined for SQL text ("A, B").
std::string JoinColumns(const std::vector<std::string>& columns, const char* separator);

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

// The value as a quoted SQL literal.
std::string Literal(const std::string& value);

