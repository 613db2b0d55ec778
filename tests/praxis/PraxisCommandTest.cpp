#include "IniFile.h"
#include "PracticeGenerator.h"
#include "TestPractice.h"
#include "VqParams.h"
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sodium.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

using Strings = std::vector<std::string>;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

Outcome RunPraxis(const Strings& arguments, const QByteArray& input = {})
{
    const char* bin = std::getenv("KELVOR_BIN_DIR");
    if (bin == nullptr)
        throw std::runtime_error("KELVOR_BIN_DIR is not set");
    QStringList args;
    for (const std::string& argument : arguments)
        args.append(QString::fromStdString(argument));
    QProcess process;
    process.start(QString::fromUtf8(bin) + QStringLiteral("/kelvor-praxis"), args);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000))
        throw std::runtime_error("kelvor-praxis does not end");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

bool Accepts(const std::string& hash, const std::string& password)
{
    return sodium_init() >= 0 && crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::string Setting(const std::string& folder, const char* section, const char* name)
{
    return CIniFile::Load(folder + "/vqparams.ini").Value(section, name);
}

// Everything in a folder, hidden entries included.
Strings Entries(const std::string& folder)
{
    Strings entries;
    for (const QString& entry : QDir(QString::fromStdString(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name))
        entries.push_back(entry.toStdString());
    return entries;
}

// A scratch folder that "praxis" may be made in; the tests look at what is left there.
class PraxisCommandTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    const std::string m_scratch = m_dir.path().toStdString();
    const std::string m_folder = m_scratch + "/praxis";
};

} // namespace

TEST_F(PraxisCommandTest, CreateWritesAPracticeAndPrintsOneLine)
{
    const Outcome outcome = RunPraxis({"create", m_folder, "--seed", "3", "--patients=7", "--password", "geheim"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out, "Created practice " + m_folder + " (seed 3, 7 patients)\n");
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(Setting(m_folder, "Datenbank", "Verbindung"), "sqlite:praxis.db");
    EXPECT_TRUE(Accepts(Setting(m_folder, "Kennwort", "Hash"), "geheim"));
}

// The last case finds a folder with content, which is kept as it was.
TEST_F(PraxisCommandTest, BadArgumentsExitWithTwoAndLeaveNothing)
{
    const std::pair<Strings, std::string> cases[]{
        {{"create", m_folder, "--size", "3"}, "Unknown option 'size'."},
        {{"create", m_folder, "--seed"}, "Missing value after '--seed'."},
        {{"create", m_folder, "--patients", "12x"}, "--patients needs a whole number of 0 or more, not \"12x\""},
        {{"create", m_folder, "--patients=-5"}, "--patients needs a whole number of 0 or more, not \"-5\""},
        {{"create", m_folder, "--seed=99999999999"}, "--seed needs a whole number of 0 or more, not \"99999999999\""},
        {{"create"}, "Expected a command and a folder"},
        {{"create", m_folder, m_folder}, "Expected a command and a folder"},
        {{"erase", m_folder}, "Unknown command \"erase\""},
        {{"password", m_folder, "--seed=1"}, "The password command takes no options"},
        {{"backup", m_folder}, "Expected the command and two folders"},
        {{"restore", m_folder, m_folder, "--seed=1"}, "The restore command takes no options"},
        {{"create", m_folder}, m_folder + " exists and is not an empty folder"},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(message);
        if (&message == &std::end(cases)[-1].second) {
            ASSERT_TRUE(std::filesystem::create_directories(m_folder + "/alt"));
        }
        const Outcome outcome = RunPraxis(arguments);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_EQ(outcome.err, "kelvor-praxis: " + message + "\n"
                  "usage: kelvor-praxis create FOLDER [--seed N] [--patients N] [--password TEXT] [--connect TEXT]\n"
                  "       kelvor-praxis password FOLDER   (reads the new password from standard input)\n"
                  "       kelvor-praxis backup PRACTICE TARGET\n"
                  "       kelvor-praxis restore TARGET PRACTICE\n");
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(Entries(m_scratch), std::filesystem::exists(m_folder) ? Strings{"praxis"} : Strings{});
    }
    EXPECT_EQ(Entries(m_folder), Strings{"alt"});
}

// The line read is the password without its newline; without settings or input
// the command fails and the password stays. A file written by hand keeps every
// byte but the hash and is left for its owner only.
TEST_F(PraxisCommandTest, PasswordCommandStoresTheLineReadOrFailsWithOne)
{
    const TestPractice practice;
    const std::string head = "; Praxis Berger\r\n[Datenbank]\r\nVerbindung=" + GetVqConnect()
        + "\r\n; Verbindung=odbc:DRIVER={PostgreSQL Unicode};SERVER=db;UID=vq;PWD=x;y\r\n"
          "[Pfade]\r\nDaten=daten\r\nLog=log\\tage\r\nQA=\\\\server\\vq\\qa\r\n[Kennwort]\r\nHash = ";
    practice.WriteFile("vqparams.ini", head + GetVqPasswordHash() + "\r\n#\r\n");
    const Outcome empty = RunPraxis({"password", practice.Folder()});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.err, "kelvor-praxis: No password on standard input\n");
    const Outcome missing = RunPraxis({"password", m_scratch}, QByteArrayLiteral("x\n"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "kelvor-praxis: No practice settings in " + m_scratch + " (vqparams.ini is missing)\n");
    EXPECT_TRUE(Accepts(GetVqPasswordHash(), "kelvor"));

    const Outcome set = RunPraxis({"password", practice.Folder()}, QByteArrayLiteral("Zahn arzt!\n"));
    EXPECT_EQ(set.exitCode, 0);
    EXPECT_EQ(set.out, "Password set for practice " + practice.Folder() + "\n");
    const std::string hash = GetVqPasswordHash();
    std::ifstream file(practice.Folder() + "/vqparams.ini", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), head + hash + "\r\n#\r\n");
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(practice.Folder() + "/vqparams.ini").permissions(), perms::owner_read | perms::owner_write);
    EXPECT_TRUE(Accepts(hash, "Zahn arzt!"));
    EXPECT_FALSE(Accepts(hash, "Zahn arzt!\n"));
    EXPECT_FALSE(Accepts(hash, "kelvor"));
}

// A failed call leaves nothing behind; an empty folder is taken, and the database
// may lie in a sub-folder of the practice.
TEST_F(PraxisCommandTest, GeneratorChecksItsConnectTextAndFolder)
{
    const std::pair<std::string, std::string> connects[]{
        {"mysql:praxis", "The connect text must begin with \"sqlite:\" or \"odbc:\""},
        {"sqlite:../praxis.db", "The database file must lie inside the practice folder"},
        {"sqlite:/tmp/praxis.db", "The database file must lie inside the practice folder"},
    };
    for (const auto& [connect, message] : connects) {
        try {
            CreatePractice(m_folder, PracticeOptions{.connect = connect});
            ADD_FAILURE() << connect << " was accepted";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), message);
        }
    }
    EXPECT_THROW(CreateEmptyPractice(m_folder, PracticeOptions{.patients = -1, .connect = {}}), std::runtime_error);
    EXPECT_THROW(CreatePractice(m_scratch + "/missing/praxis", {}), std::runtime_error);
    EXPECT_EQ(Entries(m_scratch), Strings{});

    ASSERT_TRUE(std::filesystem::create_directory(m_folder));
    CreatePractice(m_folder, PracticeOptions{.patients = 3, .connect = "sqlite:db/kelvor.db"});
    EXPECT_EQ(Entries(m_folder), (Strings{"daten", "db", "log", "qa", "vqparams.ini"}));
    EXPECT_EQ(Setting(m_folder, "Datenbank", "Verbindung"), "sqlite:db/kelvor.db");
}
