#include "VqParams.h"
#include "FileStore.h"
#include "IniFile.h"
#include "PlainName.h"
#include <QDir>
#include <QFileInfo>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>

namespace {

QString WithSeparator(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

QString PraxisFolder()
{
    const QString named = qEnvironmentVariable("VQ_PRAXIS");
    const QString folder = named.isEmpty() ? QDir::currentPath() : named;
    return WithSeparator(QDir::cleanPath(QDir(folder).absolutePath()));
}

// What tells one version of the settings file from another; kelvor-praxis replaces
// the file, which gives it a new inode.
struct FileStamp {
    dev_t device;
    ino_t inode;
    off_t size;
    time_t seconds;
    long nanoseconds;
    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileStamp{status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
}

// The settings are asked for once per removed patient: the file is read again
// only when the practice folder or the file changed. An unreadable file is empty.
std::string Setting(std::string_view section, std::string_view name)
{
    static std::mutex mutex;
    static std::string cachedPath;
    static std::optional<FileStamp> cachedStamp;
    static CIniFile cached;

    const std::string path = PraxisFolder().toStdString() + "vqparams.ini";
    const std::optional<FileStamp> stamp = StampOf(path);
    const std::scoped_lock lock(mutex);
    if (path != cachedPath || stamp != cachedStamp) {
        try {
            cached = CIniFile::Load(path);
        } catch (const std::runtime_error&) {
            cached = CIniFile();
        }
        cachedPath = path;
        cachedStamp = stamp;
    }
    return cached.Value(section, name);
}

// A folder setting, relative to the practice folder; empty when the practice has none.
std::string FolderSetting(std::string_view name)
{
    const std::string written = Setting("Pfade", name);
    if (written.empty())
        return {};
    const QString path = QString::fromStdString(NativePath(written));
    return WithSeparator(QDir::cleanPath(QDir(PraxisFolder()).absoluteFilePath(path))).toStdString();
}

} // namespace

std::string GetVqPraxisPath()
{
    return PraxisFolder().toStdString();
}

std::string GetVqDataPath(int which)
{
    // The practice system knows one data folder, number 0.
    return which == 0 ? FolderSetting("Daten") : std::string();
}

std::string GetVqLogPath()
{
    return FolderSetting("Log");
}

std::string GetVqQAPath()
{
    return FolderSetting("QA");
}

std::string GetVqConnect()
{
    return Setting("Datenbank", "Verbindung");
}

std::string GetVqPasswordHash()
{
    return Setting("Kennwort", "Hash");
}

std::string GetVqMandantFotoPath(const std::string& mdId, bool mustExist)
{
    const std::string data = GetVqDataPath(0);
    if (data.empty() || !IsPlainName(mdId))
        return {};
    const std::string photo = data + "fotos/mandant" + mdId + ".jpg";
    if (mustExist && !QFileInfo(QString::fromStdString(photo)).isFile())
        return {};
    return photo;
}
