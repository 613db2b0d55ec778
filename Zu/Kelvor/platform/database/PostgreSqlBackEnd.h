#pragma once
#include "OdbcBackEnd.h"
#include <unordered_map>

// A PostgreSQL server through its ODBC driver (psqlODBC): standard SQL, statements
// prepared on the server, a patient's deletes as one text of prepared statements.
class CPostgreSqlBackEnd final : public COdbcBackEnd {
public:
    using COdbcBackEnd::COdbcBackEnd;

    std::unique_ptr<CDatabaseBackEnd> Recognised(CHbRSetConnection& /*connection*/) const override { return nullptr; }
    std::vector<std::string> SessionStatements() const override;
    // PostgreSQL runs the statements of one query text as one transaction: committed
    // with the last, rolled back whole when one fails. Each is prepared once on the
    // server, its values written in as literals: one round trip, the commit included.
    void RunAsOneTransaction(CHbRSetDatabase& db, const std::vector<std::string>& statements,
                             const std::vector<std::string>& params) override;
    std::string SizeQuery() const override { return "SELECT pg_database_size(current_database())"; }
    std::string TablesQuery() const override
    {
        return "SELECT table_name FROM information_schema.tables WHERE table_schema = current_schema()";
    }
    bool ComparesAsSqlite(const CHbRSetDatabase& db) const override;

private:
    std::string DriverOptions() const override;
    // The name sql is prepared under on the server, prepared on first use and kept
    // until the connection closes. Throws CDBException.
    const std::string& ServerPrepared(CHbRSetConnection& connection, const std::string& sql);

    std::unordered_map<std::string, std::string> m_prepared;
};
