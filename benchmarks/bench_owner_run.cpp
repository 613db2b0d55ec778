// The whole owner-mode run (owner 04 handed to 01, every data group, services by
// billing case, seed 7) from start-up to "Nochmal?", on a generated practice on
// disk, beside the floor: the same work done straight on the SQLite C API.
//
//     bench_owner_run PATIENTS [sqlite] [server]
//
// "server" runs the same practice on the server named by KELVOR_TEST_SERVER (an
// ODBC connection string without DATABASE), PostgreSQL or MariaDB. Every run and
// the generator run in a process of their own, so each peak RSS is its own.
// Prints one table row per back end: generator time and RSS, the trial before the
// confirmation (start-up and lists included: everything up to the run's first
// statement) and its share of the run's time (on SQLite the median of three runs,
// their range beside it), the run's time and time per patient,
// the floor, run/floor, on a server the run's round trips, one round trip and the
// server's own time for the run's statements, the longest time between two turns of
// the event loop (trial and run), flushes to disk, peak RSS, and whether the
// statements and the end state equal the floor's (on a server: the rows left equal
// those of Kelvor's run on SQLite).
#include "BenchmarkSupport.h"
#include "EventLoopProbe.h"
#include "FlushCounter.h"
#include "OwnerRunFloor.h"
#include "PracticeGenerator.h"
#include "RoundTripCounter.h"
#include "ScenarioRunner.h"
#include "Schema.h"
#include "ServerStatistics.h"
#include "SqliteFile.h"
#include "TestPractice.h"
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr unsigned kSeed = 7;
constexpr int kSqliteRuns = 3;

const char* const kOwnerRun = R"js({"answers": [7, 10, 7], "actions": [
    {"select": 1001, "text": "04"}, {"select": 1002, "text": "01"},
    {"check": 1009, "value": true}, {"check": 1011, "value": true}, {"check": 1012, "value": true},
    {"check": 1013, "value": true}, {"check": 1014, "value": true}, {"check": 1015, "value": true},
    {"check": 1017, "value": true}, {"click": 1003}]})js";

// What a child process measured, sent back through a pipe.
struct Figures {
    double seconds = 0;
    double trialSeconds = 0;      // from the start to the run's first statement
    double gapMs = 0;
    long flushes = 0;
    long roundTrips = 0;          // a server's: those of the run
    double roundTripSeconds = 0;  // one, measured just before the run
    double serverSeconds = -1;    // the server's own time for the run's statements; -1: unknown
    long rssKiB = 0;
    StatementTrail trail;
    std::uint64_t endState = 0;   // rows left (server) or whole rows (SQLite), hashed
    bool finished = false;        // the run ended with "FERTIG!"
};

double TrialShare(const Figures& run)
{
    return run.trialSeconds / run.seconds;
}

// Runs measure in a child process and returns its figures.
template <class Measure>
Figures InChild(Measure measure)
{
    int channel[2];
    if (::pipe(channel) != 0)
        throw std::runtime_error("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        Figures figures;
        try {
            figures = measure();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
        }
        figures.rssKiB = PeakRssKiB();
        const bool sent = ::write(channel[1], &figures, sizeof figures) == static_cast<ssize_t>(sizeof figures);
        std::_Exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    Figures figures;
    const bool received = ::read(channel[0], &figures, sizeof figures) == static_cast<ssize_t>(sizeof figures);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!received)
        throw std::runtime_error("a measuring process ended without figures");
    return figures;
}

std::uint64_t Mix(std::uint64_t hash, const std::string& text)
{
    StatementTrail trail;
    trail.hash = hash;
    trail.Add(text);
    return trail.hash;
}

// Every row of every table in primary-key order.
std::uint64_t SqliteEndState(const std::string& folder)
{
    SqliteFile db(folder + "/praxis.db");
    std::uint64_t hash = 0;
    for (const TableDef& table : PracticeSchema())
        db.Run("SELECT * FROM " + table.name + " ORDER BY " + [&] {
            std::string order;
            for (const std::string& column : table.primaryKey)
                order += (order.empty() ? "" : ", ") + column;
            return order;
        }(),
               {}, [&](const SqliteFile::Row& row) {
                   for (const std::string& value : row)
                       hash = Mix(hash, value);
               });
    return hash;
}

// The rows left in each table, counted through a connection of the given Qt driver.
std::uint64_t RowCounts(const QString& driver, const QString& database)
{
    std::uint64_t hash = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, QStringLiteral("bench-counts"));
        db.setDatabaseName(database);
        if (!db.open())
            throw std::runtime_error("the practice database does not open for counting");
        for (const TableDef& table : PracticeSchema()) {
            QSqlQuery query(QString::fromStdString("SELECT COUNT(*) FROM " + table.name), db);
            hash = Mix(hash, table.name + "=" + (query.next() ? query.value(0).toString().toStdString() : "?"));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-counts"));
    return hash;
}

Figures Generate(const std::string& folder, long patients, const std::string& connect)
{
    int argc = 0;
    const QCoreApplication app(argc, nullptr);
    PracticeOptions options;
    options.seed = kSeed;
    options.patients = patients;
    options.connect = connect;
    const auto start = std::chrono::steady_clock::now();
    CreatePractice(folder, options);
    Figures figures;
    figures.seconds = SecondsSince(start);
    return figures;
}

Figures RunKelvor(const std::string& folder, const std::string& serverDatabase)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "bench_owner_run";
    char* argv[] = {name, nullptr};
    const QApplication app(argc, argv);
    Figures figures;
    std::optional<ServerStatistics> server;
    if (!serverDatabase.empty())
        figures.roundTripSeconds = server.emplace(serverDatabase).RoundTripSeconds();
    const long flushesBefore = FlushCount();
    long roundTripsBefore = 0;
    const EventLoopProbe probe;
    const auto start = std::chrono::steady_clock::now();
    auto runStart = start;
    const std::string report = RunScenario(folder, kOwnerRun, [&](const std::string& statement) {
        if (figures.trail.count == 0) {
            if (server)
                server->Reset();
            roundTripsBefore = RoundTripCount();
            runStart = std::chrono::steady_clock::now();
        }
        figures.trail.Add(statement);
    });
    figures.seconds = SecondsSince(runStart);
    figures.roundTrips = RoundTripCount() - roundTripsBefore;
    figures.trialSeconds = std::chrono::duration<double>(runStart - start).count();
    figures.gapMs = probe.LargestGapMs();
    figures.flushes = FlushCount() - flushesBefore;
    const QJsonObject result = QJsonDocument::fromJson(QByteArray::fromStdString(report)).object();
    const QJsonArray memo = result.value(QStringLiteral("memo")).toArray();
    figures.finished = !memo.isEmpty() && memo.last().toString() == QStringLiteral("FERTIG!");
    if (server)
        figures.serverSeconds = server->StatementSeconds();
    figures.endState = serverDatabase.empty()
        ? SqliteEndState(folder)
        : RowCounts(QStringLiteral("QODBC"),
                    QString::fromStdString(TestPractice::ServerConnect() + ";DATABASE=" + serverDatabase));
    return figures;
}

Figures RunFloor(const std::string& folder)
{
    Figures figures;
    const long flushesBefore = FlushCount();
    const auto start = std::chrono::steady_clock::now();
    figures.trail = RunOwnerFloor(folder, "04", "01");
    figures.seconds = SecondsSince(start);
    figures.flushes = FlushCount() - flushesBefore;
    figures.endState = SqliteEndState(folder);
    figures.finished = true;
    return figures;
}

// A fresh folder on disk for one practice.
std::string NewFolder(const std::string& name)
{
    std::string pattern = (fs::temp_directory_path() / "kelvor-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("no temporary folder");
    return pattern + "/" + name;
}

void RemoveFolder(const std::string& folder)
{
    std::error_code ignored;
    fs::remove_all(fs::path(folder).parent_path(), ignored);
}

std::string Formatted(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// floorSeconds: negative where there is none.
// trialRange: what follows the trial's share, e.g. the range over several runs.
void PrintRow(long patients, const char* backend, const Figures& generated, const Figures& run, double floorSeconds,
              const char* endStateEqual, const std::string& trialRange = {})
{
    const double perPatientUs = run.seconds * 1e6 / static_cast<double>(patients);
    const bool server = run.roundTripSeconds > 0;
    const std::string floorText = floorSeconds < 0 ? "-" : Formatted("%.1f s", floorSeconds);
    const std::string ratioText = floorSeconds <= 0 ? "-" : Formatted("%.2f", run.seconds / floorSeconds);
    const std::string tripsText = server ? std::to_string(run.roundTrips) : "-";
    const std::string tripText = server ? Formatted("%.0f µs", run.roundTripSeconds * 1e6) : "-";
    const std::string serverText = run.serverSeconds < 0 ? "-" : Formatted("%.1f s", run.serverSeconds);
    std::printf("| %9ld | %-10s | %6.1f s %4ld MiB | %6.1f s %4.2f%s | %7.1f s | %6.0f µs | %8s | %5s | %8s | %6s | %7s | "
                "%6.0f ms | %6ld | %4ld MiB | %s |\n",
                patients, backend, generated.seconds, generated.rssKiB / 1024, run.trialSeconds,
                TrialShare(run), trialRange.c_str(), run.seconds, perPatientUs, floorText.c_str(), ratioText.c_str(),
                tripsText.c_str(), tripText.c_str(), serverText.c_str(), run.gapMs, run.flushes, run.rssKiB / 1024,
                endStateEqual);
    std::fflush(stdout);
}

// On SQLite the practice is copied, not generated again, so the run is cheap to repeat:
// its time varies by a tenth from run to run on a shared machine, more than the
// trial's margin to it. The row is the run with the median trial/run, the range of
// all beside it, the largest gap and peak RSS of all; each run must end as the floor does.
void MeasureSqlite(long patients)
{
    const std::string practice = NewFolder("praxis");
    const Figures generated = InChild([&] { return Generate(practice, patients, {}); });
    const auto copied = [&practice] {
        const std::string folder = NewFolder("praxis");
        fs::copy(practice, folder, fs::copy_options::recursive);
        return folder;
    };
    std::vector<Figures> runs;
    for (int i = 0; i < kSqliteRuns; ++i) {
        const std::string runFolder = copied();
        runs.push_back(InChild([&] { return RunKelvor(runFolder, {}); }));
        RemoveFolder(runFolder);
    }
    const std::string floorFolder = copied();
    RemoveFolder(practice);
    const Figures floor = InChild([&] { return RunFloor(floorFolder); });
    RemoveFolder(floorFolder);
    std::ranges::sort(runs, {}, TrialShare);
    const auto sameAsFloor = [&floor](const Figures& run) {
        return run.finished && run.trail.count == floor.trail.count && run.trail.hash == floor.trail.hash &&
               run.endState == floor.endState;
    };
    const bool same = std::ranges::all_of(runs, sameAsFloor);
    Figures shown = runs[runs.size() / 2];
    for (const Figures& run : runs) {   // the worst of all runs
        shown.gapMs = std::max(shown.gapMs, run.gapMs);
        shown.rssKiB = std::max(shown.rssKiB, run.rssKiB);
    }
    const std::string range = Formatted(" (%.2f", TrialShare(runs.front())) + Formatted("–%.2f)", TrialShare(runs.back()));
    PrintRow(patients, "SQLite", generated, shown, floor.seconds, same ? "yes" : "NO", range);
    for (const Figures& run : runs)
        if (!sameAsFloor(run))
            std::fprintf(stderr, "run: %ld statements, finished %d; floor: %ld statements\n", run.trail.count,
                         run.finished, floor.trail.count);
}

void MeasureServer(long patients)
{
    static int counter = 0;
    const std::string database = "kelvor_bench_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    TestPractice::ExecOnServer("CREATE DATABASE " + database);
    const std::string practice = NewFolder("praxis");
    const std::string sqlite = NewFolder("praxis");
    const Figures generated = InChild([&] {
        return Generate(practice, patients, "odbc:" + TestPractice::ServerConnect() + ";DATABASE=" + database);
    });
    const Figures run = InChild([&] { return RunKelvor(practice, database); });
    InChild([&] { return Generate(sqlite, patients, {}); });
    InChild([&] { return RunKelvor(sqlite, {}); });   // the rows it leaves, counted below
    const Figures sqliteCounts = InChild([&] {
        int argc = 0;
        const QCoreApplication app(argc, nullptr);
        Figures counts;
        counts.endState = RowCounts(QStringLiteral("QSQLITE"), QString::fromStdString(sqlite + "/praxis.db"));
        return counts;
    });
    // The floor: the run's round trips, each as long as the one measured, and the
    // server's own time; without that time there is none.
    const double floor =
        run.serverSeconds < 0 ? -1 : static_cast<double>(run.roundTrips) * run.roundTripSeconds + run.serverSeconds;
    PrintRow(patients, TestPractice::ServerDialect() == SqlDialect::MariaDb ? "MariaDB" : "PostgreSQL", generated, run,
             floor, run.finished && run.endState == sqliteCounts.endState ? "yes" : "NO");
    RemoveFolder(practice);
    RemoveFolder(sqlite);
    TestPractice::DropOnServer(database);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_owner_run PATIENTS [sqlite] [server]\n");
        return 2;
    }
    const long patients = std::stol(argv[1]);
    std::vector<std::string> backends(argv + 2, argv + argc);
    if (backends.empty())
        backends = {"sqlite"};
    std::printf("| patients | back end | generator | trial, trial/run | run | per patient | floor | ratio | round trips | "
                "round trip | server's own | largest UI gap | flushes | peak RSS | same as floor |\n"
                "|---:|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|\n");
    for (const std::string& backend : backends) {
        if (backend == "server" && TestPractice::ServerConnect().empty()) {
            std::fprintf(stderr, "bench_owner_run: set KELVOR_TEST_SERVER to the server's ODBC connection string\n");
            return 2;
        }
        backend == "server" ? MeasureServer(patients) : MeasureSqlite(patients);
    }
    return 0;
}
