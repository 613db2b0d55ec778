#pragma once
#include "SqlDialect.h"
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

// One connection to the practice database. The connect text is "sqlite:" + a
// database file (relative to the practice folder) or "odbc:" + an ODBC
// connection string. The connect text may hold a password: it never reaches a
// trace, a log or a message.
class CHbRSetConnection;

class CHbRSetDatabase {
public:
    CHbRSetDatabase();
    ~CHbRSetDatabase();  // closes the connection
    CHbRSetDatabase(const CHbRSetDatabase&) = delete;
    CHbRSetDatabase& operator=(const CHbRSetDatabase&) = delete;

    // The framework's open: no data-source name, exclusive, read-only, connect
    // text, cursor library. Throws CDBException when the database cannot be
    // reached; the error text names the file or server, never the connect text.
    bool Open(const char* dsn, bool exclusive, bool readOnly, std::string_view connect, bool useCursorLib);
    void Close();
    bool IsOpen() const;

    // Open, read-write, for a tool that works on the Qt connection itself (by
    // ConnectionName) on the calling thread: a server connection gets no thread of
    // its own.
    bool OpenHere(std::string_view connect);

    // Connect text for a further connection to the same database.
    std::string GetCryptConnect() const;

    // Direct execution: no result set, no transaction; throws CDBException.
    void ExecuteSQL(std::string_view statement);

    // Runs fn inside one transaction; a CDBException thrown by fn (or by the
    // commit) rolls back and is rethrown.
    template <class Fn> void InTransaction(Fn&& fn);

    bool IsSqlite() const;
    // The SQL the open database speaks, known from the open on.
    SqlDialect Dialect() const { return m_dialect; }
    // What every connection to a server of the dialect runs first, so that all of
    // them compare, quote and see committed rows alike.
    static std::vector<const char*> SessionStatements(SqlDialect dialect);
    bool IsReadOnly() const { return m_bReadOnly; }
    // Name of the underlying Qt connection; used inside the database layer only.
    std::string ConnectionName() const;
    // The open connection's Qt side; inside the database layer only.
    CHbRSetConnection& Connection() const;

    // A 32-bit setting of the connection (the query time-out in seconds, 0 = none).
    unsigned m_dwQueryTimeout = 15;

    // Before every statement of the layer, with its text (seam::DatabaseStatement).
    static void BeforeStatement(std::string_view statement);

private:
    bool OpenConnection(bool readOnly, std::string_view connect, bool serverThread);
    bool ShareWriter(const std::string& file, std::string_view connect);
    void Register(std::string_view connect, bool readOnly);
    // Why the open SQLite file is no usable practice database; empty when it is one.
    std::string PracticeFileProblem(bool readOnly) const;
    void WaitForLocks();
    static int OnBusy(void* self, int attempt);
    void Begin();
    void Commit();
    void Rollback();

    std::string m_strConnectionName;
    std::shared_ptr<CHbRSetConnection> m_connection;
    std::string m_strConnect;
    bool m_bReadOnly = false;
    SqlDialect m_dialect = SqlDialect::Sqlite;
    std::chrono::steady_clock::time_point m_lockWaitStart;
};

template <class Fn> void CHbRSetDatabase::InTransaction(Fn&& fn)
{
    Begin();
    try {
        fn();
        Commit();
    } catch (...) {
        Rollback();
        throw;
    }
}
