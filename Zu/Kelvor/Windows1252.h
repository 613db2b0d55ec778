#pragma once
#include <string>
#include <string_view>

// The run log is Windows-1252 text: the program's own texts are UTF-8 and are
// converted line by line; a character without a Windows-1252 form becomes '?'.
std::string ToWindows1252(std::string_view utf8);
