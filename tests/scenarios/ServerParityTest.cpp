// A whole owner run and a whole treater run on the same generated practice leave the
// same database behind on the server as on SQLite, with keys that differ from the
// removed one only in case or in a trailing blank left alone. On the server another
// client holds every patient row for two seconds when the run comes to remove its
// first patient: the run waits for the lock with a live window and ends as on SQLite.
#include "ScenarioFixture.h"
#include "Schema.h"
#include "SeamScope.h"
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <span>
#include <functional>

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
     [](const TestPractice&) { return OwnerRun(); }},
    {"treater", "00a", {"00A", "00a "},
     {{"LEB", "LEBID"}, {"CMD", "LEBID"}, {"MACENTRY", "STDLEBID"}, {"BEH", "LEBID"}, {"WORKSTATION", "PHLEBID"}},
     TreaterRun},
};

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

class ServerParityTest : public ScenarioFixture, public ::testing::WithParamInterface<RunCase> {};

TEST_P(ServerParityTest, ARunLeavesTheSameDatabaseOnBothAndItsLookAlikesAloneAndWaitsForALock)
{
    using Clock = std::chrono::steady_clock;
    const RunCase& run = GetParam();
    const TestPractice sqlite(1, 60, TestPractice::Backend::Sqlite);
    AddLookAlikes(sqlite, run);
    QJsonObject sqliteReport = Run(sqlite, run.scenario(sqlite));
    const TestPractice& server = m_storage.emplace(1, 60);
    AddLookAlikes(server, run);

    const CSeamScope<seam::LockWait> lockWait(std::chrono::seconds(30));
    Clock::time_point held{}, released = Clock::time_point::max(), nextStatement{}, lastTurn{};
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
    release.setInterval(std::chrono::seconds(2));
    QObject::connect(&release, &QTimer::timeout, [&] {
        turn();
        probe.stop();
        server.Exec("COMMIT");
        released = Clock::now();
    });
    {
        const CSeamScope<seam::DatabaseStatement> statements([&](std::string_view statement) {
            if (held != Clock::time_point{}) {
                if (nextStatement == Clock::time_point{})
                    nextStatement = Clock::now();
            } else if (statement.starts_with("DELETE FROM PAT ")) {
                server.Exec("BEGIN");
                server.Exec("SELECT PATNR FROM PAT FOR UPDATE");
                held = lastTurn = Clock::now();
                probe.start();
                release.start();
            }
        });
        Run(run.scenario(server));
    }
    if (released == Clock::time_point::max())
        server.Exec("COMMIT");
    EXPECT_LT(largestGap, std::chrono::milliseconds(500));
    // The statement after the locked one came only when the lock was gone.
    EXPECT_GE(nextStatement, released);

    // The trace names the database's own error texts.
    EXPECT_EQ(Memo().back(), "FERTIG!");
    sqliteReport.remove(QStringLiteral("trace"));
    m_report.remove(QStringLiteral("trace"));
    EXPECT_EQ(m_report, sqliteReport);
    EXPECT_EQ(server.DumpAll(), sqlite.DumpAll());
    for (const auto& [table, column] : run.columns) {
        EXPECT_EQ(server.Count(table, column + "='" + run.removed + "'"), 0) << table;
        for (const std::string& value : run.lookAlikes)
            EXPECT_EQ(server.Count(table, column + "='" + value + "'"), 1) << table << " '" << value << "'";
    }
}

// Only with a test server: without one there is nothing to compare.
INSTANTIATE_TEST_SUITE_P(Runs, ServerParityTest,
                         ::testing::ValuesIn(TestPractice::ServerConnect().empty() ? std::span<const RunCase>()
                                                                                  : std::span<const RunCase>(kRuns)),
                         [](const auto& info) { return std::string(info.param.name); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ServerParityTest);

}  // namespace
