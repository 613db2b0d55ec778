#pragma once
#include "SqlDialect.h"
#include <map>
#include <string>
#include <vector>

class CDatabaseBackEnd;

// A fresh practice in its own temporary folder, removed again at the end. It sets
// VQ_PRAXIS to its folder, so the practice system's services find it.
//
// When KELVOR_TEST_SERVER holds an ODBC connection string (without DATABASE), the
// practice database is a fresh database on that server, dropped again at the end.
class TestPractice {
public:
    enum class Backend { FromEnvironment, Sqlite, Server };

    // An empty practice: settings, the whole schema without rows, folders.
    TestPractice();
    // A generated practice (seed, patients) from the practice generator.
    TestPractice(unsigned seed, long patients, Backend backend = Backend::FromEnvironment);
    ~TestPractice();
    TestPractice(const TestPractice&) = delete;
    TestPractice& operator=(const TestPractice&) = delete;

    const std::string& Folder() const { return m_folder; }
    std::string DataPath() const { return m_folder + "/daten/"; }
    std::string LogPath() const { return m_folder + "/log/"; }
    bool OnServer() const { return !m_serverDatabase.empty(); }
    const std::string& ServerDatabase() const { return m_serverDatabase; }
    // The ODBC connection string of the test server; empty without one.
    static std::string ServerConnect();
    // The test server's SQL, as the connection string names its driver.
    // The back end the program chooses for the test server.
    static const CDatabaseBackEnd& ServerBackEnd();
    static SqlDialect ServerDialect();
    // The SQL of this practice's database.
    SqlDialect Dialect() const { return OnServer() ? ServerDialect() : SqlDialect::Sqlite; }
    // One statement on the test server outside every practice database; throws std::runtime_error.
    static void ExecOnServer(const std::string& sql);
    // Drops a database of the test server, connections open on it or not.
    static void DropOnServer(const std::string& database);
    // Database error texts as a test expects them: without the versions MariaDB's driver
    // puts first, its own and the server's ("[ma-3.1.15][10.11.19-MariaDB]").
    static std::vector<std::string> WithoutVersions(std::vector<std::string> texts);

    // Runs on a private connection of the test; throws std::runtime_error on error.
    void Exec(const std::string& sql) const;
    // Cuts every other connection to the practice's server database, as a server that goes away does.
    void CutServerConnections() const;
    void Insert(const std::string& table, const std::map<std::string, std::string>& values) const;
    // Rows given as their fields joined by '|', in the columns named the same way ("PATNR|LFDBEH").
    void InsertRows(const std::string& table, const std::string& columns, const std::vector<std::string>& rows) const;
    std::vector<std::vector<std::string>> Query(const std::string& sql) const;
    std::string Scalar(const std::string& sql) const;  // first column of the first row
    long Count(const std::string& table, const std::string& where = {}) const;

    // Every row of a table (that the condition names) in primary-key order, one line
    // per row; and of every table.
    std::string Dump(const std::string& table, const std::string& where = {}) const;
    std::map<std::string, std::string> DumpAll() const;

    // Changes one value of the practice's settings file.
    void Set(const std::string& section, const std::string& name, const std::string& value) const;
    // Writes a file (creating folders; a path ending in '/' makes only the folder) below
    // the practice folder; path relative, '/' separated.
    void WriteFile(const std::string& relativePath, const std::string& content = "x") const;
    bool Exists(const std::string& relativePath) const;
    // The bytes of a file below the practice folder; empty when there is none.
    std::string Read(const std::string& relativePath) const;
    // Every file and folder below the practice folder, relative, sorted.
    std::vector<std::string> ListTree() const;

private:
    void Open();
    // A new empty database on the test server; the practice's connect text for it.
    std::string CreateServerDatabase();

    std::string m_folder;
    std::string m_serverDatabase;
    std::string m_connection;
    std::string m_previousPraxis;
};
