#include "StagingFolder.h"
#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path Normalized(const fs::path& target)
{
    fs::path path = fs::absolute(target).lexically_normal();
    if (!path.has_filename())
        path = path.parent_path();   // "practice/" names the folder "practice"
    return path;
}

} // namespace

bool StagingFolder::IsFree(const fs::path& target)
{
    std::error_code error;
    const fs::file_status status = fs::symlink_status(Normalized(target), error);
    if (status.type() == fs::file_type::not_found)
        return true;
    return status.type() == fs::file_type::directory && fs::is_empty(Normalized(target), error) && !error;
}

StagingFolder::StagingFolder(const fs::path& target) : m_target(Normalized(target))
{
    if (!IsFree(m_target))
        throw std::runtime_error(m_target.string() + " exists and is not an empty folder");
    if (!fs::is_directory(m_target.parent_path()))
        throw std::runtime_error("The folder " + m_target.parent_path().string() + " does not exist");
    std::string pattern = (m_target.parent_path() / ("." + m_target.filename().string() + ".XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("Cannot create a folder beside " + m_target.string());
    m_path = pattern;
    // mkdtemp makes the folder private; a practice is shared like any other folder.
    fs::permissions(m_path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec
                                | fs::perms::others_read | fs::perms::others_exec);
}

StagingFolder::~StagingFolder()
{
    if (m_committed)
        return;
    std::error_code ignored;   // nothing more can be done about a folder that will not go
    fs::remove_all(m_path, ignored);
}

void StagingFolder::Commit()
{
    // rename() replaces an empty target folder and refuses one that filled up meanwhile.
    std::error_code error;
    fs::rename(m_path, m_target, error);
    if (error)
        throw std::runtime_error("Cannot move the practice into " + m_target.string() + ": " + error.message());
    m_committed = true;
}
