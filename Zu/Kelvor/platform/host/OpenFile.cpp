#include "OpenFile.h"
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int Flags(OpenFor purpose)
{
    switch (purpose) {
    case OpenFor::Reading:
        return O_RDONLY;
    case OpenFor::Writing:
        return O_WRONLY;
    case OpenFor::Appending:
        return O_WRONLY | O_CREAT | O_APPEND;
    case OpenFor::CreatingNew:
        return O_WRONLY | O_CREAT | O_EXCL;
    case OpenFor::Folder:
        return O_RDONLY | O_DIRECTORY;
    }
    return O_RDONLY;
}

// Opened without waiting (a FIFO or a device where a file belongs never holds the
// program up), and only a regular file is kept, or a folder when one is asked for.
int OpenRegular(const std::string& path, OpenFor purpose, mode_t mode)
{
    const int fd = ::open(path.c_str(), Flags(purpose) | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, mode);
    if (fd < 0 || purpose == OpenFor::Folder)
        return fd;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode))
        return fd;
    ::close(fd);
    errno = EINVAL;
    return -1;
}

} // namespace

COpenFile::COpenFile(const std::string& path, OpenFor purpose, unsigned mode)
    : m_fd(OpenRegular(path, purpose, static_cast<mode_t>(mode)))
{
    if (m_fd < 0)
        m_openError = errno;
}

COpenFile::~COpenFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool COpenFile::Append(std::string_view bytes) const
{
    if (m_fd < 0 || ::lseek(m_fd, 0, SEEK_END) < 0)
        return false;
    const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
    if (written >= 0 && written != static_cast<ssize_t>(bytes.size()))
        errno = ENOSPC;   // a write that stops short sets no error of its own
    return written == static_cast<ssize_t>(bytes.size());
}

bool COpenFile::SetMode(unsigned mode) const
{
    return m_fd >= 0 && ::fchmod(m_fd, static_cast<mode_t>(mode)) == 0;
}

bool COpenFile::Sync() const
{
    return m_fd >= 0 && ::fsync(m_fd) == 0;
}

std::optional<std::string> COpenFile::ReadAll() const
{
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while (m_fd >= 0 && (got = ::read(m_fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    if (m_fd < 0 || got != 0)
        return std::nullopt;
    return text;
}

bool COpenFile::Lock() const
{
    return m_fd >= 0 && ::flock(m_fd, LOCK_EX) == 0;
}

bool COpenFile::TryLock() const
{
    return m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
}

bool COpenFile::LockedByAnother() const
{
    return m_fd >= 0 && ::flock(m_fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

bool COpenFile::Unlinked() const
{
    struct stat status {};
    return m_fd >= 0 && ::fstat(m_fd, &status) == 0 && status.st_nlink == 0;
}
