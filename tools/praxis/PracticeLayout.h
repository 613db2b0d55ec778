#pragma once
#include <filesystem>
#include <vector>

// Where the parts of a practice with an SQLite database lie, as its settings name
// them, each relative to the practice folder: the settings file, the database file
// and the data, log and QA folders. Throws std::runtime_error for a server practice
// (the server's own backup tool is the way there) and for a part outside the folder.
class PracticeLayout {
public:
    explicit PracticeLayout(const std::filesystem::path& folder);

    static constexpr const char* kSettingsFile = "vqparams.ini";
    const std::filesystem::path& Database() const { return m_database; }
    // The folders that exist, none inside another one.
    const std::vector<std::filesystem::path>& Folders() const { return m_folders; }
    // The database's own files beside it (journal, WAL), which only SQLite may copy.
    bool IsDatabaseFile(const std::filesystem::path& relative) const;

private:
    std::filesystem::path m_database;
    std::vector<std::filesystem::path> m_folders;
};
