#pragma once
#include "SqlDialect.h"
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One connection to the practice database. The connect text is "sqlite:" + a
// database file (relative to the practice folder) or "odbc:" + an ODBC
// connection string. The connect text may hold a password: it never reaches a
// trace, a log or a message.
class CDatabaseBackEnd;
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
    // Throws CDBException when the connection is not open: before a statement
    // reaches the statement hook or the engine.
    void RequireOpen() const;

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

    // The SQL the open database speaks.
    SqlDialect Dialect() const;
    bool IsReadOnly() const { return m_bReadOnly; }
    // Name of the underlying Qt connection; used inside the database layer only.
    std::string ConnectionName() const;
    // The open connection's Qt side; inside the database layer only.
    CHbRSetConnection& Connection() const;
    // Where the engine of the open connection differs; inside the database layer only.
    CDatabaseBackEnd& BackEnd() const;

    // A 32-bit setting of the connection (the query time-out in seconds, 0 = none).
    unsigned m_dwQueryTimeout = 15;

    // Before every statement of the layer, with its text (seam::DatabaseStatement).
    static void BeforeStatement(std::string_view statement);

private:
    bool OpenConnection(bool readOnly, std::string_view connect, bool serverThread);
    bool ShareWriter(const std::string& key, std::string_view connect);
    void SetUp(bool readOnly);
    void Begin();
    void Commit();
    void Rollback();

    std::string m_strConnectionName;
    // Shared, with the connection, by the writers that share it; the connection goes first.
    std::shared_ptr<CDatabaseBackEnd> m_backEnd;
    std::shared_ptr<CHbRSetConnection> m_connection;
    std::string m_strConnect;
    bool m_bReadOnly = false;
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
