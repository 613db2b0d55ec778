#pragma once
#include "IniFile.h"
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>

// A practice folder of its own, named by VQ_PRAXIS while the object lives.
class HostPractice {
public:
    HostPractice() { qputenv("VQ_PRAXIS", m_dir.path().toLocal8Bit()); }
    ~HostPractice() { qunsetenv("VQ_PRAXIS"); }

    std::string Folder() const { return m_dir.path().toStdString() + "/"; }

    std::string SettingsFile() const { return Folder() + "vqparams.ini"; }

    // Replaced, not written over: a new file is always seen as changed.
    void WriteSettings(const std::string& bytes) const { CIniFile(bytes).Save(SettingsFile()); }

    void Set(const char* section, const char* name, const std::string& value) const
    {
        CIniFile::Change(SettingsFile(), section, name, value);
    }

    // Writes a file below the practice folder; a name ending in '/' makes a folder.
    void Write(const std::string& relativePath, const std::string& content = "x") const
    {
        const std::filesystem::path path = Folder() + relativePath;
        std::filesystem::create_directories(path.parent_path());
        if (path.has_filename())
            std::ofstream(path, std::ios::binary) << content;
    }

private:
    QTemporaryDir m_dir;
};
