#pragma once
#include "HbRSetDatabase.h"
#include "RowSink.h"
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <map>
#include <vector>

// An existing empty server database reached through ODBC the way the program
// reaches it (login time-out, no password in errors). The whole practice, its DDL
// included, is one transaction; where the server commits each CREATE on its own,
// the tables made are dropped again when the sink goes before Finish(). Rows go
// in many to a statement: each statement is a round trip.
class ServerRowSink final : public RowSink {
public:
    explicit ServerRowSink(const std::string& odbc);
    ~ServerRowSink() override;
    ServerRowSink(const ServerRowSink&) = delete;
    ServerRowSink& operator=(const ServerRowSink&) = delete;

    SqlDialect Dialect() const override { return m_dialect; }
    std::size_t RowsPerInsert() const override;
    void CreateTable(const TableDef& table, const std::string& statement) override;
    void Insert(const TableDef& table, std::span<const std::string> values) override;
    void Finish(std::span<const std::string> statements) override;

private:
    void Exec(const std::string& statement);
    QSqlQuery Prepare(const TableDef& table, std::size_t rows);
    static void Run(const TableDef& table, QSqlQuery& insert, std::span<const std::string> values);
    std::string AnalyzeStatement() const;

    CHbRSetDatabase m_server;
    SqlDialect m_dialect;
    QSqlDatabase m_db;
    std::vector<std::string> m_createdTables;   // on a server whose CREATE commits
    std::map<const TableDef*, QSqlQuery> m_inserts;   // a full batch of rows each
    bool m_finished = false;
};
