#include "PracticeGenerator.h"
#include "TestPractice.h"
#include "VqParams.h"
#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sodium.h>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const std::string kUsage =
    "usage: kelvor-praxis create FOLDER [--seed N] [--patients N] [--password TEXT] [--connect TEXT]\n"
    "       kelvor-praxis password FOLDER   (reads the new password from standard input)\n";

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

bool Accepts(const std::string& hash, const std::string& password)
{
    return sodium_init() >= 0 && crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

// A scratch folder; the practice generator's own tests look at what it leaves there.
class PraxisCommandTest : public ::testing::Test {
protected:
    Outcome Run(const QStringList& arguments, const QByteArray& input = {}) const
    {
        const char* bin = std::getenv("KELVOR_BIN_DIR");
        if (bin == nullptr)
            throw std::runtime_error("KELVOR_BIN_DIR is not set");
        QProcess process;
        process.start(QString::fromUtf8(bin) + QStringLiteral("/kelvor-praxis"), arguments);
        if (!process.waitForStarted())
            throw std::runtime_error("kelvor-praxis does not start");
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(120000))
            throw std::runtime_error("kelvor-praxis does not end");
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
    }

    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    // Everything in the scratch folder, hidden entries included.
    QStringList Entries() const
    {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(PraxisCommandTest, CreateWritesAPracticeAndPrintsOneLine)
{
    const QString folder = Path("praxis");
    const Outcome outcome = Run({QStringLiteral("create"), folder, QStringLiteral("--seed"), QStringLiteral("3"),
                                 QStringLiteral("--patients=7"), QStringLiteral("--password"), QStringLiteral("geheim")});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out, "Created practice " + folder.toStdString() + " (seed 3, 7 patients)\n");
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("praxis")});
    const QSettings settings(folder + QStringLiteral("/vqparams.ini"), QSettings::IniFormat);
    EXPECT_EQ(settings.value(QStringLiteral("Datenbank/Verbindung")).toString(), QStringLiteral("sqlite:praxis.db"));
    EXPECT_TRUE(Accepts(settings.value(QStringLiteral("Kennwort/Hash")).toString().toStdString(), "geheim"));
}

TEST_F(PraxisCommandTest, BadArgumentsExitWithTwoAndLeaveNothing)
{
    const QString folder = Path("praxis");
    const std::pair<QStringList, std::string> cases[]{
        {{QStringLiteral("create"), folder, QStringLiteral("--size"), QStringLiteral("3")}, "Unknown option 'size'."},
        {{QStringLiteral("create"), folder, QStringLiteral("--seed")}, "Missing value after '--seed'."},
        {{QStringLiteral("create"), folder, QStringLiteral("--patients"), QStringLiteral("12x")},
         "--patients needs a whole number of 0 or more, not \"12x\""},
        {{QStringLiteral("create"), folder, QStringLiteral("--patients=-5")},
         "--patients needs a whole number of 0 or more, not \"-5\""},
        {{QStringLiteral("create"), folder, QStringLiteral("--seed=99999999999")},
         "--seed needs a whole number of 0 or more, not \"99999999999\""},
        {{QStringLiteral("create")}, "Expected a command and a folder"},
        {{QStringLiteral("create"), folder, folder}, "Expected a command and a folder"},
        {{QStringLiteral("erase"), folder}, "Unknown command \"erase\""},
        {{QStringLiteral("password"), folder, QStringLiteral("--seed=1")}, "The password command takes no options"},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(arguments.join(QLatin1Char(' ')).toStdString());
        const Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_EQ(outcome.err, "kelvor-praxis: " + message + "\n" + kUsage);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(Entries(), QStringList());
    }
}

TEST_F(PraxisCommandTest, ExistingFolderWithContentIsRefusedAndKept)
{
    const QString folder = Path("praxis");
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/alt")));
    const Outcome outcome = Run({QStringLiteral("create"), folder});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_EQ(outcome.err, "kelvor-praxis: " + folder.toStdString() + " exists and is not an empty folder\n" + kUsage);
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("praxis")});
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{QStringLiteral("alt")});
}

TEST_F(PraxisCommandTest, PasswordCommandStoresTheLineWithoutItsNewline)
{
    const TestPractice practice;
    const QString folder = QString::fromStdString(practice.Folder());
    const Outcome outcome = Run({QStringLiteral("password"), folder}, QByteArrayLiteral("Zahn arzt!\n"));
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out, "Password set for practice " + practice.Folder() + "\n");
    const std::string hash = GetVqPasswordHash();
    EXPECT_TRUE(Accepts(hash, "Zahn arzt!"));
    EXPECT_FALSE(Accepts(hash, "Zahn arzt!\n"));
    EXPECT_FALSE(Accepts(hash, "kelvor"));
}

TEST_F(PraxisCommandTest, PasswordCommandFailsWithOneWithoutSettingsOrInput)
{
    const Outcome missing = Run({QStringLiteral("password"), m_dir.path()}, QByteArrayLiteral("x\n"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "kelvor-praxis: No practice settings in " + m_dir.path().toStdString()
                               + " (vqparams.ini is missing)\n");
    const TestPractice practice;
    const Outcome empty = Run({QStringLiteral("password"), QString::fromStdString(practice.Folder())});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.err, "kelvor-praxis: No password on standard input\n");
    EXPECT_TRUE(Accepts(GetVqPasswordHash(), "kelvor"));
}

TEST_F(PraxisCommandTest, GeneratorAcceptsAnEmptyFolderAndADatabaseInASubFolder)
{
    const QString folder = Path("praxis");
    ASSERT_TRUE(QDir().mkpath(folder));
    PracticeOptions options;
    options.patients = 3;
    options.connect = "sqlite:db/kelvor.db";
    CreatePractice(folder.toStdString(), options);
    EXPECT_TRUE(fs::is_regular_file(folder.toStdString() + "/db/kelvor.db"));
    EXPECT_FALSE(fs::exists(folder.toStdString() + "/praxis.db"));
    EXPECT_EQ(QSettings(folder + QStringLiteral("/vqparams.ini"), QSettings::IniFormat).value(QStringLiteral("Datenbank/Verbindung")),
              QStringLiteral("sqlite:db/kelvor.db"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("praxis")});
}

TEST_F(PraxisCommandTest, GeneratorFailuresThrowAndLeaveNothingBehind)
{
    const std::string folder = Path("praxis").toStdString();
    const std::pair<std::string, std::string> connects[]{
        {"mysql:praxis", "The connect text must begin with \"sqlite:\" or \"odbc:\""},
        {"sqlite:../praxis.db", "The database file must lie inside the practice folder"},
        {"sqlite:/tmp/praxis.db", "The database file must lie inside the practice folder"},
    };
    for (const auto& [connect, message] : connects) {
        PracticeOptions options;
        options.connect = connect;
        try {
            CreatePractice(folder, options);
            ADD_FAILURE() << connect << " was accepted";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), message);
        }
        EXPECT_EQ(Entries(), QStringList()) << connect;
    }
    PracticeOptions negative;
    negative.patients = -1;
    EXPECT_THROW(CreateEmptyPractice(folder, negative), std::runtime_error);
    EXPECT_THROW(CreatePractice(Path("missing/praxis").toStdString(), PracticeOptions{}), std::runtime_error);
    EXPECT_EQ(Entries(), QStringList());
}

TEST_F(PraxisCommandTest, SetPracticePasswordReplacesTheHash)
{
    const TestPractice practice;
    const std::string before = GetVqPasswordHash();
    EXPECT_TRUE(Accepts(before, "kelvor"));
    SetPracticePassword(practice.Folder(), "Müller-Lüdenscheidt");
    EXPECT_TRUE(Accepts(GetVqPasswordHash(), "Müller-Lüdenscheidt"));
    EXPECT_FALSE(Accepts(GetVqPasswordHash(), "kelvor"));
    EXPECT_EQ(GetVqConnect(), "sqlite:praxis.db");
}
