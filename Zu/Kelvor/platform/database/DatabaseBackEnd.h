#pragma once
#include "SqlDialect.h"
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CHbRSetConnection;
class CHbRSetDatabase;
class QString;

// Everything in which the engines behind a connection differ, chosen once when the
// connection opens: how it is opened and set up, the SQL it speaks where engines
// differ, how it waits for locks and how a patient's deletes reach it. One subclass
// per engine; the rest of the database layer asks the back end and never the engine.
// A new engine is a new subclass and its line in ForServerNamed (a server) or
// ForConnect (a new kind of connect text).
class CDatabaseBackEnd {
public:
    using Rows = std::function<void(std::vector<std::string>&& row)>;   // as RunBound's RowSink

    virtual ~CDatabaseBackEnd() = default;
    CDatabaseBackEnd(const CDatabaseBackEnd&) = delete;
    CDatabaseBackEnd& operator=(const CDatabaseBackEnd&) = delete;

    // The back end of a connect text: "sqlite:" + a database file (which must exist:
    // opening never creates an empty practice database in place of a missing one),
    // "sqlite-copy:" + a throwaway copy of one that only this process uses, "odbc:" +
    // a connection string, the server known by its driver's name. Throws CDBException
    // for any other text or a missing file.
    static std::unique_ptr<CDatabaseBackEnd> ForConnect(std::string_view connect);

    // The back end of a server its driver or the server itself names, as
    // "PostgreSQL Unicode" or "MariaDB"; empty for an engine the program does not know.
    static std::unique_ptr<CDatabaseBackEnd> ForServerNamed(std::string_view name, std::string_view odbc);

    // The SQL family of the engine, as the schema's statements are written for it.
    virtual SqlDialect Dialect() const = 0;

    // Adds the Qt connection name and opens it; with ownThread a server connection
    // gets a thread of its own. Throws CDBException that begins with Unreachable().
    virtual std::shared_ptr<CHbRSetConnection> Open(const QString& name, bool readOnly, bool ownThread) const = 0;
    // The back end the opened connection shows itself to need: a driver the program
    // does not know by name may still reach a server it knows. Empty: this one.
    virtual std::unique_ptr<CDatabaseBackEnd> Recognised(CHbRSetConnection& connection) const;
    // How a failure to open or set up begins; it names the file or the server, never
    // the connect text (which may hold a password).
    virtual std::string Unreachable() const = 0;
    // Readies the open connection of db for the program: lock wait, session settings,
    // checks. Returns why the database cannot serve (a whole message), empty when it
    // can; throws CDBException for a statement that fails.
    virtual std::string SetUp(CHbRSetDatabase& db, bool readOnly) = 0;
    // What every connection of the engine runs first, so that all compare, quote and
    // see committed rows alike.
    virtual std::vector<std::string> SessionStatements() const = 0;
    // Writing connections of one process under the same key share the connection
    // underneath; empty: each has its own.
    virtual std::string SharedWriterKey() const = 0;
    // Whether readers share that connection too: a file this process alone uses.
    virtual bool ReadersShareWriter() const { return false; }

    // The end of a SELECT that reads at most rows rows: " LIMIT rows" here.
    virtual std::string Limit(std::size_t rows) const;
    // The statement with each "?" placeholder (outside quotes) as the engine binds a
    // text exactly.
    virtual std::string ExactPlaceholders(std::string_view sql) const = 0;
    // As RunBound, on the open connection of the engine.
    virtual void Run(CHbRSetConnection& connection, const std::string& sql, const std::vector<std::string>& params,
                     const Rows& onRow) const = 0;
    // As RunAsOneTransaction: here an explicit transaction around the statements.
    virtual void RunAsOneTransaction(CHbRSetDatabase& db, const std::vector<std::string>& statements,
                                     const std::vector<std::string>& params);

    // A query whose one number is what the server's database takes on disk; empty
    // where the engine does not say (an SQLite file is measured by its pages).
    virtual std::string SizeQuery() const { return {}; }
    // The names of the open database's own tables, one per row; empty: the driver's
    // catalog tells them (which on some servers names other databases' tables too).
    virtual std::string TablesQuery() const { return {}; }

    // Whether texts compare here as in SQLite: byte for byte (binary collation) and
    // with trailing blanks counting. Only then does a run on an SQLite copy of the
    // tables select the rows a run here selects. May ask the open database db.
    virtual bool ComparesAsSqlite(const CHbRSetDatabase& db) const = 0;

protected:
    CDatabaseBackEnd() = default;
    // Adds the Qt connection name with driver and opens it, or removes it again and
    // throws Unreachable() with the cause.
    void OpenQt(const QString& name, const QString& driver, const QString& databaseName, const QString& options) const;
};
