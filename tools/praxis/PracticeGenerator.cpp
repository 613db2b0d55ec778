#include "PracticeGenerator.h"
#include "IniFile.h"
#include "OwnerRecords.h"
#include "PatientWriter.h"
#include "SampleFiles.h"
#include "SampleText.h"
#include "StagingFolder.h"
#include <sodium.h>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const std::string kSqlitePrefix = "sqlite:";
const std::string kOdbcPrefix = "odbc:";
const char* const kSettingsFile = "vqparams.ini";

std::string PasswordHash(const std::string& password)
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot be initialised");
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw std::runtime_error("Not enough memory to hash the password");
    return hash;
}

void WriteSettings(const fs::path& folder, const std::string& connect, const std::string& password)
{
    CIniFile settings;
    settings.SetValue("Datenbank", "Verbindung", connect);
    settings.SetValue("Pfade", "Daten", "daten");
    settings.SetValue("Pfade", "Log", "log");
    settings.SetValue("Pfade", "QA", "qa");
    settings.SetValue("Kennwort", "Hash", PasswordHash(password));
    settings.Save((folder / kSettingsFile).string());
}

struct DatabaseTarget {
    SampleDatabase::Kind kind;
    std::string database;   // the SQLite file or the ODBC connection string
};

// Where a connect text puts the practice database: a file inside the practice
// folder (its folder is made), or an existing empty database on a server.
DatabaseTarget TargetOf(const fs::path& folder, const std::string& connect)
{
    if (connect.rfind(kOdbcPrefix, 0) == 0)
        return {SampleDatabase::Kind::Server, connect.substr(kOdbcPrefix.size())};
    if (connect.rfind(kSqlitePrefix, 0) != 0)
        throw std::runtime_error("The connect text must begin with \"sqlite:\" or \"odbc:\"");
    const fs::path file = fs::path(connect.substr(kSqlitePrefix.size())).lexically_normal();
    if (file.empty() || file.is_absolute() || *file.begin() == "..")
        throw std::runtime_error("The database file must lie inside the practice folder");
    fs::create_directories((folder / file).parent_path());
    return {SampleDatabase::Kind::SqliteFile, (folder / file).string()};
}

void WritePractice(SampleDatabase& db, const fs::path& folder, const PracticeOptions& options)
{
    SeededRandom random(options.seed);
    const PracticeStaff staff = PracticeStaff::Write(db, random);
    OwnerRecords(db, random, staff).Write();
    PatientWriter patients(db, random, staff, folder / "daten");
    // Six digits, more only when the practice needs them, so that text order is number order.
    const int width = std::max(6, static_cast<int>(std::to_string(options.patients).size()));
    for (long i = 1; i <= options.patients; ++i)
        patients.Write(Padded(i, width));
    patients.Finish();
    db.Insert("NUMBERPOOL", {{"ID", "1"}, {"MDID", staff.Owners().back()}, {"LEBID", staff.Treaters().back().lebId},
                             {"PATNR", options.patients > 0 ? Padded(options.patients, width) : std::string()}});
    WriteOwnerFiles(folder / "daten", folder / "qa", staff.Owners());
}

using Filler = std::function<void(SampleDatabase&, const fs::path&)>;

void BuildPractice(const std::string& folder, const PracticeOptions& options, const Filler& fill)
{
    if (options.patients < 0)
        throw std::runtime_error("The number of patients must not be negative");
    const std::string connect = options.connect.empty() ? kSqlitePrefix + "praxis.db" : options.connect;
    StagingFolder staging(folder);
    const fs::path& path = staging.Path();
    const DatabaseTarget target = TargetOf(path, connect);
    for (const char* sub : {"daten", "log", "qa"})
        fs::create_directory(path / sub);
    WriteSettings(path, connect, options.password);
    {
        SampleDatabase db(target.kind, target.database);
        if (fill)
            fill(db, path);
        db.Finish();
    }
    staging.Commit();
}

} // namespace

void CreateEmptyPractice(const std::string& folder, const PracticeOptions& options)
{
    BuildPractice(folder, options, {});
}

void CreatePractice(const std::string& folder, const PracticeOptions& options)
{
    BuildPractice(folder, options,
                  [&options](SampleDatabase& db, const fs::path& path) { WritePractice(db, path, options); });
}

void SetPracticePassword(const std::string& folder, const std::string& password)
{
    const fs::path file = fs::path(folder) / kSettingsFile;
    if (!fs::is_regular_file(file))
        throw std::runtime_error("No practice settings in " + folder + " (" + kSettingsFile + " is missing)");
    CIniFile::Change(file.string(), "Kennwort", "Hash", PasswordHash(password));
}
