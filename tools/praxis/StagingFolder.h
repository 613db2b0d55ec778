#pragma once
#include <filesystem>

// A practice is built in a hidden sibling of its target and renamed into place
// only when complete, so the target never holds a half-written practice. Unless
// committed, the sibling is removed with everything in it.
class StagingFolder {
public:
    // Throws std::runtime_error when target is not free or its parent folder is missing.
    explicit StagingFolder(const std::filesystem::path& target);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    void Commit();

    // A target is free when it does not exist or is an empty folder.
    static bool IsFree(const std::filesystem::path& target);

private:
    std::filesystem::path m_target;
    std::filesystem::path m_path;
    bool m_committed = false;
};
