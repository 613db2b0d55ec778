// Connections to a server: the back end its name chooses; the dialog's own connection
// through a data source, session statements of other servers, literals with
// backslashes, autocommit after a failed statement, a login that never ends, a server
// that goes away between two steps, a patient's deletes as one transaction.
#include "BoundStatement.h"
#include "Database.h"
#include "DBException.h"
#include "DatabaseBackEnd.h"
#include "HbRSetDatabase.h"
#include "PracticeGenerator.h"
#include "Schema.h"
#include "DialogFixture.h"
#include "VqMandant.h"
#include "Windows1252.h"
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A dialog fixture whose practice lives on the test server; skipped without one.
class ServerFixture : public DialogFixture {
protected:
    void SetUp() override
    {
        if (TestPractice::ServerConnect().empty())
            GTEST_SKIP() << "no test server (KELVOR_TEST_SERVER)";
    }

    // What the program sees of a server that stops: every connection to the
    // practice database is cut and no new one is accepted. Other tests' databases
    // on the same server go on.
    void TakeServerAway()
    {
        const std::string name = Practice().ServerDatabase();
        if (TestPractice::ServerDialect() == SqlDialect::MariaDb) {
            // MariaDB cannot refuse the logins of one database: its connections are cut.
            Practice().CutServerConnections();
            return;
        }
        TestPractice::ExecOnServer("ALTER DATABASE " + name + " ALLOW_CONNECTIONS false");
        TestPractice::ExecOnServer("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname='" + name + "'");
    }
};

// What each server says about a column it does not have.
std::string NoSuchColumn()
{
    return TestPractice::ServerDialect() == SqlDialect::MariaDb
        ? "Unknown column 'NOSUCHCOLUMN' in 'WHERE'"
        : "ERROR: column \"nosuchcolumn\" does not exist;\nError while executing the query";
}

// What each server says when the connections to its database are cut: to the first
// statement, to every one after it, and to the first lookup on another connection.
struct LostConnection {
    std::string first;
    std::string next;
    std::string lookup;
};

LostConnection LostConnectionTexts()
{
    if (TestPractice::ServerDialect() == SqlDialect::MariaDb)
        return {"Lost connection to server during query", "Connection not open", "Lost connection to server during query"};
    return {"FATAL: terminating connection due to administrator command;\nThe connection has been lost",
            "SQLExecDirectW unable due to the connection lost",
            "FATAL:  terminating connection due to administrator command\nserver closed the connection unexpectedly\n"
            "\tThis probably means the server terminated abnormally\n\tbefore or while processing the request.\n;\n"
            "Error while preparing parameters"};
}

// One attribute of the test server's connection string, braces removed.
std::string ServerAttribute(const std::string& key)
{
    std::smatch match;
    const std::string connect = TestPractice::ServerConnect();
    return std::regex_search(connect, match, std::regex("(^|;)" + key + "=\\{?([^;}]*)")) ? match[2].str() : "";
}

// Sets up a data source of the test server's driver for this process, as a technician
// sets one up in odbc.ini (each driver reads its own name of the server). The driver
// manager may keep what it read of a file: each data source is added to the one file
// under a name of its own.
std::string AddDataSource(const std::string& server, const std::string& port, const std::string& database)
{
    static const std::string file = ::testing::TempDir() + "kelvor-odbc-" + std::to_string(::getpid()) + ".ini";
    ::setenv("ODBCINI", file.c_str(), 1);
    const std::string name = "Praxis" + port;
    std::ofstream(file, std::ios::app) << "[" << name << "]\nDriver=" << ServerAttribute("DRIVER") << "\nServer=" << server
                                       << "\nServername=" << server << "\nPort=" << port << "\nDatabase=" << database << "\n";
    return name;
}

// The dialog's own connection as a technician sets a server up: the connect text names
// a data source of the driver manager, the login beside it, and the server reads a
// backslash in a literal as an escape (PostgreSQL set to the old default, MariaDB by
// default). Every literal is taken as it stands, a failed statement spoils no other,
// and each one commits by itself.
TEST_F(ServerFixture, AConnectionThroughADataSourceTakesEachStatementAsItStands)
{
    for (const char* key : {"a\\b", "ab", "x\\"})
        Practice().Insert("MANDANT", {{"MDID", key}, {"NAME", key}});
    if (TestPractice::ServerDialect() == SqlDialect::PostgreSql)
        TestPractice::ExecOnServer("ALTER DATABASE " + Practice().ServerDatabase() + " SET standard_conforming_strings = off");
    const std::string name = AddDataSource(ServerAttribute("SERVER"), ServerAttribute("PORT"), Practice().ServerDatabase());
    Practice().Set("Datenbank", "Verbindung",
                   "odbc:UID=" + ServerAttribute("UID") + ";DSN=" + name + ";PWD=" + ServerAttribute("PWD"));
    OpenDialog(false);
    // Neither date-format statement is this server's dialect: both fail without a trace.
    EXPECT_TRUE(m_traces.empty());
    EXPECT_FALSE(Dlg().ExecuteSQL("UPDATE MANDANT SET ORT = 'x' WHERE NOSUCHCOLUMN = '1'"));
    EXPECT_TRUE(Dlg().ExecuteSQL("DELETE FROM MANDANT WHERE MDID='a\\b'"));
    EXPECT_TRUE(Dlg().ExecuteSQL("UPDATE MANDANT SET ORT='Bonn' WHERE MDID='x\\'"));
    EXPECT_EQ(TestPractice::WithoutVersions(m_traces),
              (std::vector<std::string>{"CKelvorDlg::ExecuteSQL: UPDATE MANDANT SET ORT = 'x' WHERE NOSUCHCOLUMN = '1'\n"
                                        + NoSuchColumn()}));
    // Another connection sees the rows as changed.
    EXPECT_EQ(Practice().Dump("MANDANT"), "ab|ab|\nx\\|x\\|Bonn\n");
}

// The test server's connection string with its driver named by the driver's library,
// a name that names no engine.
std::string ByDriverLibrary()
{
    const std::string library = TestPractice::ServerDialect() == SqlDialect::MariaDb ? "libmaodbc.so" : "psqlodbcw.so";
    for (const auto& folder : std::filesystem::directory_iterator("/usr/lib"))
        if (const auto file = folder.path() / "odbc" / library; std::filesystem::exists(file))
            return std::regex_replace(TestPractice::ServerConnect(), std::regex("DRIVER=\\{[^}]*\\}"), "DRIVER=" + file.string());
    throw std::runtime_error("no " + library + " in /usr/lib/*/odbc");
}

// A driver the program does not know by name reaches a server it knows: the server's
// own name chooses the back end. The practice's tables compare as in SQLite until one
// column sorts by a language's rules.
TEST_F(ServerFixture, TheServerChoosesTheBackEndAndSaysWhetherItComparesAsSqlite)
{
    CHbRSetDatabase db;
    db.Open(nullptr, false, true, "odbc:" + ByDriverLibrary() + ";DATABASE=" + Practice().ServerDatabase(), true);
    EXPECT_EQ(db.BackEnd().SessionStatements(), TestPractice::ServerBackEnd().SessionStatements());
    EXPECT_EQ(db.BackEnd().Limit(1), TestPractice::ServerBackEnd().Limit(1));
    EXPECT_TRUE(db.BackEnd().ComparesAsSqlite(db));
    Practice().Exec(TestPractice::ServerDialect() == SqlDialect::MariaDb
                        ? "ALTER TABLE MANDANT MODIFY ORT VARCHAR(254) NOT NULL DEFAULT '' COLLATE utf8mb4_general_ci"
                        : "ALTER TABLE MANDANT ALTER COLUMN ORT TYPE VARCHAR(254) COLLATE \"de-x-icu\"");
    EXPECT_FALSE(db.BackEnd().ComparesAsSqlite(db));
}

// A server that accepts the connection and never answers, named in the connect text
// or in a data source: the open gives up.
TEST_F(ServerFixture, AServerThatNeverAnswersEndsTheOpenAfterTheLoginTimeOut)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string port = std::to_string(ntohs(address.sin_port));

    const std::string name = AddDataSource("127.0.0.1", port, "praxis");
    const std::pair<std::string, std::string> named[] = {
        {"DRIVER={" + ServerAttribute("DRIVER") + "};SERVER=127.0.0.1;PORT=" + port + ";DATABASE=praxis;UID=u;PWD=p",
         "127.0.0.1 (Datenbank praxis)"},
        {"DSN=" + name + ";UID=u;PWD=p", name}};
    for (const auto& [connect, description] : named) {
        CHbRSetDatabase db;
        const auto start = std::chrono::steady_clock::now();
        try {
            db.Open(nullptr, false, false, "odbc:" + connect, true);
            ADD_FAILURE() << "a server that never answers was opened";
        } catch (const CDBException& error) {
            EXPECT_EQ(error.ErrorText().rfind("Der Datenbankserver " + description + " ist nicht erreichbar: ", 0), 0u)
                << error.ErrorText();
        }
        // It waited for the server: a data source the driver manager cannot find fails at once.
        EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << connect;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << connect;
        EXPECT_FALSE(db.IsOpen());
    }
    ::close(listener);
}

// A patient's deletes, sent as one transaction, take the number as it stands: quotes,
// backslashes and umlauts, look-alikes kept. When the ninth fails, the server's own
// text says why and every row of that patient stays, also once the connection has
// committed the next patient.
TEST_F(ServerFixture, APatientsDeletesTakeTheNumberAsItStandsAndGoWholeOrNotAtAll)
{
    const std::vector<std::string> removed = {"O'Neil", "a\\b", "x\\", "Jürgen'\\"};
    const std::set<std::string> kept = {"ONeil", "O''Neil", "a\\\\b", "ab", "x", "Jürgen\\", "Jurgen'\\", "000009"};
    std::vector<std::string> patients = removed;
    patients.insert(patients.end(), kept.begin(), kept.end());
    std::vector<std::string> tables;
    std::vector<std::string> deletes;
    for (const TableDef& table : PracticeSchema()) {
        if (std::ranges::count(table.columns, "PATNR") == 0)
            continue;
        tables.push_back(table.name);
        deletes.push_back("DELETE FROM " + table.name + " WHERE PATNR=?");
        for (const std::string& patNr : patients) {
            std::map<std::string, std::string> row{{"PATNR", patNr}};
            for (const std::string& column : table.primaryKey)
                row[column] = patNr;
            Practice().Insert(table.name, row);
        }
    }
    CHbRSetDatabase db;
    db.Open(nullptr, false, false, "odbc:" + TestPractice::ServerConnect() + ";DATABASE=" + Practice().ServerDatabase(), true);
    for (const std::string& patNr : removed)
        RunAsOneTransaction(db, deletes, {patNr});

    ASSERT_EQ(tables.at(8), "REZEPT");
    Practice().Exec("ALTER TABLE REZEPT RENAME TO REZEPT_ALT");
    std::string error;
    try {
        RunAsOneTransaction(db, deletes, {"000009"});
    } catch (const CDBException& failure) {
        error = failure.ErrorText();
    }
    Practice().Exec("ALTER TABLE REZEPT_ALT RENAME TO REZEPT");
    RunAsOneTransaction(db, deletes, {"000010"});
    EXPECT_EQ(TestPractice::WithoutVersions({error}),
              std::vector<std::string>{TestPractice::ServerDialect() == SqlDialect::MariaDb
                                           ? "Table '" + Practice().ServerDatabase() + ".REZEPT' doesn't exist"
                                           : "ERROR: relation \"rezept\" does not exist;\nError while executing the query"});
    for (const std::string& table : tables) {
        std::set<std::string> left;
        for (const std::vector<std::string>& row : Practice().Query("SELECT PATNR FROM " + table))
            left.insert(row.at(0));
        EXPECT_EQ(left, kept) << table;
    }
}

// A generator run that fails after its first table leaves neither that table nor a
// practice folder, also where the server commits each CREATE on its own.
TEST_F(ServerFixture, AFailedGeneratorRunLeavesTheServerDatabaseAsItWas)
{
    Practice().Exec("DROP TABLE MANDANT");
    const std::string folder = Practice().Folder() + "-neu";
    PracticeOptions options;
    options.connect = "odbc:" + TestPractice::ServerConnect() + ";DATABASE=" + Practice().ServerDatabase();
    EXPECT_THROW(CreatePractice(folder, options), std::runtime_error);
    EXPECT_THROW(Practice().Count("MANDANT"), std::runtime_error);
    EXPECT_EQ(Practice().Count("LEB"), 0);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(ServerFixture, AServerThatGoesAwayBetweenTwoStepsFailsTheirStatementsAndTheLogStaysComplete)
{
    UsePractice(1, 40);
    OpenDialog(false);
    Dlg().m_strDeleteId = "02";
    Dlg().m_strReplacementId = "01";
    ASSERT_TRUE(Dlg().DeleteJournalEntries());
    ASSERT_TRUE(m_traces.empty());
    EXPECT_EQ(Practice().Count("FBUCHUNG", "MDID='02'"), 0);

    TakeServerAway();
    m_statements.clear();
    EXPECT_TRUE(Dlg().DeleteTransferRecords());
    std::vector<std::string> expected;
    for (const char* table : {"ZEHIT", "ZEHITLST", "PARHIT", "PARHITLST", "KBRHIT", "KBRHITLST"})
        expected.push_back(std::string("DELETE FROM ") + table + " WHERE MDID='02'");
    EXPECT_EQ(m_statements, expected);
    // The first statement learns that the server is gone, the others that the connection is.
    const LostConnection lost = LostConnectionTexts();
    std::vector<std::string> traces;
    for (const std::string& statement : expected)
        traces.push_back("CKelvorDlg::ExecuteSQL: " + statement + "\n" + (traces.empty() ? lost.first : lost.next));
    EXPECT_EQ(TestPractice::WithoutVersions(m_traces), traces);
    // A record-set lookup on the shared connection is a database error, not "no owners".
    CVqMandant owners(&dbDatabase, nullptr);
    try {
        owners.GetAll();
        ADD_FAILURE() << "the lookup on a lost connection did not throw";
    } catch (const CDBException& error) {
        EXPECT_EQ(TestPractice::WithoutVersions({error.Table() + "|" + error.Operation() + "|" + error.ErrorText()}),
                  std::vector<std::string>{"MANDANT|GetAll|" + lost.lookup});
    }

    const std::vector<std::string> memo = MemoLines();
    EXPECT_EQ(memo, (std::vector<std::string>{"Lösche FiBu-/Kassenbuch-TSE-Einträge...", "Lösche ZE-/PAR-/KBR-DTA..."}));
    std::string log;
    for (const std::string& line : memo)
        log += ToWindows1252(line) + "\n";
    EXPECT_EQ(Practice().Read("log/Kelvor.log"), log);
}

}  // namespace
