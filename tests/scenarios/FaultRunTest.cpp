// Runs on a practice that fails under them: a database error ends the run as failed
// with the message naming the table, and nothing is taken for "nothing found".
#include "ScenarioFixture.h"
#include <algorithm>

namespace {

// Owner 04 goes to 01 with its patients left without services.
const char* const kOwnerWithoutServices = R"js({"answers": [11, 10, 7], "actions": [
    {"select": 1001, "text": "04"}, {"select": 1002, "text": "01"}, {"check": 1017, "value": true},
    {"click": 1003}]})js";

class FaultRunTest : public ScenarioFixture {
protected:
    FaultRunTest() : ScenarioFixture(1, 60) {}

    // Each database's own words.
    std::string ErrorText(const std::string& sqlite, const std::string& postgreSql, const std::string& mariaDb) const
    {
        return m_practice.Dialect() == SqlDialect::Sqlite ? sqlite
            : m_practice.Dialect() == SqlDialect::MariaDb ? mariaDb
                                                          : postgreSql;
    }
};

TEST_F(FaultRunTest, AFailedServicesLookupEndsTheRunInsteadOfRemovingEveryPatient)
{
    const long patients = m_practice.Count("PAT");
    m_practice.Exec("ALTER TABLE BEH RENAME COLUMN PATNR TO PATNR_ALT");
    Run(kOwnerWithoutServices);
    const std::string text = ErrorText("no such column: PATNR",
                                       "ERROR: column \"patnr\" does not exist;\nError while preparing parameters",
                                       "Unknown column 'PATNR' in 'SELECT'");
    EXPECT_EQ(TestPractice::WithoutVersions(Messages()), (std::vector<std::string>{
                              "SollIch: Behandlermodus? -> 11",
                              "SollIch: Soll der Löschvorgang jetzt gestartet werden? -> 10",
                              "Halt: Datenbankfehler in Tabelle BEH:\n" + text +
                                  "\n\nDer Löschvorgang wurde abgebrochen. -> 1",
                              "MessageBox: Nochmal? -> 7"}));
    // The orphan statement reads BEH too: it fails, and is counted.
    EXPECT_EQ(Memo(), (std::vector<std::string>{"Lösche Praxisinhaber 04", "Lösche Patienten ohne Leistungen...",
                                                "Achtung: 1 SQL-Anweisung ist fehlgeschlagen (Einzelheiten in Trace.log).",
                                                "FEHLER!!!"}));
    EXPECT_EQ(m_practice.Count("PAT"), patients);
    EXPECT_EQ(TestPractice::WithoutVersions(Trace()).front(), "Datenbankfehler BEH GetByK1: " + text);
}

TEST_F(FaultRunTest, UnreadableListsAreSaidAndLeaveTheStartButtonDisabled)
{
    m_practice.Exec("ALTER TABLE MANDANT RENAME TO MANDANT_ALT");
    Run(R"js({"answers": [11]})js");
    const std::string text = ErrorText("no such table: MANDANT",
                                       "ERROR: relation \"mandant\" does not exist;\nError while preparing parameters",
                                       "Table '" + m_practice.ServerDatabase() + ".MANDANT' doesn't exist");
    EXPECT_EQ(TestPractice::WithoutVersions(Messages()), (std::vector<std::string>{
                              "SollIch: Behandlermodus? -> 11",
                              "Halt: Datenbankfehler in Tabelle MANDANT:\n" + text +
                                  "\n\nDie Liste der Praxisinhaber/Behandler konnte nicht gelesen werden. -> 1"}));
    EXPECT_FALSE(Control(1003).value(QStringLiteral("enabled")).toBool());
    EXPECT_TRUE(Control(1001).value(QStringLiteral("enabled")).toBool());
}

TEST_F(FaultRunTest, TheReplacementKeyIsCutByCharacters)
{
    m_practice.Insert("MANDANT", {{"MDID", "Ü1"}});
    Run(R"js({"answers": [11, 10, 7], "actions": [{"select": 1001, "text": "04"}, {"select": 1002, "text": "Ü1"},
        {"click": 1003}]})js");
    const std::vector<std::string> statements = Statements();
    EXPECT_EQ(std::count(statements.begin(), statements.end(), "UPDATE REZEPT SET MDID='Ü1' WHERE MDID='04'"), 1);
    EXPECT_EQ(Memo().back(), "FERTIG!");
}

} // namespace
