#pragma once
#include <functional>
#include <string>

// Every statement text handed to the dialog's ExecuteSQL, in order, for tests
// and the scenario runner. Without a sink nothing is recorded.
class CStatementLog {
public:
    using Sink = std::function<void(const std::string& statement)>;
    static void SetSink(Sink sink);
    static void Record(const std::string& statement);
};
