#pragma once
#include "ScopedEnv.h"
#include <QTemporaryDir>
#include <string>

// A practice folder of its own, named by VQ_PRAXIS while the object lives.
class HostPractice {
public:
    HostPractice();

    std::string Folder() const;                     // ends in '/'
    // Writes vqparams.ini through QSettings; key "Group/Name".
    void Set(const std::string& key, const std::string& value) const;
    // Writes a file (and its folders) below the practice folder.
    void WriteFile(const std::string& relativePath, const std::string& content = "x") const;
    std::string ReadFile(const std::string& relativePath) const;
    bool Exists(const std::string& relativePath) const;   // also a dangling link
    void MakeFolder(const std::string& relativePath) const;
    void Link(const std::string& target, const std::string& relativePath) const;

private:
    QTemporaryDir m_dir;
    ScopedEnv m_praxis;
};
