#include "SqliteBackEnd.h"
#include "BoundStatement.h"
#include "DBException.h"
#include "FileStore.h"
#include "FileSystem.h"
#include "HbRSetConnection.h"
#include "HbRSetDatabase.h"
#include "Seams.h"
#include "VqParams.h"
#include "WindowServing.h"
#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>
#include <thread>

namespace {

// A relative database file lies in the practice folder.
std::string SqliteFile(std::string_view file)
{
    const QString native = QString::fromStdString(NativePath(std::string(file)));
    return QDir::cleanPath(QDir(QString::fromStdString(GetVqPraxisPath())).absoluteFilePath(native)).toStdString();
}

} // namespace

CSqliteBackEnd::CSqliteBackEnd(std::string_view file, Use use) : m_file(SqliteFile(file)), m_use(use)
{
    if (!QFileInfo(QString::fromStdString(m_file)).isFile())
        throw CDBException("Die Datenbankdatei " + m_file + " ist nicht vorhanden.");
}

std::shared_ptr<CHbRSetConnection> CSqliteBackEnd::Open(const QString& name, bool readOnly, bool /*ownThread*/) const
{
    const QString options = readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY") : QString();
    return std::make_shared<CHbRSetConnection>(name, false, [&] {
        OpenQt(name, QStringLiteral("QSQLITE"), QString::fromStdString(m_file), options);
    });
}

std::string CSqliteBackEnd::Unreachable() const
{
    return "Die Datenbankdatei " + m_file + " kann nicht geöffnet werden: ";
}

// Before anything is written: an empty file or one without the practice's tables
// must not become a practice database, a file that cannot be written must not run a
// removal that removes nothing.
std::string CSqliteBackEnd::SetUp(CHbRSetDatabase& db, bool readOnly)
{
    CHbRSetConnection& connection = db.Connection();
    if (sqlite3* const handle = connection.SqliteHandle())
        sqlite3_busy_handler(handle, &CSqliteBackEnd::OnBusy, this);
    if (std::string problem = PracticeFileProblem(db, readOnly); !problem.empty())
        return problem;
    if (m_use == Use::OwnCopy)
        SetUpOwnCopy(db);
    else
        SetUpPractice(db, readOnly);
    db.ExecuteSQL("PRAGMA case_sensitive_like=ON");   // as the servers compare: 'ab' is no 'AB'
    connection.TuneSqlite(!readOnly && m_use == Use::Practice);
    return {};
}

void CSqliteBackEnd::SetUpPractice(CHbRSetDatabase& db, bool readOnly)
{
    db.ExecuteSQL(readOnly ? "PRAGMA schema_version" : "PRAGMA journal_mode=WAL");
    if (readOnly)
        return;
    // Every statement of a run commits on its own: in WAL mode a commit then needs no
    // flush to disk, only a checkpoint does, and a crash loses no committed data the
    // database cannot recover.
    db.ExecuteSQL("PRAGMA synchronous=NORMAL");
    // A checkpoint flushes twice: one per 64 MiB of log, not per 4 MiB. The
    // checkpointer thread takes this over where it can.
    db.ExecuteSQL("PRAGMA wal_autocheckpoint=" + std::to_string(CWalCheckpointer::kLogFrames));
}

// No other program reads the copy and a crash loses nothing of the practice: the one
// connection holds the file for itself, so the log's index lives in its memory and no
// commit makes a reader's connection drop its page cache, and nothing waits for the
// disk. Its own small checkpoints keep the log short. With the practice's settings a
// trial's passes took as long as the run's; with these, a tenth to a quarter less.
void CSqliteBackEnd::SetUpOwnCopy(CHbRSetDatabase& db)
{
    db.ExecuteSQL("PRAGMA synchronous=OFF");
    db.ExecuteSQL("PRAGMA locking_mode=EXCLUSIVE");
    db.ExecuteSQL("PRAGMA journal_mode=WAL");
}

std::string CSqliteBackEnd::PracticeFileProblem(const CHbRSetDatabase& db, bool readOnly) const
{
    const std::string named = "Die Datenbankdatei " + m_file;
    // Before the first read: reading a database in WAL mode creates its -wal and -shm
    // files, with the rights of the database file, which would make them read-only too
    // and fail the next run's writes once the file itself is writable again.
    if (!readOnly) {
        sqlite3* const handle = db.Connection().SqliteHandle();
        if (handle != nullptr && sqlite3_db_readonly(handle, "main") == 1)
            return named + " kann nur gelesen werden.";
        // Such files left behind by another program or user fail the run at its first write.
        for (const char* suffix : {"-wal", "-shm"})
            if (IsReadOnlyFile(m_file + suffix))
                return named + suffix + " kann nur gelesen werden.";
    }
    long tables = 0;
    RunBound(db, "SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name IN ('MANDANT','LEB','PAT','BEH')", {},
             [&tables](std::vector<std::string>&& row) { tables = std::stol(row.at(0)); });
    if (tables < 4)
        return named + " ist keine Praxisdatenbank.";
    return {};
}

void CSqliteBackEnd::Run(CHbRSetConnection& connection, const std::string& sql, const std::vector<std::string>& params,
                         const Rows& onRow) const
{
    connection.Sqlite()->Run(sql, params, onRow);
}

// SQLite asks the handler each time it meets a lock: wait on while the limit allows,
// serving the window.
int CSqliteBackEnd::OnBusy(void* self, int attempt)
{
    CSqliteBackEnd& backEnd = *static_cast<CSqliteBackEnd*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0)
        backEnd.m_lockWaitStart = now;
    if (now - backEnd.m_lockWaitStart >= seam::LockWait::Slot())
        return 0;
    CWindowServing::Serve();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return 1;
}
