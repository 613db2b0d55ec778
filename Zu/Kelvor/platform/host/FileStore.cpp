#include "FileStore.h"
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
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

struct CFileStoreListing::Impl {
    std::set<std::string> files;
    std::set<std::string> folders;
    std::map<std::string, std::string> moved;   // where a folder went, from where

    // Where the entry stands now, as far as it was moved in the listing only.
    fs::path Actual(const fs::path& path) const
    {
        const std::string text = path.string();
        for (const auto& [to, from] : moved) {
            if (text == to || text.starts_with(to + "/"))
                return fs::path(from + text.substr(to.size()));
        }
        return path;
    }

    // Counts what removing path would remove, a link as a file, never following one.
    bool Count(const fs::path& path)
    {
        std::error_code error;
        const fs::path actual = Actual(path);
        const fs::file_type type = fs::symlink_status(actual, error).type();
        if (error || type == fs::file_type::not_found)
            return false;
        if (type != fs::file_type::directory) {
            files.insert(path.string());
            return true;
        }
        folders.insert(path.string());
        for (const auto& entry : fs::recursive_directory_iterator(actual, error)) {
            const fs::path listed = path / fs::relative(entry.path(), actual);
            (entry.symlink_status().type() == fs::file_type::directory ? folders : files).insert(listed.string());
        }
        return !error;
    }
};

namespace {

CFileStoreListing::Impl*& Listing()
{
    static CFileStoreListing::Impl* listing = nullptr;
    return listing;
}

// Where path stands now: in a listing, a folder moved only in the listing is still
// where it was.
fs::path Standing(const fs::path& path)
{
    return Listing() ? Listing()->Actual(path) : path;
}

// A folder path without the separators it may end in ("link/" would name the link's target).
std::string Trimmed(const std::string& folder)
{
    std::string native = NativePath(folder);
    while (!native.empty() && native.back() == '/')
        native.pop_back();
    return native;
}

} // namespace

CFileStoreListing::CFileStoreListing() : d(std::make_unique<Impl>())
{
    Listing() = d.get();
}

CFileStoreListing::~CFileStoreListing()
{
    Listing() = nullptr;
}

bool CFileStoreListing::Active()
{
    return Listing() != nullptr;
}

long CFileStoreListing::Files() const
{
    return static_cast<long>(d->files.size());
}

long CFileStoreListing::Folders() const
{
    return static_cast<long>(d->folders.size());
}

bool DeleteFileDB(const std::string& file)
{
    const fs::path path(NativePath(file));
    std::error_code error;
    if (fs::symlink_status(Standing(path), error).type() == fs::file_type::directory)
        return false;
    if (Listing())
        return Listing()->Count(path);
    return fs::remove(path, error) && !error;
}

bool DeleteTreeDB(const std::string& folder)
{
    const std::string native = Trimmed(folder);
    if (native.empty())
        return false;
    const fs::path path(native);
    std::error_code error;
    const fs::file_type type = fs::symlink_status(Standing(path), error).type();
    if (type != fs::file_type::symlink && type != fs::file_type::directory)
        return false;
    if (Listing())
        return Listing()->Count(path);
    if (type == fs::file_type::symlink)
        return fs::remove(path, error) && !error;
    // remove_all removes links inside as links and never follows them.
    const auto removed = fs::remove_all(path, error);
    return !error && removed > 0;
}

bool MoveFolderDB(const std::string& from, const std::string& to)
{
    const std::string source = Trimmed(from);
    const std::string target = Trimmed(to);
    std::error_code error;
    if (Listing() == nullptr) {
        fs::rename(source, target, error);
        return !error;
    }
    const std::string actual = Listing()->Actual(source).string();
    if (!fs::is_directory(fs::symlink_status(actual, error)))
        return false;
    Listing()->moved.erase(source);
    Listing()->moved[target] = actual;
    return true;
}
