#pragma once
#include <string>
#include <string_view>
#include <sys/types.h>

// A regular file (or, with O_DIRECTORY, a folder) opened without following a link at
// its name and without blocking, closed when it goes out of scope. Anything else at the
// name (a FIFO, a device, a socket) is not opened: Fd() is then -1 with errno EINVAL.
// Rights are set on the open file, never by path: a link put where the file belongs
// cannot make another file writable.
class COpenFile {
public:
    COpenFile(const std::string& path, int flags, mode_t mode = 0644);
    ~COpenFile();
    COpenFile(const COpenFile&) = delete;
    COpenFile& operator=(const COpenFile&) = delete;

    int Fd() const { return m_fd; }
    // Writes bytes at the end of the file, all of them or false.
    bool Append(std::string_view bytes) const;
    bool SetMode(mode_t mode) const;

private:
    int m_fd;
};
