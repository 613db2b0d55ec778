#include "PracticeCopy.h"
#include "IniFile.h"
#include "PracticeLayout.h"
#include "SqliteCopy.h"
#include "StagingFolder.h"
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// The files of one folder; the database's own files are left to SQLite.
void CopyFolder(const PracticeLayout& layout, const fs::path& from, const fs::path& to, const fs::path& relative)
{
    fs::create_directories(to / relative);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(from / relative)) {
        const fs::path inside = entry.path().lexically_relative(from);
        if (entry.is_symlink())
            fs::copy_symlink(entry.path(), to / inside);
        else if (entry.is_directory())
            fs::create_directory(to / inside, entry.path());
        else if (!layout.IsDatabaseFile(inside))
            fs::copy_file(entry.path(), to / inside);
    }
}

} // namespace

void CopyPractice(const fs::path& from, const fs::path& to)
{
    const PracticeLayout layout(from);
    const fs::path source = fs::weakly_canonical(fs::absolute(from));
    const fs::path relative = fs::weakly_canonical(fs::absolute(to)).lexically_relative(source);
    if (relative.empty() || *relative.begin() != "..")
        throw std::runtime_error(to.string() + " lies inside the practice " + from.string());
    StagingFolder staging(to);
    const fs::path& copy = staging.Path();
    // Byte for byte, and for its owner only even when the original is not.
    CIniFile::Load((from / PracticeLayout::kSettingsFile).string()).Save((copy / PracticeLayout::kSettingsFile).string());
    fs::create_directories((copy / layout.Database()).parent_path());
    CopySqliteDatabase(from / layout.Database(), copy / layout.Database());
    for (const fs::path& folder : layout.Folders())
        CopyFolder(layout, from, copy, folder);
    staging.Commit();
}
