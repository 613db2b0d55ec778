#include "OpenFile.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

COpenFile::COpenFile(const std::string& path, int flags, mode_t mode)
    : m_fd(::open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW, mode))
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
