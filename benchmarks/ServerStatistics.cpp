#include "ServerStatistics.h"
#include "BenchmarkSupport.h"
#include "BoundStatement.h"
#include "HbRSetDatabase.h"
#include "RoundTripCounter.h"
#include "TestPractice.h"
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <vector>

namespace {

const QString kConnection = QStringLiteral("bench-statistics");

bool OnMariaDb()
{
    return TestPractice::ServerDialect() == SqlDialect::MariaDb;
}

} // namespace

// PostgreSQL keeps its statistics' view in the database postgres, MariaDB in a schema
// of its own. Debian registers psqlODBC with its communication log on (files in /tmp).
ServerStatistics::ServerStatistics(std::string database) : m_database(std::move(database))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), kConnection);
    db.setDatabaseName(
        QString::fromStdString(TestPractice::ServerConnect() + (OnMariaDb() ? "" : ";DATABASE=postgres;CommLog=0")));
    db.open();
}

ServerStatistics::~ServerStatistics()
{
    QSqlDatabase::database(kConnection, false).close();
    QSqlDatabase::removeDatabase(kConnection);
}

double ServerStatistics::RoundTripSeconds() const
{
    constexpr std::size_t kTimes = 300;
    CHbRSetDatabase db;
    db.OpenHere("odbc:" + TestPractice::ServerConnect() + ";DATABASE=" + m_database);
    std::vector<double> seconds;
    const long tripsBefore = RoundTripCount();
    while (seconds.size() < kTimes) {
        const auto start = std::chrono::steady_clock::now();
        RunBound(db, "SELECT 1", {}, [](std::vector<std::string>&&) {});
        seconds.push_back(SecondsSince(start));
    }
    const double tripsEach = static_cast<double>(RoundTripCount() - tripsBefore) / kTimes;
    std::ranges::nth_element(seconds, seconds.begin() + kTimes / 2);
    return seconds[kTimes / 2] / std::max(tripsEach, 1.0);
}

void ServerStatistics::Reset() const
{
    QSqlQuery(QString::fromStdString(OnMariaDb() ? "TRUNCATE TABLE performance_schema.events_statements_summary_global_by_event_name"
                                                 : "SELECT pg_stat_statements_reset()"),
              QSqlDatabase::database(kConnection, false));
}

double ServerStatistics::StatementSeconds() const
{
    // MariaDB sums a prepared statement's runs only by kind of statement, not by
    // database: the server is the benchmark's own. A compound statement's parts are
    // inside its own time.
    const std::string sql = OnMariaDb()
        ? "SELECT CASE WHEN @@performance_schema THEN COALESCE(SUM(SUM_TIMER_WAIT), 0) / 1e12 ELSE -1 END FROM "
          "performance_schema.events_statements_summary_global_by_event_name WHERE EVENT_NAME LIKE 'statement/com/%' "
          "OR EVENT_NAME LIKE 'statement/sql/%'"
        : "SELECT COALESCE(SUM(s.total_plan_time + s.total_exec_time), 0) / 1000 FROM pg_stat_statements s JOIN "
          "pg_database d ON d.oid = s.dbid WHERE d.datname = '" + m_database + "'";
    QSqlQuery query(QString::fromStdString(sql), QSqlDatabase::database(kConnection, false));
    return query.next() ? query.value(0).toDouble() : -1;
}
