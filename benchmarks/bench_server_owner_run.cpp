// A whole owner-mode run, from start-up to "Nochmal?", on a generated practice of
// 100,000 patients: once on SQLite, once on the PostgreSQL server named by
// KELVOR_TEST_SERVER (an ODBC connection string without DATABASE). Prints the
// time to generate each practice, the run's wall time and its statements per second.
#include "Schema.h"
#include "ScenarioRunner.h"
#include "TestPractice.h"
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

constexpr unsigned kSeed = 7;
constexpr long kPatients = 100000;

// Owner 04 handed to 01 with every data group, services by billing case.
const char* const kOwnerRun = R"js({"answers": [7, 10, 7], "actions": [
    {"select": 1001, "text": "04"}, {"select": 1002, "text": "01"},
    {"check": 1009, "value": true}, {"check": 1011, "value": true}, {"check": 1012, "value": true},
    {"check": 1013, "value": true}, {"check": 1014, "value": true}, {"check": 1015, "value": true},
    {"check": 1017, "value": true}, {"click": 1003}]})js";

double Since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::map<std::string, long> RowCounts(const TestPractice& practice)
{
    std::map<std::string, long> counts;
    for (const TableDef& table : PracticeSchema())
        counts[table.name] = practice.Count(table.name);
    return counts;
}

// Generates the practice, runs the owner removal on it, prints one line of figures.
std::map<std::string, long> Measure(const char* name, TestPractice::Backend backend)
{
    auto start = std::chrono::steady_clock::now();
    const TestPractice practice(kSeed, kPatients, backend);
    const double generated = Since(start);
    start = std::chrono::steady_clock::now();
    const std::string report = RunScenario(practice.Folder(), kOwnerRun);
    const double run = Since(start);
    const QJsonObject result = QJsonDocument::fromJson(QByteArray::fromStdString(report)).object();
    const auto statements = result.value(QStringLiteral("statements")).toArray().size();
    const QJsonArray memo = result.value(QStringLiteral("memo")).toArray();
    std::printf("%-8s generated in %7.1f s | run %7.1f s, %6lld statements, %8.1f statements/s, %lld trace lines, last line %s\n",
                name, generated, run, static_cast<long long>(statements), static_cast<double>(statements) / run,
                static_cast<long long>(result.value(QStringLiteral("trace")).toArray().size()),
                memo.isEmpty() ? "-" : memo.last().toString().toStdString().c_str());
    std::fflush(stdout);
    return RowCounts(practice);
}

}  // namespace

int main(int argc, char** argv)
{
    if (TestPractice::ServerConnect().empty()) {
        std::fprintf(stderr, "bench_server_owner_run: set KELVOR_TEST_SERVER to the server's ODBC connection string\n");
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const QApplication app(argc, argv);
    std::printf("Owner-mode run on %ld patients (seed %u)\n", kPatients, kSeed);
    const auto sqlite = Measure("SQLite", TestPractice::Backend::Sqlite);
    const auto server = Measure("server", TestPractice::Backend::Server);
    std::printf("Rows left in every table equal on both: %s\n", sqlite == server ? "yes" : "no");
    return sqlite == server ? 0 : 1;
}
