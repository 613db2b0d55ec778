#include "FileSystem.h"
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

PathKind KindOf(const std::string& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return PathKind::Missing;
    return S_ISREG(status.st_mode) ? PathKind::File : PathKind::Other;
}

bool IsReadOnlyFile(const std::string& path)
{
    return ::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0;
}

bool RemoveFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool RenameFile(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

std::tm LocalTime(std::time_t time)
{
    std::tm local{};
    ::localtime_r(&time, &local);
    return local;
}

int ProcessId()
{
    return static_cast<int>(::getpid());
}
