#include "SqliteCopy.h"
#include "SqliteConnection.h"
#include <sqlite3.h>
#include <memory>
#include <stdexcept>

void CopySqliteDatabase(const std::filesystem::path& from, const std::filesystem::path& to)
{
    // Only read, but opened for writing where the file allows it: the last connection
    // of a database in WAL mode removes the -wal and -shm files it needed, which a
    // read-only connection leaves behind.
    const SqliteConnection source(from, SQLITE_OPEN_READWRITE);
    const SqliteConnection target(to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // The source must be a database: an empty or foreign file is not copied as one.
    source.Value("PRAGMA schema_version");
    {
        const std::unique_ptr<sqlite3_backup, int (*)(sqlite3_backup*)> backup(
            sqlite3_backup_init(target.Handle(), "main", source.Handle(), "main"), sqlite3_backup_finish);
        if (!backup)
            target.Fail("The backup");
        // All pages in one step: one read transaction, so the copy is one committed
        // state. In WAL mode writers go on meanwhile; otherwise they wait until it ends.
        // A lock held longer than the busy timeout ends the backup.
        const int step = sqlite3_backup_step(backup.get(), -1);
        if (step != SQLITE_DONE)
            throw std::runtime_error("The backup of " + from.string() + " failed: " + sqlite3_errstr(step));
    }
    const std::string check = target.Value("PRAGMA integrity_check");
    if (check != "ok")
        throw std::runtime_error("The copy " + to.string() + " of " + from.string() + " is damaged: " + check);
}
