#include "PracticeLayout.h"
#include "FileStore.h"
#include "VqParams.h"
#include <QByteArray>
#include <algorithm>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::string kSqlitePrefix = "sqlite:";
const std::string kOdbcPrefix = "odbc:";
const char* const kDatabaseSuffixes[] = {"", "-journal", "-wal", "-shm"};

// The practice system names its practice by VQ_PRAXIS alone; reading the settings
// through it resolves every path exactly as Kelvor resolves it.
class PracticeVariable {
public:
    explicit PracticeVariable(const fs::path& folder)
        : m_had(qEnvironmentVariableIsSet(kName)), m_old(qgetenv(kName))
    {
        qputenv(kName, QByteArray::fromStdString(folder.string()));
    }
    ~PracticeVariable()
    {
        if (m_had)
            qputenv(kName, m_old);
        else
            qunsetenv(kName);
    }
    PracticeVariable(const PracticeVariable&) = delete;
    PracticeVariable& operator=(const PracticeVariable&) = delete;

private:
    static constexpr const char* kName = "VQ_PRAXIS";
    const bool m_had;
    const QByteArray m_old;
};

bool Contains(const fs::path& outer, const fs::path& inner)
{
    const auto [end, unused] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return end == outer.end();
}

fs::path Inside(const fs::path& folder, const std::string& what, const fs::path& path)
{
    fs::path normal = path.lexically_normal();
    if (!normal.has_filename())
        normal = normal.parent_path();   // a folder setting ends in a separator
    const fs::path relative = normal.lexically_relative(folder);
    if (relative.empty() || relative == "." || *relative.begin() == "..")
        throw std::runtime_error(what + " " + normal.string() + " is not inside the practice folder "
                                 + folder.string() + "; a backup takes only what lies inside it");
    return relative;
}

} // namespace

PracticeLayout::PracticeLayout(const fs::path& folder)
{
    const fs::path root = fs::absolute(folder).lexically_normal();
    if (!fs::is_regular_file(root / kSettingsFile))
        throw std::runtime_error("No practice in " + folder.string() + " (" + kSettingsFile + " is missing)");
    const PracticeVariable practice(root);
    const std::string connect = GetVqConnect();
    if (connect.starts_with(kOdbcPrefix))
        throw std::runtime_error("The practice " + folder.string()
                                 + " keeps its database on a server: back it up with the server's own backup tool"
                                   " (for PostgreSQL pg_dump, and pg_restore to put it back) and copy the practice"
                                   " folder beside it");
    if (!connect.starts_with(kSqlitePrefix))
        throw std::runtime_error("The practice " + folder.string() + " names no SQLite database file");
    const fs::path database = NativePath(connect.substr(kSqlitePrefix.size()));
    m_database = Inside(root, "The database file", root / database);
    for (const std::string& named : {GetVqDataPath(0), GetVqLogPath(), GetVqQAPath()}) {
        if (named.empty() || !fs::is_directory(named))
            continue;
        const fs::path relative = Inside(root, "The folder", named);
        std::erase_if(m_folders, [&relative](const fs::path& known) { return Contains(relative, known); });
        if (std::none_of(m_folders.begin(), m_folders.end(),
                         [&relative](const fs::path& known) { return Contains(known, relative); }))
            m_folders.push_back(relative);
    }
}

bool PracticeLayout::IsDatabaseFile(const fs::path& relative) const
{
    const std::string name = relative.lexically_normal().string();
    return std::any_of(std::begin(kDatabaseSuffixes), std::end(kDatabaseSuffixes),
                       [&](const char* suffix) { return name == m_database.string() + suffix; });
}
