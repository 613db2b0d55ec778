#pragma once
#include "OdbcBackEnd.h"

// A MariaDB or MySQL server through its ODBC driver, told to speak standard SQL.
class CMariaDbBackEnd final : public COdbcBackEnd {
public:
    using COdbcBackEnd::COdbcBackEnd;

    SqlDialect Dialect() const override { return SqlDialect::MariaDb; }
    std::unique_ptr<CDatabaseBackEnd> Recognised(CHbRSetConnection& /*connection*/) const override { return nullptr; }
    std::vector<std::string> SessionStatements() const override;
    std::string Limit(std::size_t rows) const override;   // LIMIT, not the standard
    // Qt's ODBC driver counts a bound text's terminating NUL into its length; MariaDB
    // keeps that NUL as a last character, so each placeholder drops it again.
    std::string ExactPlaceholders(std::string_view sql) const override;
    // The driver takes one statement per call: the statements go as one compound
    // statement that is its own transaction.
    void RunAsOneTransaction(CHbRSetDatabase& db, const std::vector<std::string>& statements,
                             const std::vector<std::string>& params) override;
    std::string SizeQuery() const override;
    std::string TablesQuery() const override
    {
        return "SELECT TABLE_NAME FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE()";
    }
    bool ComparesAsSqlite(const CHbRSetDatabase& db) const override;

private:
    // The driver ignores the login time-out set as a connection attribute and takes
    // it from the connection string alone.
    std::string DriverOptions() const override;
    std::string LockWaitStatement(std::chrono::milliseconds wait) const override;
};
