#pragma once
#include <optional>
#include <string>
#include <string_view>

// What a file is opened for.
enum class OpenFor {
    Reading,
    Writing,       // an existing file
    Appending,     // created when missing
    CreatingNew,   // fails when the name is taken
    Folder,        // a folder, to lock or to sync
};

// A regular file (or a folder, when one is asked for) opened without following a link
// at its name and without blocking, closed when it goes out of scope. Anything else at
// the name (a FIFO, a device, a socket) is not opened: IsOpen() is then false with
// errno EINVAL. Rights are set on the open file, never by path: a link put where the
// file belongs cannot make another file writable. Every call into the system for an
// open file is here; a failed call leaves its errno.
class COpenFile {
public:
    COpenFile(const std::string& path, OpenFor purpose, unsigned mode = 0644);
    ~COpenFile();
    COpenFile(const COpenFile&) = delete;
    COpenFile& operator=(const COpenFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    // Why the open failed (errno), 0 when it did not.
    int OpenError() const { return m_openError; }
    // Writes bytes at the end of the file, all of them or false (errno ENOSPC when
    // the disk took only part of them).
    bool Append(std::string_view bytes) const;
    bool SetMode(unsigned mode) const;
    bool Sync() const;   // its bytes (a folder: its entries) are on the disk
    std::optional<std::string> ReadAll() const;
    // Locks end when the file is closed, also by the end of the process.
    bool Lock() const;      // exclusive, waiting for another holder
    bool TryLock() const;   // exclusive, without waiting
    // Another process holds an exclusive lock; otherwise this one takes a shared one.
    bool LockedByAnother() const;
    bool Unlinked() const;  // no name leads to the file any more

private:
    int m_fd;
    int m_openError = 0;
};
