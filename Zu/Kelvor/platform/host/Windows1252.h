#pragma once
#include <string>
#include <string_view>

// The run log and older practice files are Windows-1252 text; the program's own
// texts are UTF-8. A character without a form in the target becomes '?'.
std::string ToWindows1252(std::string_view utf8);
std::string FromWindows1252(std::string_view windows1252);
bool IsUtf8(std::string_view text);
