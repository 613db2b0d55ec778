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
// files left for their owner only; what it refuses changes nothing.
TEST(GeneratedPracticeTest, CommandCreatesAPracticeAndSetsThePasswordReadWithoutItsNewline)
{
    const QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("praxis"));
    const std::filesystem::path practice = folder.toStdString();
    // The arguments as one text, %1 standing for the practice folder (which may hold a blank).
    const auto run = [&folder](const QString& arguments, const QByteArray& input) {
        QProcess process;
        process.start(qEnvironmentVariable("KELVOR_BIN_DIR") + QStringLiteral("/kelvor-praxis"),
                      arguments.split(u' ').replaceInStrings(QStringLiteral("%1"), folder));
        process.write(input);
        process.closeWriteChannel();
        process.waitForFinished(120000);
        return std::to_string(process.exitCode()) + " " + process.readAllStandardOutput().toStdString() +
               process.readAllStandardError().toStdString();
    };
    const std::string tooShort =
        "2 kelvor-praxis: Das Passwort muss mindestens 8 Zeichen lang sein; das bisherige Passwort bleibt.\n";
    const struct { QString arguments; QByteArray input; std::string output; } runs[] = {
        {QStringLiteral("create %1 --seed 3 --patients=7 --patients=-5"), {},
         "2 kelvor-praxis: --patients needs a whole number of 0 or more, not \"-5\"\n"
         "usage: kelvor-praxis create FOLDER [--seed N] [--patients N] [--password TEXT] [--connect TEXT]\n"
         "       kelvor-praxis password FOLDER   (reads the new password from standard input)\n"
         "       kelvor-praxis backup PRACTICE TARGET\n"
         "       kelvor-praxis restore TARGET PRACTICE\n"},
        {QStringLiteral("create %1 --password="), {},
         "2 kelvor-praxis: Das Passwort darf nicht leer sein; es wurde keine Praxis angelegt.\n"},
        {QStringLiteral("create %1 --patients=7"), {}, "0 Created practice " + practice.string() + " (seed 1, 7 patients)\n"},
        {QStringLiteral("password %1"), QByteArrayLiteral("Zahn arzt!\n"), "0 Password set for practice " + practice.string() + "\n"},
        {QStringLiteral("password %1"), QByteArrayLiteral("Zahnärz\n"), tooShort},   // 7 characters in 8 bytes
        {QStringLiteral("password %1"), QByteArrayLiteral("\n"), tooShort},
    };
    for (const auto& [arguments, input, output] : runs)
        EXPECT_EQ(run(arguments, input), output);
    for (const char* file : {"praxis.db", "vqparams.ini"})
        EXPECT_EQ(std::filesystem::status(practice / file).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write) << file;
    const std::string hash = CIniFile::Load((practice / "vqparams.ini").string()).Value("Kennwort", "Hash");
    ASSERT_GE(sodium_init(), 0);
    for (const auto& [word, accepted] : {std::pair<std::string, int>{"Zahn arzt!", 0}, {"Zahn arzt!\n", -1}, {"kelvor", -1}, {"Zahnärz", -1}})
        EXPECT_EQ(crypto_pwhash_str_verify(hash.c_str(), word.data(), word.size()), accepted) << word;
}

}  // namespace
