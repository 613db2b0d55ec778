#include "HbLibrary.h"
#include <cstdlib>
#include <dlfcn.h>
#include <sstream>

namespace {

void* Open(const std::string& file)
{
    return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* OpenFromFolders(const std::string& folders, const std::string& file)
{
    std::istringstream list(folders);
    for (std::string folder; std::getline(list, folder, ':');) {
        if (folder.empty())
            continue;
        if (void* handle = Open(folder + "/" + file))
            return handle;
    }
    return nullptr;
}

} // namespace

CHbLibrary::CHbLibrary(const std::string& name)
{
    const std::string file = "lib" + name + ".so";
    const char* folders = std::getenv("VQ_LIBPATH");
    m_handle = folders ? OpenFromFolders(folders, file) : Open(file);
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
