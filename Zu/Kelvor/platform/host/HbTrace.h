#pragma once

// One trace entry per call (time, level, code, source location, formatted text)
// to Trace.log in the log folder and to standard error.
void HbTrace(int level, int code, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
