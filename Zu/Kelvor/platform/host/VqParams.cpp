#include "VqParams.h"
#include "FileStore.h"
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

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

// A value that holds unquoted commas comes back from QSettings as a list; the
// practice system means the text as written.
std::string Setting(const char* key)
{
    const QSettings settings(PraxisFolder() + QStringLiteral("vqparams.ini"), QSettings::IniFormat);
    const QVariant value = settings.value(QString::fromUtf8(key));
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',').toStdString();
    return value.toString().toStdString();
}

// A folder setting, relative to the practice folder; empty when the practice has none.
std::string FolderSetting(const char* key)
{
    const std::string written = Setting(key);
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
    return which == 0 ? FolderSetting("Pfade/Daten") : std::string();
}

std::string GetVqLogPath()
{
    return FolderSetting("Pfade/Log");
}

std::string GetVqQAPath()
{
    return FolderSetting("Pfade/QA");
}

std::string GetVqConnect()
{
    return Setting("Datenbank/Verbindung");
}

std::string GetVqPasswordHash()
{
    return Setting("Kennwort/Hash");
}

std::string GetVqMandantFotoPath(const std::string& mdId, bool mustExist)
{
    const std::string data = GetVqDataPath(0);
    if (data.empty())
        return {};
    const std::string photo = data + "fotos/mandant" + mdId + ".jpg";
    if (mustExist && !QFileInfo(QString::fromStdString(photo)).isFile())
        return {};
    return photo;
}
