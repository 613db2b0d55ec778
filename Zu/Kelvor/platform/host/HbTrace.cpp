#include "HbTrace.h"
#include "HooksMuted.h"
#include "OpenFile.h"
#include "Seams.h"
#include "VqParams.h"
#include <QDateTime>
#include <cstdarg>
#include <cstdio>

namespace {

std::string Format(const char* format, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

std::string Entry(int level, int code, const char* file, int line, const std::string& text)
{
    const QString time = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    std::string entry = time.toStdString() + " L" + std::to_string(level) + " C" + std::to_string(code) + " "
        + (file ? file : "") + ":" + std::to_string(line) + " " + text;
    if (entry.back() != '\n')
        entry += '\n';
    return entry;
}

// Tracing must never disturb the caller: a log folder that cannot be written is skipped.
void AppendToTraceFile(const std::string& entry)
{
    const std::string folder = GetVqLogPath();
    if (folder.empty())
        return;
    COpenFile(folder + "Trace.log", OpenFor::Appending).Append(entry);
}

} // namespace

void HbTrace(int level, int code, const char* file, int line, const char* format, ...)
{
    // A trial on a copy of the practice leaves the log folder as it is.
    if (CHooksMuted::Any())
        return;
    va_list args;
    va_start(args, format);
    const std::string text = Format(format, args);
    va_end(args);

    const std::string entry = Entry(level, code, file, line, text);
    AppendToTraceFile(entry);
    std::fputs(entry.c_str(), stderr);
    seam::Trace::Call(text);
}
