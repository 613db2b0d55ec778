#pragma once
#include "Hook.h"
#include <string>

// Every statement text handed to the dialog's ExecuteSQL, in order, for tests
// and the scenario runner. Without a sink nothing is recorded.
class CStatementLog : CHook<CStatementLog, const std::string&> {
public:
    using Sink = Fn;
    static void SetSink(Sink sink) { Set(std::move(sink)); }
    static void Record(const std::string& statement) { Call(statement); }
};
