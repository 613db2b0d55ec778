#pragma once
#include <string>

// A file opened without following a link at its name, closed when it goes out of scope.
class COpenFile {
public:
    COpenFile(const std::string& path, int flags);
    ~COpenFile();
    COpenFile(const COpenFile&) = delete;
    COpenFile& operator=(const COpenFile&) = delete;

    int Fd() const { return m_fd; }

private:
    int m_fd;
};
