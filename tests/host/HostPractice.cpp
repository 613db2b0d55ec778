#include "HostPractice.h"
#include <QSettings>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

HostPractice::HostPractice() : m_praxis("VQ_PRAXIS", m_dir.path().toStdString())
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
}

std::string HostPractice::Folder() const
{
    return m_dir.path().toStdString() + "/";
}

void HostPractice::Set(const std::string& key, const std::string& value) const
{
    QSettings settings(QString::fromStdString(Folder() + "vqparams.ini"), QSettings::IniFormat);
    settings.setValue(QString::fromStdString(key), QString::fromStdString(value));
}

void HostPractice::WriteFile(const std::string& relativePath, const std::string& content) const
{
    const std::filesystem::path path = Folder() + relativePath;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::string HostPractice::ReadFile(const std::string& relativePath) const
{
    std::ostringstream content;
    content << std::ifstream(Folder() + relativePath, std::ios::binary).rdbuf();
    return content.str();
}

bool HostPractice::Exists(const std::string& relativePath) const
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(Folder() + relativePath, error));
}

void HostPractice::MakeFolder(const std::string& relativePath) const
{
    std::filesystem::create_directories(Folder() + relativePath);
}

void HostPractice::Link(const std::string& target, const std::string& relativePath) const
{
    std::filesystem::create_symlink(target, Folder() + relativePath);
}
