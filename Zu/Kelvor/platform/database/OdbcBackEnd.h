#pragma once
#include "DatabaseBackEnd.h"
#include <chrono>

// A database server reached through an ODBC driver and Qt's ODBC driver, on a thread
// of its own: as it stands, the back end of a server the program knows nothing special
// of (standard SQL, the server's own session settings and lock wait where it refuses
// the standard one), and the base of the servers it knows.
class COdbcBackEnd : public CDatabaseBackEnd {
public:
    // odbc: the connection string, which may hold a password.
    explicit COdbcBackEnd(std::string_view odbc);

    // The driver the connection string names, or that of the data source it names.
    static std::string DriverName(std::string_view odbc);

    SqlDialect Dialect() const override { return SqlDialect::PostgreSql; }
    std::shared_ptr<CHbRSetConnection> Open(const QString& name, bool readOnly, bool ownThread) const override;
    // The server's own name for itself decides.
    std::unique_ptr<CDatabaseBackEnd> Recognised(CHbRSetConnection& connection) const override;
    std::string Unreachable() const override;
    std::string SetUp(CHbRSetDatabase& db, bool readOnly) override;
    std::vector<std::string> SessionStatements() const override { return {}; }
    std::string SharedWriterKey() const override { return {}; }
    std::string Limit(std::size_t rows) const override;
    std::string ExactPlaceholders(std::string_view sql) const override { return std::string(sql); }
    void Run(CHbRSetConnection& connection, const std::string& sql, const std::vector<std::string>& params,
             const Rows& onRow) const override;
    bool ComparesAsSqlite(const CHbRSetDatabase& /*db*/) const override { return false; }

protected:
    // A server that does not answer ends the open after this long instead of blocking
    // the program; statements run with the driver's autocommit, so a failed one ends
    // its own transaction and never the next statement's.
    static constexpr int kLoginTimeout = 10;   // seconds

    // Settings of the driver, appended to the practice's connection string.
    virtual std::string DriverOptions() const { return {}; }
    // Makes the server wait up to wait for a lock another client holds.
    virtual std::string LockWaitStatement(std::chrono::milliseconds wait) const;
    // Whether the one-number answer of sql on db is "1".
    static bool Answers(const CHbRSetDatabase& db, const std::string& sql);
    // Each statement passes the statement hook, in order; then send hands them to the
    // server in one call on the connection.
    static void RunAsOneCall(CHbRSetDatabase& db, const std::vector<std::string>& statements,
                             const std::function<void(CHbRSetConnection&)>& send);

private:
    std::string m_odbc;
};
