#pragma once
#include <string>

// What the test server (KELVOR_TEST_SERVER) tells of one of its databases: one round
// trip, and the time the server itself spent planning and executing statements
// (PostgreSQL's pg_stat_statements, the database's; MariaDB's performance schema, every
// database's; both enabled by the throwaway servers of scripts/). Asked through a
// connection of its own.
class ServerStatistics {
public:
    explicit ServerStatistics(std::string database);
    ~ServerStatistics();
    ServerStatistics(const ServerStatistics&) = delete;
    ServerStatistics& operator=(const ServerStatistics&) = delete;

    // One round trip of a connection as the program opens it (here on the calling
    // thread): the median time of a few hundred "SELECT 1", divided by the round trips
    // each one took.
    double RoundTripSeconds() const;
    // The server's sums of statement times start again from nothing.
    void Reset() const;
    // The sum since Reset, in seconds; negative when the server keeps none.
    double StatementSeconds() const;

private:
    const std::string m_database;
};
