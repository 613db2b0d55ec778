#include "IniFile.h"
#include "PracticeGenerator.h"
#include "Schema.h"
#include "TestPractice.h"
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sodium.h>
#include <filesystem>

namespace {

// Every scenario and benchmark runs on a generated practice: the same seed must give
// the same rows, and every table must have some, else a scenario checks nothing there.
TEST(GeneratedPracticeTest, SameSeedGivesTheSameRowsInEveryTable)
{
    const QTemporaryDir dir;
    const std::string copy = dir.filePath(QStringLiteral("b")).toStdString();
    CreatePractice(copy, PracticeOptions{.seed = 1, .patients = 200, .connect = {}});
    const TestPractice practice(1, 200);
    practice.Exec("ATTACH DATABASE '" + copy + "/praxis.db' AS b");
    for (const TableDef& table : PracticeSchema()) {
        EXPECT_GT(practice.Count(table.name), 0) << table.name;
        EXPECT_EQ(practice.Scalar("SELECT COUNT(*) FROM (SELECT * FROM " + table.name + " EXCEPT SELECT * FROM b." +
                                  table.name + ")"), "0") << table.name;
    }
}

// The command makes the demo practice and sets its password from standard input, in
// a settings file left for its owner only.
TEST(GeneratedPracticeTest, CommandCreatesAPracticeAndSetsThePasswordReadWithoutItsNewline)
{
    const QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("praxis"));
    const std::string settings = folder.toStdString() + "/vqparams.ini";
    const auto run = [](const QStringList& arguments, const QByteArray& input) {
        QProcess process;
        process.start(qEnvironmentVariable("KELVOR_BIN_DIR") + QStringLiteral("/kelvor-praxis"), arguments);
        process.write(input);
        process.closeWriteChannel();
        process.waitForFinished(120000);
        return std::to_string(process.exitCode()) + " " + process.readAllStandardOutput().toStdString() +
               process.readAllStandardError().toStdString();
    };
    EXPECT_EQ(run({QStringLiteral("create"), folder, QStringLiteral("--seed"), QStringLiteral("3"),
                   QStringLiteral("--patients=7"), QStringLiteral("--patients=-5")}, {}),
              "2 kelvor-praxis: --patients needs a whole number of 0 or more, not \"-5\"\n"
              "usage: kelvor-praxis create FOLDER [--seed N] [--patients N] [--password TEXT] [--connect TEXT]\n"
              "       kelvor-praxis password FOLDER   (reads the new password from standard input)\n"
              "       kelvor-praxis backup PRACTICE TARGET\n"
              "       kelvor-praxis restore TARGET PRACTICE\n");
    EXPECT_EQ(run({QStringLiteral("create"), folder, QStringLiteral("--patients=7")}, {}),
              "0 Created practice " + folder.toStdString() + " (seed 1, 7 patients)\n");
    EXPECT_EQ(run({QStringLiteral("password"), folder}, QByteArrayLiteral("Zahn arzt!\n")),
              "0 Password set for practice " + folder.toStdString() + "\n");
    const std::string hash = CIniFile::Load(settings).Value("Kennwort", "Hash");
    EXPECT_EQ(std::filesystem::status(settings).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    ASSERT_GE(sodium_init(), 0);
    for (const auto& [password, accepted] : {std::pair<std::string, int>{"Zahn arzt!", 0}, {"Zahn arzt!\n", -1}, {"kelvor", -1}})
        EXPECT_EQ(crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()), accepted) << password;
}

}  // namespace
