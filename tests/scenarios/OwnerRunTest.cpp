// Owner mode end to end on a generated practice: owner 04 is removed with every data
// group and handed to owner 01. What must go, what must move and what must stay is
// worked out from the practice before the run, independently of the steps.
#include "Schema.h"
#include "ScenarioFixture.h"
#include <algorithm>
#include <set>

namespace {
// The practice before the run, seen from owner 04: its treaters, the patients removed
// by main treater, its billing cases, and the patients then left without services.
const char* const kPlan = R"sql(
    WITH treaters AS (SELECT LEBID FROM LEB WHERE MDIDK='04' OR MDIDP='04'),
    byMainTreater AS (SELECT PATNR FROM PAT WHERE STAMMLEBID IN (SELECT LEBID FROM treaters)),
    cases AS (SELECT PATNR, LFDPATBILL FROM BILL WHERE MDID='04' AND PATNR NOT IN (SELECT PATNR FROM byMainTreater)),
    services AS (SELECT PATNR FROM BEH WHERE PATNR NOT IN (SELECT PATNR FROM byMainTreater)
                 AND NOT EXISTS (SELECT 1 FROM cases WHERE cases.PATNR=BEH.PATNR AND cases.LFDPATBILL=BEH.LFDPATBILL)),
    withoutServices AS (SELECT PATNR FROM PAT WHERE PATNR NOT IN (SELECT PATNR FROM byMainTreater)
                        AND PATNR NOT IN (SELECT PATNR FROM services)),
    removed AS (SELECT PATNR FROM byMainTreater UNION SELECT PATNR FROM withoutServices)
)sql";

const std::set<std::string> kOwnerColumns = {"MDID", "MDIDK", "MDIDP", "QAMDID"};
// Columns that are moved from the removed owner to the replacement.
const std::set<std::string> kMovedTables = {"REZEPT", "PATINFO", "CASHPAY", "EBZ", "ETSSTERMIN", "LEB"};

// A row as one text, its values each followed by '|'.
std::string Joined(const std::vector<std::string>& row)
{
    std::string text;
    for (const std::string& value : row)
        text += value + "|";
    return text;
}

class OwnerRunTest : public ScenarioFixture {
protected:
    OwnerRunTest() : ScenarioFixture(1, 200) {}

    long Planned(const std::string& select) const { return std::stol(m_practice.Scalar(kPlan + select)); }

    std::set<std::string> Removed() const
    {
        std::set<std::string> patients;
        for (const auto& row : m_practice.Query(std::string(kPlan) + "SELECT PATNR FROM removed"))
            patients.insert(row.front());
        return patients;
    }

    // The memo the run must write, with its counts taken from the practice before the run:
    // each step's heading, and its count line where it removed something.
    std::vector<std::string> ExpectedMemo() const
    {
        const long patients = Planned("SELECT COUNT(*) FROM PAT");
        const long byMainTreater = Planned("SELECT COUNT(*) FROM byMainTreater");
        const std::string notRemoved = " AND PATNR NOT IN (SELECT PATNR FROM removed)";
        std::vector<std::string> lines{"Lösche Praxisinhaber 04"};
        const auto step = [&lines](const std::string& heading, long removed = 0, const std::string& detail = "") {
            lines.push_back(heading);
            if (removed > 0)
                lines.push_back("... " + std::to_string(removed) + detail + " gelöscht.");
        };
        step("Lösche Patienten gemäß Stammbehandler...", byMainTreater, " von " + std::to_string(patients));
        step("Lösche Leistungen gemäß Abrechnungsfall...", Planned("SELECT COUNT(*) FROM cases"), " Abrechnungsfälle");
        step("Lösche Patienten ohne Leistungen...", Planned("SELECT COUNT(*) FROM withoutServices"),
             " von " + std::to_string(patients - byMainTreater));
        step("Lösche FiBu-/Kassenbuch-TSE-Einträge...");
        step("Lösche ZE-/PAR-/KBR-DTA...");
        step("Lösche Laborrechnungen...", Planned("SELECT COUNT(*) FROM LBLOCK WHERE RECHNR<>'' AND MDID='04'" + notRemoved),
             " von " + std::to_string(Planned("SELECT COUNT(*) FROM LBLOCK WHERE RECHNR<>''" + notRemoved)));
        step("Lösche Rechnungen...", Planned("SELECT COUNT(*) FROM FAKT WHERE MDID='04'" + notRemoved));
        step("Lösche Zahlungen...", Planned("SELECT COUNT(*) FROM CASH WHERE MDID='04'" + notRemoved));
        step("Lösche Gewerbelabor-Rechnungen...", Planned("SELECT COUNT(*) FROM GLKUFAKT WHERE MDID='04'"));
        step("Lösche Praxisinhaber...");
        lines.emplace_back("FERTIG!");
        return lines;
    }

    // Rows that name neither owner 04 nor a removed patient, and are no service of one
    // of owner 04's billing cases; moved rows are expected with 01 in place of 04.
    std::map<std::string, std::multiset<std::string>> SurvivingRows(const std::set<std::string>& removed) const
    {
        std::set<std::string> ownerCases;
        for (const auto& row : m_practice.Query(std::string(kPlan) + "SELECT PATNR || '/' || LFDPATBILL FROM cases"))
            ownerCases.insert(row.front());
        std::map<std::string, std::multiset<std::string>> rows;
        for (const TableDef& table : PracticeSchema()) {
            // Billing cases are rebuilt after the run; vouchers and documents go by rules of their own.
            if (table.name == "BILL" || table.name == "NUMBERPOOL" || table.name == "ADR" || table.name == "DOKUMENT" ||
                table.name.rfind("GLBLOC", 0) == 0 || table.name.rfind("LBLOCK", 0) == 0)
                continue;
            for (auto row : m_practice.Query("SELECT * FROM " + table.name)) {
                bool stays = true;
                for (std::size_t i = 0; i < row.size(); ++i) {
                    const std::string& column = table.columns[i];
                    if (column == "PATNR" && removed.count(row[i]) != 0)
                        stays = false;
                    if (kOwnerColumns.count(column) != 0 && row[i] == "04") {
                        if (kMovedTables.count(table.name) == 0)
                            stays = false;
                        row[i] = "01";
                    }
                }
                if (table.name == "BEH" && ownerCases.count(row[0] + "/" + row[table.ColumnIndex("LFDPATBILL")]) != 0)
                    stays = false;
                if (table.name == "WORKSTATION" && row[table.ColumnIndex("QAMDID")] == "01" &&
                    m_practice.Count("WORKSTATION", "WORKSTATIONID='" + row[0] + "' AND QAMDID='04'") == 1)
                    row[table.ColumnIndex("QAMDID")].clear();  // the QA owner is cleared, not moved
                if (stays)
                    rows[table.name].insert(Joined(row));
            }
        }
        return rows;
    }

    std::set<std::string> Files() const
    {
        std::set<std::string> files;
        for (const std::string& entry : m_practice.ListTree())
            if (entry.starts_with("daten/") || entry.starts_with("qa/"))
                files.insert(entry);
        return files;
    }
};

TEST_F(OwnerRunTest, TypicalRunRemovesExactlyTheOwnersDataAndHandsTheRestToTheReplacement)
{
    const std::vector<std::string> memo = ExpectedMemo();
    const std::set<std::string> removed = Removed();
    ASSERT_FALSE(removed.empty());
    const auto surviving = SurvivingRows(removed);
    const std::set<std::string> filesBefore = Files();

    Run(OwnerRun());

    EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 11",
                                                    "SollIch: Soll der Löschvorgang jetzt gestartet werden? -> 10",
                                                    "MessageBox: Nochmal? -> 7"}));
    EXPECT_EQ(Memo(), memo);
    EXPECT_TRUE(Trace().empty());

    // No column names owner 04 any more; the workstations' QA owner is cleared.
    for (const TableDef& table : PracticeSchema())
        for (const std::string& column : table.columns)
            EXPECT_EQ(kOwnerColumns.contains(column) ? m_practice.Count(table.name, column + "='04'") : 0, 0)
                << table.name << "." << column;
    for (const auto& [table, rows] : surviving) {
        std::multiset<std::string> after;
        for (const auto& row : m_practice.Query("SELECT * FROM " + table))
            after.insert(Joined(row));
        std::vector<std::string> missing;
        std::set_difference(rows.begin(), rows.end(), after.begin(), after.end(), std::back_inserter(missing));
        EXPECT_TRUE(missing.empty()) << table << ": " << missing.size() << " rows changed or lost, e.g. " << missing.front();
    }
    for (const std::string& patient : removed)
        EXPECT_EQ(m_practice.Count("PAT", "PATNR='" + patient + "'"), 0) << patient;
    EXPECT_EQ(m_practice.Count("DOKUMENT", "DOKUMENTART IN ('m','p') AND DOKUMENTKEY LIKE '04%'"), 0);
    EXPECT_EQ(m_practice.Count("DOKUMENT", "DOKUMENTART='v' AND DOKUMENTKEY LIKE '04%'"), 1);
    EXPECT_EQ(m_practice.Scalar("SELECT MDID FROM NUMBERPOOL"), "03");

    // The owner's files, and the folders of the removed patients; every other file stays.
    std::set<std::string> gone = filesBefore;
    for (const std::string& entry : Files())
        gone.erase(entry);
    std::set<std::string> expected{"daten/apps/Logo4_Praxis.bmp", "daten/bank/bank.04.txt", "daten/bank/konto.4",
                                   "daten/rz/4/", "daten/rz/4/Abrechnung.dat", "daten/rz/4/alt/",
                                   "daten/rz/4/alt/Quartal.dat", "qa/R104.xml", "qa/Bericht04.pdf", "qa/QS04.xml",
                                   "qa/4/QS04.xml"};
    for (const std::string& entry : filesBefore)
        for (const std::string& patient : removed)
            if (entry.starts_with("daten/pat/" + patient + "/"))
                expected.insert(entry);
    EXPECT_EQ(gone, expected);
}
}  // namespace
