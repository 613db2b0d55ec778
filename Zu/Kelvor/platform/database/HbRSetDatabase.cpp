#include "HbRSetDatabase.h"
#include "DBException.h"
#include "DatabaseError.h"
#include "BoundStatement.h"
#include "FileStore.h"
#include "HbRSetConnection.h"
#include "Hook.h"
#include "OdbcConnection.h"
#include "VqParams.h"
#include "WindowServing.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::string_view kSqlitePrefix = "sqlite:";
constexpr std::string_view kOdbcPrefix = "odbc:";
std::chrono::milliseconds g_lockWait = std::chrono::seconds(60);
// A server that does not answer ends the open after this long instead of blocking the
// program; statements run with the driver's autocommit, so a failed one ends its own
// transaction and never the next statement's.
constexpr int kLoginTimeout = 10;   // seconds
const QString kOdbcOptions = QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=") + QString::number(kLoginTimeout);

QString ToQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::vector<CHbRSetDatabase*>& OpenConnections()
{
    static std::vector<CHbRSetDatabase*> open;
    return open;
}

void CloseOpenConnections()
{
    while (!OpenConnections().empty())
        OpenConnections().back()->Close();
}

// Qt's list of connections is gone before the shared connections' destructors run.
// Exit handlers run in reverse order of registration, so one registered after Qt's
// list and this one exist closes whatever is still open while both are there.
void RegisterOpen(CHbRSetDatabase* db)
{
    std::vector<CHbRSetDatabase*>& open = OpenConnections();
    static const int registered = std::atexit(CloseOpenConnections);
    static_cast<void>(registered);
    open.push_back(db);
}

std::string UniqueConnectionName()
{
    static std::atomic<unsigned> counter{0};
    return "kelvor.db." + std::to_string(++counter);
}

// The attributes of an ODBC connection string ("SERVER=host;..."): key and value, a
// value in braces whole.
const QRegularExpression& OdbcPair()
{
    static const QRegularExpression pair(QStringLiteral("(?:^|;)\\s*([^=;]+?)\\s*=\\s*(\\{[^}]*\\}|[^;]*)"));
    return pair;
}

// The value of one attribute of an ODBC connection string, braces removed.
std::string OdbcAttribute(std::string_view connect, std::string_view key)
{
    for (const QRegularExpressionMatch& match : OdbcPair().globalMatch(ToQt(connect))) {
        if (match.captured(1).compare(ToQt(key), Qt::CaseInsensitive) != 0)
            continue;
        QString value = match.captured(2).trimmed();
        if (value.startsWith(u'{'))
            value = value.mid(1, value.size() - 2);
        return value.toStdString();
    }
    return {};
}

// What a message may name of a server connection: server and database, or the data source.
std::string ServerDescription(std::string_view odbc)
{
    std::string server = OdbcAttribute(odbc, "SERVER");
    if (server.empty())
        server = OdbcAttribute(odbc, "DSN");
    const std::string database = OdbcAttribute(odbc, "DATABASE");
    return database.empty() ? server : server + " (Datenbank " + database + ")";
}

// Kelvor's own settings for its connections to a PostgreSQL server, after the
// practice's: statements prepared once on the server and run again from there;
// a failed statement rolls back the transaction it is in (autocommit: itself),
// without a savepoint around every statement; no communication log.
//
// MariaDB's driver ignores the login time-out set as a connection attribute and
// takes it from the connection string alone.
std::string DriverOptions(std::string_view odbc)
{
    std::string named = OdbcAttribute(odbc, "DRIVER");
    if (named.empty())
        named = DataSourceDriver(OdbcAttribute(odbc, "DSN"));
    const QString driver = QString::fromStdString(named);
    if (driver.contains(QStringLiteral("mariadb"), Qt::CaseInsensitive) || driver.contains(QStringLiteral("mysql"), Qt::CaseInsensitive))
        return ";CONN_TIMEOUT=" + std::to_string(kLoginTimeout);
    if (!driver.contains(QStringLiteral("postgres"), Qt::CaseInsensitive))
        return {};
    return ";UseServerSidePrepare=1;Protocol=7.4-1;CommLog=0";
}

// Qt's ODBC driver takes a text without "DRIVER=" or "SERVER=" for the name of a data
// source and writes "DSN=" before it. A connection string that names its data source
// ("UID=...;DSN=Praxis;PWD=...") goes to it with that name first, its key left out.
QString QtConnectText(std::string_view odbc)
{
    const QString text = ToQt(odbc);
    if (text.contains(QStringLiteral("DRIVER="), Qt::CaseInsensitive) || text.contains(QStringLiteral("SERVER="), Qt::CaseInsensitive))
        return text;
    for (const QRegularExpressionMatch& match : OdbcPair().globalMatch(text)) {
        if (match.captured(1).compare(QStringLiteral("DSN"), Qt::CaseInsensitive) != 0)
            continue;
        QString rest = text;
        rest.remove(match.capturedStart(0), match.capturedLength(0));
        if (rest.startsWith(u';'))
            rest.remove(0, 1);
        return match.captured(2).trimmed() + (rest.isEmpty() ? QString() : u';' + rest);
    }
    return text;
}

// A relative database file lies in the practice folder.
std::string SqliteFile(std::string_view file)
{
    const QString native = QString::fromStdString(NativePath(std::string(file)));
    return QDir::cleanPath(QDir(QString::fromStdString(GetVqPraxisPath())).absoluteFilePath(native)).toStdString();
}

// Adds the Qt connection and opens it; on failure it is removed again and the cause thrown.
void OpenQtConnection(const QString& name, const QString& driver, const QString& databaseName, const QString& options,
                      const std::string& failure)
{
    std::string error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        db.setDatabaseName(databaseName);
        db.setConnectOptions(options);
        if (db.open())
            return;
        error = DatabaseErrorText(db.lastError());
    }
    QSqlDatabase::removeDatabase(name);
    throw CDBException(failure + error);
}

// Begins or commits a transaction where the connection lives; throws the database's error.
void TransactionStep(CHbRSetConnection& connection, bool (QSqlDatabase::*step)())
{
    connection.Run([&] {
        QSqlDatabase& db = connection.Database();
        if (!(db.*step)())
            throw CDBException(DatabaseErrorText(db.lastError()));
    });
}

} // namespace

CHbRSetDatabase::CHbRSetDatabase() : m_strConnectionName(UniqueConnectionName()) {}

CHbRSetDatabase::~CHbRSetDatabase()
{
    Close();
}

bool CHbRSetDatabase::Open(const char* /*dsn*/, bool /*exclusive*/, bool readOnly, std::string_view connect,
                           bool /*useCursorLib*/)
{
    return OpenConnection(readOnly, connect, true);
}

bool CHbRSetDatabase::OpenHere(std::string_view connect)
{
    return OpenConnection(false, connect, false);
}

bool CHbRSetDatabase::OpenConnection(bool readOnly, std::string_view connect, bool serverThread)
{
    Close();
    const QString name = QString::fromStdString(m_strConnectionName);
    const bool sqlite = connect.starts_with(kSqlitePrefix);
    std::string failure;
    if (sqlite) {
        const std::string file = SqliteFile(connect.substr(kSqlitePrefix.size()));
        failure = "Die Datenbankdatei " + file + " kann nicht geöffnet werden: ";
        // Opening must never create an empty practice database in place of a missing one.
        if (!QFileInfo(QString::fromStdString(file)).isFile())
            throw CDBException("Die Datenbankdatei " + file + " ist nicht vorhanden.");
        if (!readOnly && ShareWriter(file, connect))
            return true;
        const QString options = readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY") : QString();
        m_connection = std::make_shared<CHbRSetConnection>(name, false, [&] {
            OpenQtConnection(name, QStringLiteral("QSQLITE"), QString::fromStdString(file), options, failure);
        });
    } else if (connect.starts_with(kOdbcPrefix)) {
        const std::string_view odbc = connect.substr(kOdbcPrefix.size());
        const QString options =
            readOnly ? kOdbcOptions + QStringLiteral(";SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY") : kOdbcOptions;
        failure = "Der Datenbankserver " + ServerDescription(odbc) + " ist nicht erreichbar: ";
        // The driver blocks the calling thread until the server answers: the
        // connection gets a thread of its own.
        m_connection = std::make_shared<CHbRSetConnection>(name, serverThread, [&] {
            OpenQtConnection(name, QStringLiteral("QODBC"), QtConnectText(std::string(odbc) + DriverOptions(odbc)), options, failure);
        });
    } else {
        throw CDBException("Die Datenbankverbindung ist weder eine SQLite-Datei noch eine ODBC-Verbindung.");
    }
    Register(connect, readOnly);
    WaitForLocks();
    try {
        for (const char* statement : SessionStatements(m_dialect))
            ExecuteSQL(statement);
    } catch (const CDBException& error) {
        Close();
        throw CDBException(failure + error.ErrorText());
    }
    if (sqlite) {
        std::string problem;
        try {
            // Before anything is written: an empty file or one without the practice's
            // tables must not become a practice database, a file that cannot be
            // written must not run a removal that removes nothing.
            problem = PracticeFileProblem(readOnly);
            if (problem.empty()) {
                ExecuteSQL(readOnly ? "PRAGMA schema_version" : "PRAGMA journal_mode=WAL");
                ExecuteSQL("PRAGMA case_sensitive_like=ON");   // as the servers compare: 'ab' is no 'AB'
                // Every statement of a run commits on its own: in WAL mode a commit then
                // needs no flush to disk, only a checkpoint does, and a crash loses no
                // committed data the database cannot recover.
                if (!readOnly)
                    ExecuteSQL("PRAGMA synchronous=NORMAL");
                // A checkpoint flushes twice: one per 64 MiB of log, not per 4 MiB. The
                // checkpointer thread takes this over where it can.
                if (!readOnly)
                    ExecuteSQL("PRAGMA wal_autocheckpoint=" + std::to_string(CWalCheckpointer::kLogFrames));
                m_connection->TuneSqlite(!readOnly);
            }
        } catch (const CDBException& error) {
            problem = failure + error.ErrorText();
        }
        if (!problem.empty()) {
            Close();
            throw CDBException(problem);
        }
    }
    return true;
}

// Connections of one process to one SQLite file that both write share the one
// connection underneath: a commit through one of several connections makes the
// others drop their page caches, which for a run that takes turns on every row
// costs more than the statements. Nothing of the program writes through one of
// them while a transaction of the other is open.
bool CHbRSetDatabase::ShareWriter(const std::string& file, std::string_view connect)
{
    for (const CHbRSetDatabase* other : OpenConnections()) {
        if (other->IsSqlite() && !other->m_bReadOnly && other->m_connection->Database().databaseName().toStdString() == file) {
            m_connection = other->m_connection;
            Register(connect, false);
            return true;
        }
    }
    return false;
}

void CHbRSetDatabase::Register(std::string_view connect, bool readOnly)
{
    m_strConnect = connect;
    m_bReadOnly = readOnly;
    m_dialect = SqlDialect::Sqlite;
    if (!IsSqlite())
        m_connection->Run([this] { m_dialect = ServerDialect(m_connection->Database()); });
    RegisterOpen(this);
}

std::vector<const char*> CHbRSetDatabase::SessionStatements(SqlDialect dialect)
{
    if (dialect == SqlDialect::Sqlite)
        return {};
    // A backslash is a character in a literal, also where the server was set to the
    // escapes of old.
    if (dialect == SqlDialect::PostgreSql)
        return {"SET standard_conforming_strings = on"};
    // Standard SQL: a backslash is a character in a literal, '"' quotes names, '||' joins
    // texts, and a value too long is an error, never cut. A transaction sees what other
    // connections have committed, as on the other servers, and locks no gaps.
    return {"SET SESSION sql_mode='STRICT_ALL_TABLES,NO_BACKSLASH_ESCAPES,ANSI_QUOTES,PIPES_AS_CONCAT,"
            "NO_ENGINE_SUBSTITUTION'",
            "SET SESSION TRANSACTION ISOLATION LEVEL READ COMMITTED"};
}

void CHbRSetDatabase::Close()
{
    if (m_strConnect.empty())
        return;
    m_strConnect.clear();
    std::erase(OpenConnections(), this);
    // The lock waits of a shared connection are counted by one that stays open.
    for (CHbRSetDatabase* other : OpenConnections())
        if (other->m_connection == m_connection) {
            other->WaitForLocks();
            break;
        }
    m_connection.reset();
}

bool CHbRSetDatabase::IsOpen() const
{
    return !m_strConnect.empty() && m_connection->Database().isOpen();
}

std::string CHbRSetDatabase::ConnectionName() const
{
    return m_connection ? m_connection->Database().connectionName().toStdString() : m_strConnectionName;
}

std::string CHbRSetDatabase::GetCryptConnect() const
{
    return m_strConnect;
}

void CHbRSetDatabase::ExecuteSQL(std::string_view statement)
{
    if (!IsOpen())
        throw CDBException("Die Datenbankverbindung ist nicht geöffnet.");
    BeforeStatement(statement);
    RunText(*this, statement);
    CWindowServing::IfDue();
}

CHbRSetConnection& CHbRSetDatabase::Connection() const
{
    if (!m_connection)
        throw CDBException("Die Datenbankverbindung ist nicht geöffnet.");
    return *m_connection;
}

std::string CHbRSetDatabase::PracticeFileProblem(bool readOnly) const
{
    const std::string file = SqliteFile(m_strConnect.substr(kSqlitePrefix.size()));
    const std::string named = "Die Datenbankdatei " + file;
    // Before the first read: reading a database in WAL mode creates its -wal and -shm
    // files, with the rights of the database file, which would make them read-only too
    // and fail the next run's writes once the file itself is writable again.
    if (!readOnly) {
        sqlite3* const handle = Connection().SqliteHandle();
        if (handle != nullptr && sqlite3_db_readonly(handle, "main") == 1)
            return named + " kann nur gelesen werden.";
        // Such files left behind by another program or user fail the run at its first write.
        for (const char* suffix : {"-wal", "-shm"})
            if (const std::string companion = file + suffix;
                ::access(companion.c_str(), F_OK) == 0 && ::access(companion.c_str(), W_OK) != 0)
                return named + suffix + " kann nur gelesen werden.";
    }
    long tables = 0;
    RunBound(*this, "SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name IN ('MANDANT','LEB','PAT','BEH')", {},
             [&tables](std::vector<std::string>&& row) { tables = std::stol(row.at(0)); });
    if (tables < 4)
        return named + " ist keine Praxisdatenbank.";
    return {};
}

namespace {
using StatementHookSlot = CHook<CHbRSetDatabase, std::string_view>;
} // namespace

void CHbRSetDatabase::SetStatementHook(StatementHook hook)
{
    StatementHookSlot::Set(std::move(hook));
}

void CHbRSetDatabase::BeforeStatement(std::string_view statement)
{
    StatementHookSlot::Call(statement);
}

void CHbRSetDatabase::SetLockWait(std::chrono::milliseconds wait)
{
    g_lockWait = wait;
}

std::chrono::milliseconds CHbRSetDatabase::LockWait()
{
    return g_lockWait;
}

// SQLite asks the handler each time it meets a lock: wait on while the limit
// allows, serving the window. A server waits by itself, up to its lock_timeout
// (a back end without that setting refuses it and keeps its own).
void CHbRSetDatabase::WaitForLocks()
{
    if (!IsSqlite()) {
        const long long seconds = std::max<long long>(1, (g_lockWait.count() + 999) / 1000);
        try {
            ExecuteSQL(m_dialect == SqlDialect::MariaDb ? "SET SESSION innodb_lock_wait_timeout = " + std::to_string(seconds)
                                                        : "SET lock_timeout = " + std::to_string(g_lockWait.count()));
        } catch (const CDBException&) {
        }
        return;
    }
    if (sqlite3* const handle = Connection().SqliteHandle())
        sqlite3_busy_handler(handle, &CHbRSetDatabase::OnBusy, this);
}

int CHbRSetDatabase::OnBusy(void* self, int attempt)
{
    CHbRSetDatabase& db = *static_cast<CHbRSetDatabase*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0)
        db.m_lockWaitStart = now;
    if (now - db.m_lockWaitStart >= g_lockWait)
        return 0;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return 1;
}

bool CHbRSetDatabase::IsSqlite() const
{
    return m_strConnect.starts_with(kSqlitePrefix);
}

void CHbRSetDatabase::Begin()
{
    TransactionStep(Connection(), &QSqlDatabase::transaction);
}

void CHbRSetDatabase::Commit()
{
    TransactionStep(Connection(), &QSqlDatabase::commit);
}

void CHbRSetDatabase::Rollback()
{
    if (m_connection)
        m_connection->Run([this] { m_connection->Database().rollback(); });
}
