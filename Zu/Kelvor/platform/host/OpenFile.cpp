#include "OpenFile.h"
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opened without waiting (a FIFO or a device where a file belongs never holds the
// program up), and only a regular file is kept, or a folder when one is asked for.
int OpenRegular(const std::string& path, int flags, mode_t mode)
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, mode);
    if (fd < 0 || (flags & O_DIRECTORY) != 0)
        return fd;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode))
        return fd;
    ::close(fd);
    errno = EINVAL;
    return -1;
}

} // namespace

COpenFile::COpenFile(const std::string& path, int flags, mode_t mode) : m_fd(OpenRegular(path, flags, mode))
{
}

COpenFile::~COpenFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool COpenFile::Append(std::string_view bytes) const
{
    return m_fd >= 0 && ::lseek(m_fd, 0, SEEK_END) >= 0 &&
           ::write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

bool COpenFile::SetMode(mode_t mode) const
{
    return m_fd >= 0 && ::fchmod(m_fd, mode) == 0;
}
