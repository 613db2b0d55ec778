#include "OpenFile.h"
#include <fcntl.h>
#include <unistd.h>

COpenFile::COpenFile(const std::string& path, int flags) : m_fd(::open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW, 0644))
{
}

COpenFile::~COpenFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
