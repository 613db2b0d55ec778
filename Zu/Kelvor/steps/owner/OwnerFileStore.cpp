#include "FileStore.h"
#include "HbBasis.h"
#include "KelvorDlg.h"
#include "steps/owner/OwnerNumber.h"
#include <algorithm>
#include <cctype>
#include <string_view>

// The owner's entries in the file store carry the owner number in their names,
// each folder after its own scheme. Numbers are read the way the practice
// system writes and reads them: as atoi reads a text.

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

// Hands every entry of folder, "." and ".." included, to examine(finder, owner).
// A key that reads as no positive number names no owner's entries (entries
// without digits read as 0), and an empty folder text names no folder (not the
// current one), so then nothing is walked at all.
template <class Examine>
void WalkOwnerEntries(const std::string& ownerKey, const std::string& folder, Examine examine)
{
    const long owner = ReadNumber(ownerKey);
    if (owner <= 0 || folder.empty())
        return;
    CDBFileFind finder;
    if (!finder.FindFile(folder + "*", 0))
        return;
    bool more = false;
    do {
        more = finder.FindNextFileA() != 0;
        examine(finder, owner);
    } while (more);
}

bool IsSubFolder(const CDBFileFind& finder)
{
    return finder.IsDirectory() && !finder.IsDots();
}

// The digits right before the first dot of a QA file name: the last two when
// both are digits, else the last one. A one-character stem is read alone.
// -1 for a name that carries no owner number: nothing before its first dot,
// or transfer data (.dta) and its index (.idx).
long QAFileNumber(std::string_view name)
{
    const auto dot = name.find('.');
    if (dot == std::string_view::npos || dot == 0)
        return -1;
    const std::string_view extension = name.substr(dot + 1);
    if (EqualsNoCase(extension, "dta") || EqualsNoCase(extension, "idx"))
        return -1;
    const std::size_t digits = dot >= 2 && ishbdigit(static_cast<unsigned char>(name[dot - 2])) ? 2 : 1;
    return ReadNumber(name.substr(dot - digits, digits));
}

} // namespace

// Logo<number>_<anything>: the number stands between the prefix and the first "_".
void CKelvorDlg::DeleteOwnerPrefixedFiles(const std::string& folder, const std::string& prefix)
{
    WalkOwnerEntries(m_strDeleteId, folder, [&](const CDBFileFind& finder, long owner) {
        if (finder.IsDirectory())
            return;
        const std::string name = finder.GetFileName();
        if (name.size() < prefix.size() || !EqualsNoCase(std::string_view(name).substr(0, prefix.size()), prefix))
            return;
        const auto underscore = name.find('_', prefix.size());
        if (underscore == std::string::npos || underscore == prefix.size())
            return;
        if (ReadNumber(std::string_view(name).substr(prefix.size(), underscore - prefix.size())) == owner)
            DeleteFileDB(folder + name);
    });
}

// <anything>.<number>: the number is what follows the first ".".
void CKelvorDlg::DeleteOwnerExtensionFiles(const std::string& folder)
{
    WalkOwnerEntries(m_strDeleteId, folder, [&](const CDBFileFind& finder, long owner) {
        if (finder.IsDirectory())
            return;
        const std::string name = finder.GetFileName();
        const auto dot = name.find('.');
        if (dot != std::string::npos && ReadNumber(std::string_view(name).substr(dot + 1)) == owner)
            DeleteFileDB(folder + name);
    });
}

// <number><anything>: the whole folder goes.
void CKelvorDlg::DeleteOwnerFolders(const std::string& folder)
{
    WalkOwnerEntries(m_strDeleteId, folder, [&](const CDBFileFind& finder, long owner) {
        if (!IsSubFolder(finder))
            return;
        const std::string name = finder.GetFileName();
        if (ReadNumber(name) == owner)
            DeleteTreeDB(folder + name + "\\");
    });
}

// Files ending in the owner number before their first dot, except the transfer
// data and its index; sub-folders named by the owner number are searched the
// same way and stay themselves.
void CKelvorDlg::DeleteOwnerQAFiles(const std::string& folder)
{
    WalkOwnerEntries(m_strDeleteId, folder, [&](const CDBFileFind& finder, long owner) {
        const std::string name = finder.GetFileName();
        if (IsSubFolder(finder)) {
            if (ReadNumber(name) == owner)
                DeleteOwnerQAFiles(folder + name + "\\");
        } else if (!finder.IsDirectory() && QAFileNumber(name) == owner) {
            DeleteFileDB(folder + name);
        }
    });
}
