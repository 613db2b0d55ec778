#include "StatementLog.h"

namespace {
CStatementLog::Sink& CurrentSink()
{
    static CStatementLog::Sink sink;
    return sink;
}
}  // namespace

void CStatementLog::SetSink(Sink sink)
{
    CurrentSink() = std::move(sink);
}

void CStatementLog::Record(const std::string& statement)
{
    if (const Sink& sink = CurrentSink())
        sink(statement);
}
