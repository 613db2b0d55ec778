#pragma once
#include <functional>
#include <string>

// One trace entry per call (time, level, code, source location, formatted text)
// to Trace.log in the log folder and to standard error.
void HbTrace(int level, int code, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 5, 6)));

// Tests capture the formatted text of every entry.
using TraceSink = std::function<void(const std::string& text)>;
void SetTraceSink(TraceSink sink);  // an empty sink switches capturing off
