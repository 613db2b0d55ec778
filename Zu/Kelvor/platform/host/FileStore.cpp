#include "FileStore.h"
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

std::string NativePath(const std::string& path)
{
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

struct CDBFileFind::Impl {
    struct Entry {
        std::string name;
        bool folder;
    };
    std::vector<Entry> entries;   // taken when the walk starts: removing entries does not disturb it
    std::ptrdiff_t current = -1;

    const Entry* Current() const
    {
        return current >= 0 && current < static_cast<std::ptrdiff_t>(entries.size()) ? &entries[current] : nullptr;
    }
};

CDBFileFind::CDBFileFind() : d(std::make_unique<Impl>()) {}

CDBFileFind::~CDBFileFind() = default;

int CDBFileFind::FindFile(const std::string& pattern, unsigned /*flags*/)
{
    d->entries.clear();
    d->current = -1;
    const QFileInfo wildcard(QString::fromStdString(NativePath(pattern)));
    const QDir folder(wildcard.path(), wildcard.fileName(), QDir::Name,
                      QDir::AllEntries | QDir::Hidden | QDir::System);
    if (!folder.exists() || !folder.isReadable())
        return 0;
    // A link is taken as a file, so that no walk follows it out of its folder.
    for (const QFileInfo& entry : folder.entryInfoList())
        d->entries.push_back({entry.fileName().toStdString(), entry.isDir() && !entry.isSymLink()});
    return d->entries.empty() ? 0 : 1;
}

int CDBFileFind::FindNextFileA()
{
    const auto count = static_cast<std::ptrdiff_t>(d->entries.size());
    if (d->current < count - 1)
        ++d->current;
    return d->current < count - 1 ? 1 : 0;
}

int CDBFileFind::IsDirectory() const
{
    const Impl::Entry* entry = d->Current();
    return entry && entry->folder ? 1 : 0;
}

int CDBFileFind::IsDots() const
{
    const Impl::Entry* entry = d->Current();
    return entry && (entry->name == "." || entry->name == "..") ? 1 : 0;
}

std::string CDBFileFind::GetFileName() const
{
    const Impl::Entry* entry = d->Current();
    return entry ? entry->name : std::string();
}

bool DeleteFileDB(const std::string& file)
{
    const fs::path path(NativePath(file));
    std::error_code error;
    if (fs::symlink_status(path, error).type() == fs::file_type::directory)
        return false;
    return fs::remove(path, error) && !error;
}

bool DeleteTreeDB(const std::string& folder)
{
    std::string native = NativePath(folder);
    while (!native.empty() && native.back() == '/')
        native.pop_back();   // "link/" would name the link's target
    if (native.empty())
        return false;
    const fs::path path(native);
    std::error_code error;
    const fs::file_type type = fs::symlink_status(path, error).type();
    if (type == fs::file_type::symlink)
        return fs::remove(path, error) && !error;
    if (type != fs::file_type::directory)
        return false;
    // remove_all removes links inside as links and never follows them.
    const auto removed = fs::remove_all(path, error);
    return !error && removed > 0;
}
