// Treater mode end to end: two treaters handed to a replacement, the run's lines,
// statements and log, failing statements, and what "Nochmal?" leads to.
#include "Database.h"
#include "KelvorDlg.h"
#include "Schema.h"
#include "ScenarioFixture.h"
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <utility>

namespace {
// Every column that names a treater and is handed to the replacement, in the order of the run.
const std::vector<std::pair<std::string, std::string>> kTreaterColumns = {
    {"WORKSTATION", "PHLEBID"}, {"SBBESTELLUNG", "LEBID"}, {"REZEPT", "LEBID"},     {"REZEPT", "LEBID2"},
    {"WORKFLOW", "LEBID"},      {"PAT", "STAMMLEBID"},    {"PAT", "IPLEBID"},      {"PATINFO", "LEBID"},
    {"MACENTRY", "STDLEBID"},   {"BEH", "LEBID"},         {"GIPS", "LEBID"},       {"ROEBEFUND", "PERFORMINGLEBID"},
    {"ZPLAN", "LEBID"},         {"LBLOCKENTRY", "LEBID"}, {"LBLOCK", "LEBID"},     {"CMD", "LEBID"},
    {"GLBLOCENTRY", "LEBID"},   {"GLBLOC", "LEBID"},      {"WARTELISTE", "LEBID"},
};

// A run's statements: each removed treater's, then the billing cases left without services.
std::vector<std::string> TreaterStatements(std::initializer_list<std::string> removed)
{
    std::vector<std::string> statements;
    for (const std::string& treater : removed) {
        for (const auto& [table, column] : kTreaterColumns)
            statements.push_back("UPDATE " + table + " SET " + column + "='001' WHERE " + column + "='" + treater + "'");
        statements.push_back("DELETE FROM LEB WHERE LEBID='" + treater + "'");
        statements.push_back("UPDATE NUMBERPOOL SET LEBID = (SELECT MAX(LEBID) FROM LEB)");
    }
    statements.push_back("DELETE FROM BILL WHERE NOT EXISTS (SELECT * FROM BEH WHERE BEH.PATNR=BILL.PATNR AND "
                         "BEH.LFDPATBILL=BILL.LFDPATBILL)");
    return statements;
}

class TreaterRunTest : public ScenarioFixture {
protected:
    void SetUp() override
    {
        AddOwnersAndTreaters();
        // One row per treater column for each of 002, 003 and 004, with its own key.
        int key = 0;
        for (const auto& [table, column] : kTreaterColumns) {
            for (const std::string lebId : {"002", "003", "004"}) {
                std::map<std::string, std::string> row{{column, lebId}};
                for (const std::string& keyColumn : SchemaTable(table).primaryKey)
                    row[keyColumn] = std::to_string(++key);
                m_practice.Insert(table, row);
            }
        }
    }
};

// 002 and 004 (list items 1 and 3) go to 001, without patient or service removal;
// after yes to "Nochmal?" the list is rebuilt without them and nothing checked, and
// 1011 is not checked again: the second run removes exactly 003, the treater it shows.
// CMD is missing: its statements are traced and each run goes on.
TEST_F(TreaterRunTest, TreatersAreHandedToTheReplacementOneAfterTheOtherAndAgainAfterYes)
{
    m_practice.Exec("DROP TABLE CMD");
    const std::string pass = R"js({"checkItem": 1018, "index": 1, "value": true},
        {"select": 1002, "text": "001 - 11 (Dr. Anna Berger)"})js";
    Run(R"js({"answers": [10, 10, 6, 10, 7], "actions": [)js" + pass + R"js(, {"checkItem": 1018, "index": 3, "value": true},
        {"check": 1011, "value": false}, {"click": 1003}, )js" + pass + R"js(, {"click": 1003}]})js");

    const std::string confirm = "SollIch: Soll der Löschvorgang jetzt gestartet werden? -> 10";
    EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 10", confirm, "MessageBox: Nochmal? -> 6",
                                                    confirm, "MessageBox: Nochmal? -> 7"}));
    const std::string failed = " (Einzelheiten in Trace.log).";
    EXPECT_EQ(Memo(), (std::vector<std::string>{"Lösche Behandler 002", "Lösche Behandler...", "Lösche Behandler 004",
                                                "Lösche Behandler...", "Achtung: 2 SQL-Anweisungen sind fehlgeschlagen" + failed,
                                                "FERTIG!", "", "Lösche Behandler 003", "Lösche Behandler...",
                                                "Achtung: 1 SQL-Anweisung ist fehlgeschlagen" + failed, "FERTIG!"}));

    std::vector<std::string> statements = TreaterStatements({"002", "004"});
    std::ranges::copy(TreaterStatements({"003"}), std::back_inserter(statements));
    EXPECT_EQ(Statements(), statements);
    // Each database names the missing table in its own words.
    const std::map<SqlDialect, std::string> missingTable = {
        {SqlDialect::Sqlite, "no such table: CMD"},
        {SqlDialect::PostgreSql, "ERROR: relation \"cmd\" does not exist;\nError while executing the query"},
        {SqlDialect::MariaDb, "Table '" + m_practice.ServerDatabase() + ".CMD' doesn't exist"}};
    std::vector<std::string> traces;
    for (const char* treater : {"002", "004", "003"})
        traces.push_back("CKelvorDlg::ExecuteSQL: UPDATE CMD SET LEBID='001' WHERE LEBID='" + std::string(treater) + "'\n"
                         + missingTable.at(m_practice.Dialect()));
    EXPECT_EQ(TestPractice::WithoutVersions(Trace()), traces);

    EXPECT_EQ(m_practice.Dump("LEB"), "001|01|01|11|\n");
    EXPECT_EQ(m_practice.Scalar("SELECT LEBID FROM NUMBERPOOL"), "001");

    // Answered no: the run is over and the dialog stays unusable.
    EXPECT_EQ(Flags("enabled", {IDC_REPLACEMENT, IDC_START, IDC_SERVICES_BY_LINE_TREATER, IDC_PATIENTS_BY_MAIN_TREATER,
                                IDC_PATIENTS_WITHOUT_SERVICES, IDC_TREATER_LIST}),
              "0000 00");
    EXPECT_EQ(Flags("visible", {IDC_MEMO, IDC_TREATER_LIST}), "10");
    // After the dialog has closed the database is closed too.
    EXPECT_FALSE(dbDatabase.IsOpen());
    EXPECT_FALSE(dbDatabaseRO.IsOpen());

    // Keys beyond ASCII: the replacement is taken from its item by characters ("Ü12",
    // Ü is two bytes), and the log names the removed "0ü5" in its own code page.
    m_practice.Insert("LEB", {{"LEBID", "0ü5"}, {"MDIDK", "01"}, {"MDIDP", "01"}});
    m_practice.Insert("LEB", {{"LEBID", "Ü12"}, {"MDIDK", "01"}, {"MDIDP", "01"}, {"PERSONALID", "11"}});
    std::filesystem::remove(m_practice.LogPath() + "Kelvor.log");
    Run(R"js({"answers": [10, 10, 7], "actions": [{"checkItem": 1018, "index": 1, "value": true},
        {"select": 1002, "text": "Ü12 - 11 (Dr. Anna Berger)"}, {"click": 1003}]})js");
    EXPECT_EQ(Statements().front(), "UPDATE WORKSTATION SET PHLEBID='Ü12' WHERE PHLEBID='0ü5'");
    EXPECT_EQ(LogBytes(), "L\xF6sche Behandler 0\xFC" "5\nL\xF6sche Patienten gem\xE4\xDF Stammbehandler...\n"
                          "L\xF6sche Behandler...\nAchtung: 1 SQL-Anweisung ist fehlgeschlagen (Einzelheiten in Trace.log).\n"
                          "FERTIG!\n");
}
}  // namespace
