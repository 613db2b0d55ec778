#include "FlushCounter.h"
#include <atomic>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
std::atomic<long> flushes{0};
}

long FlushCount()
{
    return flushes.load();
}

// The executable exports these, so the database library's calls land here first.
extern "C" int fsync(int fd)
{
    ++flushes;
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

extern "C" int fdatasync(int fd)
{
    ++flushes;
    return static_cast<int>(::syscall(SYS_fdatasync, fd));
}
