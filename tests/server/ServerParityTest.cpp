// A whole owner run and a whole treater run on the same generated practice leave the
// same database behind on the server as on SQLite, with keys that differ from the
// removed one only in case or in a trailing blank left alone. A run that meets a lock
// another client holds waits for it with a live window.
#include "PracticeGenerator.h"
#include "Schema.h"
#include "ScenarioRunner.h"
#include "SeamScope.h"
#include "TestPractice.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

namespace {

using Column = std::pair<std::string, std::string>;

// One run: the key it removes, keys an inexact comparison takes for it, the columns
// that hold both, and the scenario on a practice holding them.
struct RunCase {
    const char* name;
    std::string removed;
    std::vector<std::string> lookAlikes;
    std::vector<Column> columns;
    std::function<std::string(const TestPractice&)> scenario;
};

// Owner 04 handed to 01 with every data group, services by billing case.
std::string OwnerRun(const TestPractice&)
{
    return R"js({"answers": [7, 10, 7], "actions": [
        {"select": 1001, "text": "04"}, {"select": 1002, "text": "01"},
        {"check": 1009, "value": true}, {"check": 1011, "value": true}, {"check": 1012, "value": true},
        {"check": 1013, "value": true}, {"check": 1014, "value": true}, {"check": 1015, "value": true},
        {"check": 1017, "value": true}, {"click": 1003}]})js";
}

// Treaters 007 and 00a handed to 001, their services by line treater and the patients
// left without services with them. The list is in key order.
std::string TreaterRun(const TestPractice& practice)
{
    return R"js({"answers": [10, 10, 7], "actions": [{"checkItem": 1018, "index": 6, "value": true},
        {"checkItem": 1018, "index": )js" + std::to_string(practice.Count("LEB", "LEBID<'00a'")) + R"js(, "value": true},
        {"select": 1002, "text": "001 - 0001 (Dr. Lena Hofmann)"}, {"check": 1010, "value": true},
        {"check": 1017, "value": true}, {"click": 1003}]})js";
}

const RunCase kRuns[] = {
    {"owner", "04", {"04 "},
     {{"MANDANT", "MDID"}, {"FDIENST", "MDID"}, {"FBUCHUNG", "MDID"}, {"FAKT", "MDID"}, {"LEB", "MDIDK"},
      {"WORKSTATION", "QAMDID"}},
     OwnerRun},
    {"treater", "00a", {"00A", "00a "},
     {{"LEB", "LEBID"}, {"CMD", "LEBID"}, {"MACENTRY", "STDLEBID"}, {"BEH", "LEBID"}, {"WORKSTATION", "PHLEBID"}},
     TreaterRun},
};

// The report of a run without its trace, which names the database's own error texts.
QJsonObject ReportWithoutTrace(const TestPractice& practice, const std::string& scenario)
{
    QJsonObject report = QJsonDocument::fromJson(QByteArray::fromStdString(RunScenario(practice.Folder(), scenario))).object();
    report.remove(QStringLiteral("trace"));
    return report;
}

// One row per column for each look-alike and for the removed key where it has none
// yet, every other key column a running number of its own.
void AddLookAlikes(const TestPractice& practice, const RunCase& run)
{
    int key = 900000;
    for (const auto& [table, column] : run.columns) {
        std::vector<std::string> values = run.lookAlikes;
        if (practice.Count(table, column + "='" + run.removed + "'") == 0)
            values.push_back(run.removed);
        for (const std::string& value : values) {
            std::map<std::string, std::string> row{{column, value}};
            for (const std::string& keyColumn : SchemaTable(table).primaryKey)
                row.emplace(keyColumn, std::to_string(++key));
            practice.Insert(table, row);
        }
    }
}

class ServerParityTest : public ::testing::TestWithParam<RunCase> {
protected:
    void SetUp() override
    {
        if (TestPractice::ServerConnect().empty())
            GTEST_SKIP() << "no test server (KELVOR_TEST_SERVER)";
    }

    static QJsonObject Run(const TestPractice& practice)
    {
        AddLookAlikes(practice, GetParam());
        return ReportWithoutTrace(practice, GetParam().scenario(practice));
    }
};

TEST_P(ServerParityTest, ARunLeavesTheSameDatabaseOnBothAndItsLookAlikesAlone)
{
    const RunCase& run = GetParam();
    const TestPractice sqlite(1, 60, TestPractice::Backend::Sqlite);
    const QJsonObject sqliteReport = Run(sqlite);
    const TestPractice server(1, 60, TestPractice::Backend::Server);
    const QJsonObject serverReport = Run(server);

    const QJsonArray memo = serverReport.value(QStringLiteral("memo")).toArray();
    ASSERT_FALSE(memo.isEmpty());
    EXPECT_EQ(memo.last().toString(), QStringLiteral("FERTIG!"));
    EXPECT_EQ(serverReport, sqliteReport);
    EXPECT_EQ(server.DumpAll(), sqlite.DumpAll());
    for (const auto& [table, column] : run.columns) {
        EXPECT_EQ(server.Count(table, column + "='" + run.removed + "'"), 0) << table;
        for (const std::string& value : run.lookAlikes)
            EXPECT_EQ(server.Count(table, column + "='" + value + "'"), 1) << table << " '" << value << "'";
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, ServerParityTest, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

// A generator run that fails after its first table leaves neither that table nor a
// practice folder, also where the server commits each CREATE on its own.
TEST(ServerGeneratorTest, AFailedGeneratorRunLeavesTheServerDatabaseAsItWas)
{
    if (TestPractice::ServerConnect().empty())
        GTEST_SKIP() << "no test server (KELVOR_TEST_SERVER)";
    const TestPractice server;
    server.Exec("DROP TABLE MANDANT");
    const std::string folder = server.Folder() + "-neu";
    PracticeOptions options;
    options.connect = "odbc:" + TestPractice::ServerConnect() + ";DATABASE=" + server.ServerDatabase();
    EXPECT_THROW(CreatePractice(folder, options), std::runtime_error);
    EXPECT_THROW(server.Count("MANDANT"), std::runtime_error);
    EXPECT_EQ(server.Count("LEB"), 0);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace

// The memo's lines and the texts of the messages, in order.
std::vector<std::string> MemoAndMessages(const QJsonObject& report)
{
    std::vector<std::string> texts;
    for (const QJsonValue line : report.value(QStringLiteral("memo")).toArray())
        texts.push_back(line.toString().toStdString());
    for (const QJsonValue message : report.value(QStringLiteral("messages")).toArray())
        texts.push_back(message.toObject().value(QStringLiteral("text")).toString().toStdString());
    return TestPractice::WithoutVersions(texts);
}

// Another client holds every patient row when the owner run comes to remove its first
// patient, and lets go after two seconds. The window is served while the run waits. A
// lock wait longer than the hold ends the run as it ends without the lock; a shorter one
// ends it with the server's word for the lock. Held bills fail the removal of the first
// patient who has some after that patient's services went: the patient stays whole.
TEST(ServerLockTest, ARunWaitsForALockWithALiveWindowAndFailsWhenTheWaitIsExceeded)
{
    using Clock = std::chrono::steady_clock;
    if (TestPractice::ServerConnect().empty())
        GTEST_SKIP() << "no test server (KELVOR_TEST_SERVER)";
    constexpr auto kHeld = std::chrono::seconds(2);
    const TestPractice unlockedPractice(1, 60);
    const QJsonObject unlocked = ReportWithoutTrace(unlockedPractice, OwnerRun(unlockedPractice));
    const std::string lockTimeout = TestPractice::ServerDialect() == SqlDialect::MariaDb
        ? "Lock wait timeout exceeded; try restarting transaction"
        : "ERROR: canceling statement due to lock timeout;\nError while executing the query";
    struct LockCase {
        std::chrono::milliseconds wait;
        const char* at;   // the statement the lock is taken before
        const char* lock;
        std::string failure;   // empty: the run ends as without the lock
    };
    constexpr const char* kPatientStart = "DELETE FROM BEH WHERE PATNR=?";
    const LockCase cases[] = {
        {std::chrono::milliseconds(30000), "DELETE FROM PAT ", "SELECT PATNR FROM PAT FOR UPDATE", ""},
        {std::chrono::milliseconds(500), "DELETE FROM PAT ", "SELECT PATNR FROM PAT FOR UPDATE",
         "Datenbankfehler in Tabelle PAT:\n" + lockTimeout + "\n\nDer Löschvorgang wurde abgebrochen."},
        {std::chrono::milliseconds(500), kPatientStart, "SELECT PATNR FROM BILL FOR UPDATE",
         "Fehler beim Löschen des Patienten 000015!\nBreche ab."},
    };
    for (const auto& [wait, at, lock, failure] : cases) {
        const TestPractice practice(1, 60);
        const bool bills = at == kPatientStart;
        std::map<std::string, std::string> beforePatient;
        const CSeamScope<seam::LockWait> lockWait(wait);
        Clock::time_point held{};
        Clock::time_point released = Clock::time_point::max();
        Clock::time_point nextStatement{};
        Clock::time_point lastTurn{};
        Clock::duration largestGap{};
        const auto turn = [&] {
            largestGap = std::max(largestGap, Clock::now() - lastTurn);
            lastTurn = Clock::now();
        };
        QTimer probe;
        probe.setInterval(0);
        QObject::connect(&probe, &QTimer::timeout, turn);
        QTimer release;
        release.setSingleShot(true);
        release.setTimerType(Qt::PreciseTimer);
        release.setInterval(kHeld);
        QObject::connect(&release, &QTimer::timeout, [&] {
            turn();
            probe.stop();
            practice.Exec("COMMIT");
            released = Clock::now();
        });
        std::optional<CSeamScope<seam::DatabaseStatement>> statements;
        statements.emplace([&](std::string_view statement) {
            if (bills && statement == kPatientStart)
                beforePatient = practice.DumpAll();
            if (held != Clock::time_point{}) {
                if (nextStatement == Clock::time_point{})
                    nextStatement = Clock::now();
            } else if (statement.starts_with(at)) {
                practice.Exec("BEGIN");
                practice.Exec(lock);
                held = lastTurn = Clock::now();
                probe.start();
                release.start();
            }
        });
        const QJsonObject locked = ReportWithoutTrace(practice, OwnerRun(practice));
        statements.reset();
        if (probe.isActive())
            turn();
        if (released == Clock::time_point::max())
            practice.Exec("COMMIT");
        EXPECT_LT(largestGap, std::chrono::milliseconds(500)) << wait.count();
        if (bills) {
            EXPECT_EQ(practice.DumpAll(), beforePatient);
        } else {
            // The statement after the locked one came only when the lock was gone or the wait over.
            EXPECT_GE(nextStatement, std::min(released, held + wait)) << wait.count();
        }
        if (failure.empty()) {
            EXPECT_EQ(locked, unlocked);
            EXPECT_EQ(practice.DumpAll(), unlockedPractice.DumpAll());
        } else {
            EXPECT_EQ(MemoAndMessages(locked),
                      (std::vector<std::string>{"Lösche Praxisinhaber 04", "Lösche Patienten gemäß Stammbehandler...",
                                                "FEHLER!!!", "Behandlermodus?",
                                                "Soll der Löschvorgang jetzt gestartet werden?", failure, "Nochmal?"}));
        }
    }
}
