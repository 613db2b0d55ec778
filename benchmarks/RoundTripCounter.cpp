#include "RoundTripCounter.h"
#include <array>
#include <atomic>
#include <cstddef>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

std::atomic<long> roundTrips{0};
// Per socket (by its number): whether it has sent since it last received.
std::array<std::atomic<bool>, 4096> sentLast{};

std::atomic<bool>* SentLast(int fd)
{
    return fd >= 0 && static_cast<std::size_t>(fd) < sentLast.size() ? &sentLast[static_cast<std::size_t>(fd)] : nullptr;
}

} // namespace

long RoundTripCount()
{
    return roundTrips.load();
}

// The executable exports these, so the client libraries' calls land here first.
extern "C" ssize_t send(int fd, const void* data, size_t length, int flags)
{
    if (std::atomic<bool>* const sent = SentLast(fd))
        sent->store(true);
    return ::syscall(SYS_sendto, fd, data, length, flags, nullptr, 0);
}

extern "C" ssize_t recv(int fd, void* data, size_t length, int flags)
{
    if (std::atomic<bool>* const sent = SentLast(fd); sent != nullptr && sent->exchange(false))
        ++roundTrips;
    return ::syscall(SYS_recvfrom, fd, data, length, flags, nullptr, nullptr);
}
