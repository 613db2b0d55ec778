#include "DBException.h"
#include <algorithm>
#include <cstring>

bool CException::GetErrorMessage(char* buffer, unsigned maxChars) const
{
    if (buffer == nullptr || maxChars == 0)
        return false;
    const std::string text = ErrorText();
    const std::size_t length = std::min<std::size_t>(text.size(), maxChars - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return !text.empty();
}
