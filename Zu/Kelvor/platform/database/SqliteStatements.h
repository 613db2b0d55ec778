#pragma once
#include "BoundStatement.h"
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The parameterised statements of one SQLite connection, run straight on its
// handle: a walk or a lookup reads its rows without a Qt value per field. Each
// statement is prepared on first use and kept until the connection closes; after
// every use it is reset and its bindings cleared, so that it holds neither a read
// snapshot nor a lock between calls and no value of one call reaches the next. A
// change outside a transaction runs in one of its own, whose commit runs on the
// serving thread when the change took long (CWindowServing::WhileServing).
class CSqliteStatements {
public:
    explicit CSqliteStatements(sqlite3* db);
    CSqliteStatements(const CSqliteStatements&) = delete;
    CSqliteStatements& operator=(const CSqliteStatements&) = delete;

    // As RunBound: fields as texts, NULL as empty text, errors in SQLite's words.
    void Run(const std::string& sql, const std::vector<std::string>& params, const RowSink& onRow);
    // Runs change, the execution of sql on this connection: a change outside a
    // transaction in one of its own, rolled back when change throws CDBException.
    void InOwnTransaction(std::string_view sql, const std::function<void()>& change);

private:
    struct Finalize {
        void operator()(sqlite3_stmt* statement) const;
    };
    using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

    sqlite3_stmt* Prepared(const std::string& sql);
    void Step(sqlite3_stmt* statement, const std::vector<std::string>& params, const RowSink& onRow);
    std::vector<std::string> Row(sqlite3_stmt* statement) const;
    [[noreturn]] void Fail() const;

    sqlite3* m_db;
    std::unordered_map<std::string, Statement> m_statements;
};
