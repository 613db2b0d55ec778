#pragma once
#include <cstdio>
#include <stdexcept>
#include <string>
#include <unistd.h>

// Everything the process writes to standard output and standard error while it
// lives goes to a temporary file instead; Text() reads it back.
class OutputCapture {
public:
    OutputCapture() : m_file(std::tmpfile())
    {
        if (m_file == nullptr)
            throw std::runtime_error("no temporary file for the output");
        std::fflush(nullptr);
        for (int fd : {1, 2}) {
            m_saved[fd - 1] = ::dup(fd);
            ::dup2(::fileno(m_file), fd);
        }
    }
    ~OutputCapture()
    {
        Restore();
        std::fclose(m_file);
    }
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;

    // Stops capturing and returns what was written.
    std::string Text()
    {
        Restore();
        std::string text;
        std::rewind(m_file);
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0;)
            text.append(buffer, n);
        return text;
    }

private:
    void Restore()
    {
        std::fflush(nullptr);
        for (int fd : {1, 2}) {
            if (m_saved[fd - 1] >= 0) {
                ::dup2(m_saved[fd - 1], fd);
                ::close(m_saved[fd - 1]);
                m_saved[fd - 1] = -1;
            }
        }
    }

    std::FILE* m_file;
    int m_saved[2] = {-1, -1};
};
