// The server holds the same practice as SQLite: the generator writes the same rows
// for the same seed, and a whole owner run leaves the same database behind.
#include "PracticeGenerator.h"
#include "ScenarioRunner.h"
#include "TestPractice.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <filesystem>

namespace {

// Owner 04 handed to 01 with every data group, services by billing case.
const char* const kOwnerRun = R"js({"answers": [7, 10, 7], "actions": [
    {"select": 1001, "text": "04"}, {"select": 1002, "text": "01"},
    {"check": 1009, "value": true}, {"check": 1011, "value": true}, {"check": 1012, "value": true},
    {"check": 1013, "value": true}, {"check": 1014, "value": true}, {"check": 1015, "value": true},
    {"check": 1017, "value": true}, {"click": 1003}]})js";

class ServerParityTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (TestPractice::ServerConnect().empty())
            GTEST_SKIP() << "no test server (KELVOR_TEST_SERVER)";
    }

    // The report without its trace, which names the database's own error texts.
    static QJsonObject RunOwner(const TestPractice& practice)
    {
        QJsonObject report = QJsonDocument::fromJson(QByteArray::fromStdString(RunScenario(practice.Folder(), kOwnerRun))).object();
        report.remove(QStringLiteral("trace"));
        return report;
    }
};

TEST_F(ServerParityTest, TheGeneratorWritesTheSameRowsOnBothDatabases)
{
    const TestPractice sqlite(5, 30, TestPractice::Backend::Sqlite);
    const TestPractice server(5, 30, TestPractice::Backend::Server);
    ASSERT_TRUE(server.OnServer());
    EXPECT_EQ(server.DumpAll(), sqlite.DumpAll());
}

// The whole practice is one transaction on the server: a generator run that fails
// after its first table leaves neither that table nor a practice folder.
TEST_F(ServerParityTest, AFailedGeneratorRunLeavesTheServerDatabaseAsItWas)
{
    const TestPractice server;
    server.Exec("DROP TABLE MANDANT");
    const std::string folder = server.Folder() + "-neu";
    PracticeOptions options;
    options.connect = "odbc:" + TestPractice::ServerConnect() + ";DATABASE=" + server.ServerDatabase();
    EXPECT_THROW(CreatePractice(folder, options), std::runtime_error);
    EXPECT_EQ(server.Scalar("SELECT COUNT(*) FROM information_schema.tables WHERE table_name IN ('mandant', 'leb')"), "1");
    EXPECT_EQ(server.Count("LEB"), 0);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(ServerParityTest, AnOwnerRunLeavesTheSameDatabaseOnBoth)
{
    const TestPractice sqlite(1, 60, TestPractice::Backend::Sqlite);
    const QJsonObject sqliteReport = RunOwner(sqlite);
    const TestPractice server(1, 60, TestPractice::Backend::Server);
    const QJsonObject serverReport = RunOwner(server);

    const QJsonArray memo = serverReport.value(QStringLiteral("memo")).toArray();
    ASSERT_FALSE(memo.isEmpty());
    EXPECT_EQ(memo.last().toString(), QStringLiteral("FERTIG!"));
    EXPECT_EQ(serverReport, sqliteReport);
    EXPECT_EQ(server.DumpAll(), sqlite.DumpAll());
    EXPECT_NE(server.Count("MANDANT", "MDID='01'"), 0);
    EXPECT_EQ(server.Count("MANDANT", "MDID='04'"), 0);
}

}  // namespace
