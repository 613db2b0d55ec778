#pragma once
#include <string>
#include <string_view>

// The database is not trusted to hold well-formed keys: a key names a file or a
// folder of the file store only when it is a plain name, one entry inside its
// folder. Not a plain name: empty, "." or "..", a "/" or "\", a control character
// (NUL included: the system calls would end the name there, "..\0" would be "..").
bool IsPlainName(std::string_view key);

// The key as a message shows it: each control character as "\x" and two
// upper-case hex digits, everything else as it stands.
std::string WithVisibleControls(std::string_view key);
