#include "HbLibrary.h"
#include <dlfcn.h>
#include <filesystem>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

std::string& FolderSet()
{
    static std::string folder;
    return folder;
}

// Where the installation puts the program's libraries, seen from the program's folder;
// the build lays out its programs and libraries the same way.
fs::path OwnFolder()
{
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : program.parent_path() / KELVOR_LIBRARY_FOLDER;
}

} // namespace

CHbLibrary::CHbLibrary(const std::string& name)
{
    const fs::path folder = FolderSet().empty() ? OwnFolder() : fs::path(FolderSet());
    // Only an absolute path keeps the loader from searching its own list of folders.
    if (folder.is_absolute())
        m_handle = dlopen((folder / ("lib" + name + ".so")).c_str(), RTLD_NOW | RTLD_LOCAL);
}

CHbLibrary::~CHbLibrary()
{
    if (m_handle && !m_bKeep)
        dlclose(m_handle);
}

void* CHbLibrary::GetProcAddress(const char* symbol) const
{
    return m_handle ? dlsym(m_handle, symbol) : nullptr;
}

void CHbLibrary::KeepLoaded()
{
    m_bKeep = true;
}

void CHbLibrary::SetFolder(std::string folder)
{
    FolderSet() = std::move(folder);
}
