#pragma once
#include <QSettings>
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

    void Set(const char* key, const std::string& value) const
    {
        QSettings(QString::fromStdString(Folder() + "vqparams.ini"), QSettings::IniFormat)
            .setValue(QString::fromUtf8(key), QString::fromStdString(value));
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
