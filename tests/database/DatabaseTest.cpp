#include "BoundStatement.h"
#include "CommitThread.h"
#include "DBException.h"
#include "Database.h"
#include "DatabaseBackEnd.h"
#include "DatabaseConnections.h"
#include "DialogFixture.h"
#include "HbRSet.h"
#include "HbRSetConnection.h"
#include "Loeschkonzept.h"
#include "Mb.h"
#include "SeamScope.h"
#include "SqliteConnection.h"
#include "TrialCopy.h"
#include "VqBeh.h"
#include "VqFakt.h"
#include "VqMandant.h"
#include "VqPat.h"
#include "WindowServing.h"
#include <QSqlDatabase>
#include <QString>
#include <QTimer>
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <ranges>
#include <sqlite3.h>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using Texts = std::vector<std::string>;

// A fresh empty practice with the shared connections open; messages and trace
// entries are captured.
class DatabaseTest : public DialogFixture {
protected:
    void SetUp() override { ASSERT_TRUE(OpenDatabase(2)); }

    // The current row's columns joined by '|'; of it and every row after it, walking with Next.
    static std::string Row(const CHbRSet& rows, const Texts& columns)
    {
        std::string row;
        for (const std::string& column : columns)
            row += "|" + rows.GetField(column);
        return row.substr(1);
    }

    // "table|operation|text" of the CDBException the call throws.
    template <class Call> static std::string Thrown(Call call)
    {
        try {
            call();
        } catch (const CDBException& error) {
            return error.Table() + "|" + error.Operation() + "|" + error.ErrorText();
        }
        return "no exception";
    }

    static Texts Walk(CHbRSet& rows, const Texts& columns)
    {
        Texts walked;
        do
            walked.push_back(Row(rows, columns));
        while (rows.Next() == 0);
        return walked;
    }

    TestPractice& practice = Practice();
};

TEST_F(DatabaseTest, MissingOrBrokenPracticesAreNamedNotCreatedAndReported)
{
    const auto OpenError = [](const std::string& connect, bool readOnly = false) {
        CHbRSetDatabase db;
        try {
            db.Open(nullptr, false, readOnly, connect, true);
        } catch (const CDBException& error) {
            return error.ErrorText() + (db.IsOpen() ? " (left open)" : "");
        }
        return std::string("opened");
    };
    EXPECT_EQ("wal", practice.Scalar("PRAGMA journal_mode"));
    // Connections still open end with the owner they were opened under, their Qt
    // connections gone; a writer that shares the program's writer leaves that one open.
    CHbRSetDatabase reader;
    CHbRSetDatabase writer;
    {
        const CDatabaseConnections owner;
        reader.Open(nullptr, false, true, "sqlite:praxis.db", true);
        writer.Open(nullptr, false, false, "sqlite:praxis.db", true);
    }
    EXPECT_FALSE(reader.IsOpen() || writer.IsOpen());
    EXPECT_FALSE(QSqlDatabase::contains(QString::fromStdString(reader.ConnectionName())));
    EXPECT_TRUE(dbDatabase.IsOpen());
    const QString name = QString::fromStdString(dbDatabase.ConnectionName());
    CloseDatabase();
    EXPECT_FALSE(QSqlDatabase::contains(name));
    // A missing database file, settings file or practice folder is named; nothing is
    // created, and a missing settings file is not taken for a missing connection.
    const std::string folder = practice.Folder() + "/";
    practice.Set("Datenbank", "Verbindung", "sqlite:alt/praxis.db");
    EXPECT_FALSE(OpenDatabase(2));
    EXPECT_FALSE(dbDatabase.IsOpen() || dbDatabaseRO.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(folder + "alt/praxis.db"));
    std::filesystem::rename(folder + "vqparams.ini", folder + "vqparams.alt");
    EXPECT_FALSE(OpenDatabase(2));
    ::setenv("VQ_PRAXIS", (folder + "fehlt").c_str(), 1);
    EXPECT_FALSE(OpenDatabase(2));
    ::setenv("VQ_PRAXIS", practice.Folder().c_str(), 1);
    const std::string cannot = "Halt: Die Praxisdatenbank kann nicht geöffnet werden:\n";
    EXPECT_EQ(MessageLines(), (Texts{cannot + "Die Datenbankdatei " + folder + "alt/praxis.db ist nicht vorhanden.",
                                     cannot + "Die Datei " + folder + "vqparams.ini gibt es nicht.",
                                     cannot + "Den Praxisordner " + folder + "fehlt/ gibt es nicht."}));

    practice.WriteFile("kaputt.db", std::string(4096, 'x'));
    const std::string broken =
        "Die Datenbankdatei " + practice.Folder() + "/kaputt.db kann nicht geöffnet werden: file is not a database";
    EXPECT_EQ(broken, OpenError("sqlite:kaputt.db"));
    EXPECT_EQ(broken, OpenError("sqlite:kaputt.db", true));
    EXPECT_EQ("Die Datenbankverbindung ist weder eine SQLite-Datei noch eine ODBC-Verbindung.", OpenError("mysql:x"));
    // The driver's own words follow; neither the connect text nor the password may.
    const std::string error = OpenError("odbc:DRIVER={Kein Treiber};SERVER=db.praxis;DATABASE=praxis;PWD={ge;heim}");
    const std::string prefix = "Der Datenbankserver db.praxis (Datenbank praxis) ist nicht erreichbar: ";
    EXPECT_EQ(prefix, error.substr(0, prefix.size()));
    EXPECT_EQ(std::string::npos, error.find("heim"));
    EXPECT_EQ(std::string::npos, error.find("DRIVER="));

    // An empty file stays empty, a database without the practice's tables is named as such.
    practice.WriteFile("leer.db", "");
    EXPECT_EQ("Die Datenbankdatei " + practice.Folder() + "/leer.db ist keine Praxisdatenbank.", OpenError("sqlite:leer.db"));
    EXPECT_EQ(0u, std::filesystem::file_size(practice.Folder() + "/leer.db"));
    practice.Exec("ALTER TABLE BEH RENAME TO BEH_ALT");
    EXPECT_EQ("Die Datenbankdatei " + practice.Folder() + "/praxis.db ist keine Praxisdatenbank.",
              OpenError("sqlite:praxis.db", true));
}

// Each connect text gets the ways of its engine: paging, placeholders that bind a text
// exactly, session statements. A driver is known by its name in any spelling; a server
// the program does not know gets standard SQL and nothing of PostgreSQL's.
TEST_F(DatabaseTest, EachConnectTextGetsTheBackEndOfItsEngine)
{
    const auto ways = [](const std::string& connect) {
        const std::unique_ptr<CDatabaseBackEnd> backEnd = CDatabaseBackEnd::ForConnect(connect);
        std::string text = backEnd->Limit(5) + "|" + backEnd->ExactPlaceholders("A=? AND B='?'");
        for (const std::string& statement : backEnd->SessionStatements())
            text += "|" + statement;
        return text;
    };
    const std::string standard = " OFFSET 0 ROWS FETCH NEXT 5 ROWS ONLY|A=? AND B='?'";
    const std::string postgreSql = standard + "|SET standard_conforming_strings = on";
    const std::string mariaDb = " LIMIT 5|A=TRIM(TRAILING CHAR(0 USING utf8mb4) FROM ?) AND B='?'"
                                "|SET SESSION sql_mode='STRICT_ALL_TABLES,NO_BACKSLASH_ESCAPES,ANSI_QUOTES,"
                                "PIPES_AS_CONCAT,NO_ENGINE_SUBSTITUTION'|SET SESSION TRANSACTION ISOLATION LEVEL READ COMMITTED";
    const std::pair<std::string, std::string> cases[] = {
        {"sqlite:praxis.db", " LIMIT 5|A=? AND B='?'"},
        {"odbc:DRIVER={PostgreSQL Unicode};SERVER=db", postgreSql},
        {"odbc:Server=db;driver = {postgresql ansi}", postgreSql},
        {"odbc:DRIVER={MariaDB ODBC 3.1 Driver};SERVER=db", mariaDb},
        {"odbc:DRIVER={MySQL ODBC 8.0 Unicode Driver};SERVER=db", mariaDb},
        {"odbc:DRIVER={ODBC Driver 18 for SQL Server};SERVER=db", standard},
        {"odbc:DSN=Unbekannt", standard}};
    for (const auto& [connect, expected] : cases)
        EXPECT_EQ(expected, ways(connect)) << connect;
}

TEST_F(DatabaseTest, LookupsMatchTheAssignedLeadingKeyFieldsInTextOrderBindKeysAndFail)
{
    practice.InsertRows("FAKT", "MDID|PATNR|LFDFAKT",
                        {"02|000002|1", "01|000002|1", "01|000001|2", "01|000001|10", "01|000003|1", "02|000001|1"});
    CVqFakt fakt(&dbDatabase);
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ((Texts{"01|000001|10", "01|000001|2", "01|000002|1", "01|000003|1", "02|000001|1", "02|000002|1"}),
              Walk(fakt, {"MDID", "PATNR", "LFDFAKT"}));
    fakt.SetField("MDID", "01");
    fakt.SetField("LFDFAKT", "1");   // after the gap at PATNR: not used
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ((Texts{"000001", "000001", "000002", "000003"}), Walk(fakt, {"PATNR"}));

    fakt.ClearAll();
    fakt.SetField("MDID", "01");
    fakt.SetField("PATNR", "000001");
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ((Texts{"10", "2"}), Walk(fakt, {"LFDFAKT"}));
    EXPECT_NE(0, fakt.GetByK1(0));   // loading rows assigned nothing: the whole key is missing

    CVqMandant mandant(&dbDatabase);
    EXPECT_NE(0, mandant.Delete());   // no row is current
    practice.Exec("DROP TABLE MANDANT");
    EXPECT_EQ("MANDANT|GetByK1|no such table: MANDANT", Thrown([&] { mandant.GetByK1(2); }));
    EXPECT_THROW(mandant.GetField("NOSUCHCOLUMN"), std::out_of_range);

    EXPECT_EQ("O''Neil''''s", CHbRSet::DoQuotes("O'Neil''s"));
    practice.InsertRows("PAT", "PATNR", {"12'3", "12' OR '1'='1"});
    CVqPat pat(&dbDatabase);
    pat.SetField("PATNR", "12'3");
    ASSERT_EQ(0, pat.GetByK1(0));
    EXPECT_NE(0, pat.Delete());   // it was the only row of the selection
    EXPECT_EQ("12' OR '1'='1||||\n", practice.Dump("PAT"));
}

// Two patients' services, 600 rows of a two-column key: three pages.
TEST_F(DatabaseTest, WalksCrossPagesSeeOtherConnectionsCommitsAndDeleteMovesOn)
{
    Texts all, second;
    for (int i = 1000001; i <= 1000300; ++i) {
        all.push_back("000001|" + std::to_string(i).substr(1));
        second.push_back("000002|" + std::to_string(i).substr(1));
    }
    practice.InsertRows("BEH", "PATNR|LFDBEH", second);
    practice.InsertRows("BEH", "PATNR|LFDBEH", all);
    all.insert(all.end(), second.begin(), second.end());
    CVqBeh reader(&dbDatabaseRO);
    reader.SetField("PATNR", "000002");
    ASSERT_EQ(0, reader.GetByK1(2));
    EXPECT_EQ(second, Walk(reader, {"PATNR", "LFDBEH"}));
    ASSERT_EQ(0, reader.GetAll());
    // The read-only connection deletes nothing; the row stays current.
    EXPECT_EQ("BEH|Delete|attempt to write a readonly database", Thrown([&] { reader.Delete(); }));
    // Beyond the first page: the walk holds neither a lock nor a snapshot.
    dbDatabase.InTransaction([] {
        dbDatabase.ExecuteSQL("DELETE FROM BEH WHERE PATNR='000002' AND LFDBEH='000100'");
        dbDatabase.ExecuteSQL("INSERT INTO BEH (PATNR, LFDBEH) VALUES ('000003', '000001')");
    });
    all.erase(all.begin() + 399);
    all.push_back("000003|000001");
    EXPECT_EQ(all, Walk(reader, {"PATNR", "LFDBEH"}));

    // Every third service goes while walking; the walk still meets every service once.
    CVqBeh beh(&dbDatabase);
    ASSERT_EQ(0, beh.GetAll());
    Texts visited;
    do
        visited.push_back(Row(beh, {"PATNR", "LFDBEH"}));
    while ((visited.size() % 3 == 0 ? beh.Delete() : beh.Next()) == 0);
    EXPECT_EQ(all, visited);
    std::size_t position = 0;
    std::erase_if(all, [&position](const std::string&) { return ++position % 3 == 0; });
    ASSERT_EQ(0, beh.GetAll());
    EXPECT_EQ(all, Walk(beh, {"PATNR", "LFDBEH"}));
}

// A lock another client holds is waited for with the window served (the timer that
// ends the lock only fires while events are pumped); held past the wait, the
// operation fails with the database's text.
TEST_F(DatabaseTest, LocksAreWaitedForWithTheWindowServedUpToTheLimit)
{
    practice.InsertRows("PAT", "PATNR", {"000001", "000002"});
    std::optional<CSeamScope<seam::LockWait>> lockWait;
    lockWait.emplace(std::chrono::milliseconds(2000));
    CVqPat pat(&dbDatabase);
    ASSERT_EQ(0, pat.GetByK1(2));
    practice.Exec("BEGIN IMMEDIATE");
    QTimer::singleShot(200, [this] { practice.Exec("COMMIT"); });
    EXPECT_EQ(0, pat.Delete());
    EXPECT_EQ("000002||||\n", practice.Dump("PAT"));

    lockWait.emplace(std::chrono::milliseconds(300));
    practice.Exec("BEGIN IMMEDIATE");
    EXPECT_EQ("PAT|Delete|database is locked", Thrown([&] { pat.Delete(); }));
    practice.Exec("COMMIT");
    EXPECT_EQ("000002||||\n", practice.Dump("PAT"));
}

// A trial's changes compare each key's state before the trial with its state after,
// whatever happened to it in between, whichever connection did it.
TEST_F(DatabaseTest, TrialChangesCompareEachKeysFirstStateWithItsLast)
{
    practice.InsertRows("BEH", "PATNR|LFDBEH|LEBID", {"1|1|a", "1|2|a"});
    const std::string row1 = " WHERE PATNR='1' AND LFDBEH='1'";
    const std::pair<std::string, std::vector<STableChanges>> cases[] = {
        {"UPDATE BEH SET LEBID='b'" + row1 + "; UPDATE BEH SET LEBID='a'" + row1, {}},
        {"UPDATE BEH SET LEBID='b'" + row1 + "; UPDATE BEH SET LEBID='c'" + row1, {{"BEH", 0, 1, 0}}},
        {"DELETE FROM BEH" + row1 + "; INSERT INTO BEH (PATNR, LFDBEH, LEBID) VALUES ('1', '1', 'a')", {}},
        {"INSERT INTO BEH (PATNR, LFDBEH) VALUES ('2', '1'); DELETE FROM BEH WHERE PATNR='2'", {}},
        {"INSERT INTO BEH (PATNR, LFDBEH) VALUES ('2', '1'); UPDATE BEH SET LEBID='b' WHERE PATNR='2'", {{"BEH", 0, 0, 1}}},
        {"UPDATE BEH SET LFDBEH='3'" + row1, {{"BEH", 1, 0, 1}}},
        {"DELETE FROM BEH WHERE PATNR='1'", {{"BEH", 2, 0, 0}}},
    };
    for (const auto& [statements, changes] : cases) {
        const CTrialCopy copy(dbDatabase);
        const std::string connect = copy.ConnectText();
        const SqliteConnection db(connect.substr(connect.find(':') + 1), SQLITE_OPEN_READWRITE);
        ASSERT_EQ(SQLITE_OK, sqlite3_exec(db.Handle(), statements.c_str(), nullptr, nullptr, nullptr)) << statements;
        EXPECT_EQ(changes, copy.Changes()) << statements;
    }
}

// During a run a long change's commit runs on the serving thread, whether the change
// comes as text or as a kept statement; a short one's where it is made.
TEST_F(DatabaseTest, LongChangesCommitOnTheServingThreadDuringARun)
{
    practice.Exec("INSERT INTO BEH (PATNR, LFDBEH) WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N "
                  "WHERE I < 200000) SELECT '1', I FROM N");
    std::optional<std::thread::id> committedOn;
    RecordCommitThread(dbDatabase.Connection().SqliteHandle(), committedOn);
    const CWindowServing run;
    const std::pair<std::function<void()>, bool> cases[] = {
        {[] { dbDatabase.ExecuteSQL("UPDATE BEH SET LEBID='x' WHERE PATNR='1'"); }, true},
        {[] { dbDatabase.ExecuteSQL("UPDATE BEH SET LEBID='y' WHERE PATNR='1' AND LFDBEH='1'"); }, false},
        {[] { RunBound(dbDatabase, "DELETE FROM BEH WHERE LEBID=?", {"x"}, {}); }, true},
    };
    for (const auto& [change, served] : cases) {
        committedOn.reset();
        change();
        ASSERT_TRUE(committedOn.has_value());
        EXPECT_EQ(*committedOn != std::this_thread::get_id(), served);
    }
    EXPECT_EQ("1|1|y|||||||\n", practice.Dump("BEH"));
}

TEST_F(DatabaseTest, PatientsGoWholeOrNotAtAllAndOnlyFromTheirOwnFolder)
{
    // Two patients with a row in every table that has a PATNR (every key column holds
    // the patient number, so rows never collide) and a folder each.
    const auto hasPatNr = [](const TableDef& table) { return std::ranges::count(table.columns, "PATNR") > 0; };
    for (const std::string patNr : {"000001", "000002"}) {
        for (const TableDef& table : PracticeSchema() | std::views::filter(hasPatNr)) {
            std::map<std::string, std::string> row{{"PATNR", patNr}};
            for (const std::string& column : table.primaryKey)
                row[column] = patNr;
            practice.Insert(table.name, row);
        }
        practice.WriteFile("daten/pat/" + patNr + "/befund.txt");
    }
    const auto remove = [this](const std::string& patNr, CHbRSetDatabase& db) {
        CVqPat pat(&dbDatabaseRO);
        pat.SetField("PATNR", patNr);
        return CLoeschkonzept().DeletePatComplete(db, SDelPat(pat), practice.Folder() + "/daten/", true);
    };

    // A folder that cannot be moved aside keeps every row; a failed transaction moves it back.
    const auto before = practice.DumpAll();
    practice.WriteFile("daten/Kelvor.geloescht");
    EXPECT_FALSE(remove("000001", dbDatabase));
    std::filesystem::remove(practice.DataPath() + "Kelvor.geloescht");
    practice.Exec("CREATE TRIGGER KEEP BEFORE DELETE ON DOKUMENT BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
    EXPECT_FALSE(remove("000001", dbDatabase));
    EXPECT_FALSE(remove("000002", dbDatabaseRO));
    EXPECT_EQ(before, practice.DumpAll());
    EXPECT_TRUE(practice.Exists("daten/pat/000001/befund.txt") && practice.Exists("daten/pat/000002/befund.txt"));
    EXPECT_EQ((Texts{"CLoeschkonzept: cannot move " + practice.DataPath() + "pat/000001",
                     "CLoeschkonzept::DeletePatComplete 000001: gesperrt",
                     "CLoeschkonzept::DeletePatComplete 000002: attempt to write a readonly database"}),
              m_traces);

    practice.Exec("DROP TRIGGER KEEP");
    ASSERT_TRUE(remove("000001", dbDatabase));
    // Nothing of the holding folder remains.
    EXPECT_FALSE(practice.Exists("daten/pat/000001") || practice.Exists("daten/Kelvor.geloescht"));
    // The finance journal and the transfer records are the practice's books and stay.
    const Texts removed = {"BEH",    "BILL",   "FAKT",        "CASH", "ABEFUND", "KFOBEFUND",  "ROEBEFUND", "ARCHIV", "REZEPT",
                           "PATINFO", "LBLOCK", "LBLOCKENTRY", "GIPS", "ZPLAN",   "WARTELISTE", "WORKFLOW",  "DOKUMENT"};
    std::map<std::string, std::string> expected, actual;
    for (const TableDef& table : PracticeSchema() | std::views::filter(hasPatNr)) {
        expected[table.name] = std::ranges::count(removed, table.name) ? "000002" : "000001,000002";
        actual[table.name] = practice.Scalar("SELECT group_concat(PATNR) FROM " + table.name);
    }
    EXPECT_EQ(expected, actual);

    // Numbers that are no plain name touch neither rows nor files; the whole key counts,
    // a NUL included (the file system would read "..\0" as "..").
    practice.WriteFile("daten/pat/x");
    practice.WriteFile("daten/andere/y");
    practice.Insert("DOKUMENT", {{"LFDDOKUMENT", "7"}, {"DOKUMENTART", "v"}, {"PATNR", ""}});
    const auto tree = practice.ListTree();
    const auto rows = practice.DumpAll();
    using namespace std::string_literals;
    for (const std::string& patNr : {""s, "."s, ".."s, "../daten"s, "a\\.."s, "000002/.."s, "..\0"s, "\0"s, "a\x7F"s, "a\tb"s}) {
        EXPECT_FALSE(remove(patNr, dbDatabase)) << patNr;
        EXPECT_EQ(tree, practice.ListTree()) << patNr;
        EXPECT_EQ(rows, practice.DumpAll()) << patNr;
    }
    EXPECT_TRUE(remove("000003", dbDatabase));
    EXPECT_EQ(tree, practice.ListTree());
}

TEST_F(DatabaseTest, BillsAreMadeForServicesWithoutTheirBillingCase)
{
    practice.InsertRows("LEB", "LEBID|MDIDK|MDIDP", {"001|01|02"});
    // Key-1 order is text order: LFDBEH "10" comes before "9".
    practice.InsertRows("BEH", "PATNR|LFDBEH|LEBID|LFDPATBILL|KZPRIVAT",
                        {"000001|9|001|1|0", "000001|10|001|1|1", "000001|11|001|2|0", "000001|12|001||1",
                         "000002|1|007|1|1", "000002|2|001|3|x", "000003|1|001|1|1"});
    practice.InsertRows("BILL", "MDID|PATNR|LFDPATBILL|ABRTYP|QUARTAL", {"09|000003|1|Z|20241"});
    const std::string bills = "02|000001|1|P|||||||\n01|000001|2|k|||||||\n|000002|1|P|||||||\n"
                              "01|000002|3|k|||||||\n09|000003|1|Z|||||||20241\n";
    for (const char* selection : {"00014", ""}) {
        EXPECT_TRUE(CMb().MakeBillsForAllPat(selection, ""));
        EXPECT_EQ(bills, practice.Dump("BILL")) << selection;
    }
}
