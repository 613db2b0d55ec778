#include "AtomicFile.h"
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path)
{
    throw std::runtime_error("Cannot " + what + " " + path + ": " + std::strerror(errno));
}

struct FileDescriptor {
    explicit FileDescriptor(int fd) : fd(fd) {}
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Release() { return std::exchange(fd, -1); }
    int fd;
};

// The temporary file goes again unless it was renamed into place.
struct TemporaryFile {
    explicit TemporaryFile(std::string name) : name(std::move(name)) {}
    ~TemporaryFile()
    {
        if (!name.empty())
            ::unlink(name.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    std::string name;
};

void WriteAll(int fd, std::string_view bytes, const std::string& path)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            Fail("write", path);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Run as root on a practice of another user, the file must stay that user's.
void KeepOwner(int fd, const std::string& path)
{
    struct stat old {};
    if (::geteuid() == 0 && ::stat(path.c_str(), &old) == 0 && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        Fail("hand over", path);
}

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes, mode_t mode)
{
    std::string pattern = path + ".XXXXXX";
    FileDescriptor file(::mkostemp(pattern.data(), O_CLOEXEC));
    if (file.fd < 0)
        Fail("create a file beside", path);
    TemporaryFile temporary(pattern);
    WriteAll(file.fd, bytes, pattern);
    KeepOwner(file.fd, path);
    if (::fchmod(file.fd, mode) != 0 || ::fsync(file.fd) != 0 || ::close(file.Release()) != 0)
        Fail("write", pattern);
    if (::rename(pattern.c_str(), path.c_str()) != 0)
        Fail("replace", path);
    temporary.name.clear();
    // The rename itself lasts only once the folder is synced.
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const FileDescriptor directory(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.fd < 0 || ::fsync(directory.fd) != 0)
        Fail("sync the folder of", path);
}
