#pragma once
#include "SqliteStatements.h"
#include "StatementThread.h"
#include "WalCheckpointer.h"
#include <QSqlDatabase>
#include <QSqlQuery>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

// The Qt side of one open connection of the database layer: the Qt connection
// (removed again with this object), held rather than looked up by name for every
// statement, and the connection's
// parameterised statements, each prepared on first use and kept until the
// connection closes (a record set's lookups and deletes repeat the same few texts
// for every row). A server connection lives on a thread of its own (see
// CStatementThread): everything that touches its Qt side goes through Run.
class CHbRSetConnection {
public:
    // open adds and opens the Qt connection name, or throws CDBException; it runs
    // where the connection will live.
    CHbRSetConnection(const QString& name, bool ownThread, const std::function<void()>& open);
    ~CHbRSetConnection();
    CHbRSetConnection(const CHbRSetConnection&) = delete;
    CHbRSetConnection& operator=(const CHbRSetConnection&) = delete;

    // Runs work where the connection lives and returns when it is done.
    template <class Fn> void Run(Fn&& work)
    {
        if (m_thread)
            m_thread->Run(std::forward<Fn>(work));
        else
            work();
    }

    QSqlDatabase& Database() { return m_db; }
    // The kept statement for sql; throws CDBException when it cannot be prepared.
    QSqlQuery& Prepared(const std::string& sql);
    // Runs a text as it stands, without values or result rows; throws CDBException.
    void Exec(std::string_view text);
    // An SQLite connection's handle and its statements run on it; nullptr on a server.
    sqlite3* SqliteHandle() const;
    CSqliteStatements* Sqlite() { return m_sqlite.get(); }
    // SQLite: a statement that runs long lets the window be served meanwhile; a
    // writer's checkpoints run on a thread of their own.
    void TuneSqlite(bool writer);

private:
    std::unique_ptr<CStatementThread> m_thread;
    QSqlDatabase m_db;
    std::unordered_map<std::string, std::unique_ptr<QSqlQuery>> m_statements;
    std::unique_ptr<CSqliteStatements> m_sqlite;
    std::unique_ptr<CWalCheckpointer> m_checkpointer;
};
