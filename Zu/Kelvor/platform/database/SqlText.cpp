#include "SqlText.h"

std::string JoinColumns(const std::vector<std::string>& columns, const char* separator)
{
    std::string text;
    for (const std::string& column : columns)
        text += (text.empty() ? "" : separator) + column;
    return text;
}
