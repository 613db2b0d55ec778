#pragma once
#include <cstdlib>
#include <string>
#include <string_view>

// The practice system writes and reads owner numbers (in file names, and of an
// owner key) as atoi reads a text: leading blanks, one sign, then digits up to
// the first other character; a text without such digits reads as 0.
inline long ReadNumber(std::string_view text)
{
    return std::strtol(std::string(text).c_str(), nullptr, 10);
}
