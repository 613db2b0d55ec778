#include "SqlText.h"
#include "HbRSet.h"

std::string JoinColumns(const std::vector<std::string>& columns, const char* separator)
{
    std::string text;
    for (const std::string& column : columns)
        text += (text.empty() ? "" : separator) + column;
    return text;
}

std::string Literal(const std::string& value)
{
    return "'" + CHbRSet::DoQuotes(value) + "'";
}
