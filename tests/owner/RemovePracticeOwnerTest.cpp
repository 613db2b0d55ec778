#include "DialogFixture.h"
#include "Schema.h"
#include <algorithm>
#include <set>

namespace {

class RemovePracticeOwnerTest : public DialogFixture {
protected:
    CKelvorDlg& OpenOwnerMode(const std::string& removed, const std::string& replacement)
    {
        CKelvorDlg& dlg = OpenDialog(false);
        dlg.m_strDeleteId = removed;
        dlg.m_strReplacementId = replacement;
        return dlg;
    }

    // One column of a table, in primary-key order, joined by ",".
    std::string Column(const std::string& table, const std::string& column)
    {
        std::string joined;
        for (const auto& row : Practice().Query("SELECT " + column + " FROM " + table + " ORDER BY "
                                                + SchemaTable(table).primaryKey.front()))
            joined += "," + row.front();
        return joined.empty() ? joined : joined.substr(1);
    }

    // Appointments of the removed owner 02 and of owner 03.
    void AddAppointments()
    {
        Practice().Insert("ETSSTERMIN", {{"LFDNR", "1"}, {"MDID", "02"}, {"PATNR", "000001"}});
        Practice().Insert("ETSSTERMIN", {{"LFDNR", "2"}, {"MDID", "03"}, {"PATNR", "000002"}});
    }
};

TEST_F(RemovePracticeOwnerTest, RunsEveryStatementInOrderAndWritesOneStatusLine)
{
    Practice().Insert("MANDANT", {{"MDID", "01"}});
    Practice().Insert("MANDANT", {{"MDID", "02"}});
    EXPECT_TRUE(OpenOwnerMode("02", "01").RemovePracticeOwner());

    const std::vector<std::string> expected = {
        "UPDATE WORKSTATION SET QAMDID='' WHERE QAMDID='02'",
        "DELETE FROM SBBESTELLUNG WHERE MDID='02'",
        "DELETE FROM SBBESTELLENTRY WHERE MDID='02'",
        "UPDATE REZEPT SET MDID='01' WHERE MDID='02'",
        "DELETE FROM MDPRAXISPROFIL WHERE MDID='02'",
        "DELETE FROM KTRAEGER WHERE MDID='02'",
        "DELETE FROM BANKEN WHERE MDID='02'",
        "DELETE FROM FLABS WHERE MDID='02'",
        "DELETE FROM MDFIBUPROFIL WHERE MDID='02'",
        "DELETE FROM FORMULAR WHERE MDID='02'",
        "DELETE FROM FORMABLAGE WHERE MDID='02'",
        "DELETE FROM FORMULARLUPB WHERE MDID='02'",
        "UPDATE LEB SET MDIDK='01' WHERE MDIDK='02'",
        "UPDATE LEB SET MDIDP='01' WHERE MDIDP='02'",
        "DELETE FROM FRAGEBOGEN WHERE MDID='02'",
        "DELETE FROM FRAGEBOGENENTRY WHERE MDID='02'",
        "UPDATE PATINFO SET MDID='01' WHERE MDID='02'",
        "DELETE FROM EINWILLIGUNG WHERE MDID='02'",
        "DELETE FROM BILLRULE WHERE MDID='02'",
        "UPDATE CASHPAY SET MDID='01' WHERE MDID='02'",
        "UPDATE EBZ SET MDID='01' WHERE MDID='02'",
        "UPDATE ETSSTERMIN SET MDID='01' WHERE MDID='02'",
        "DELETE FROM KONTO WHERE MDID='02'",
        "DELETE FROM QAHIT WHERE MDID='02'",
        "DELETE FROM KFOHIT WHERE MDID='02'",
        "DELETE FROM SCHNITTSTELLEN WHERE MDID='02'",
        "DELETE FROM MATERIALBUCH WHERE MDID='02'",
        "DELETE FROM DOKUMENT WHERE DOKUMENTART IN ('m','p') AND DOKUMENTKEY LIKE '02%'",
        "DELETE FROM ETSSTERMIN WHERE MDID='02'",
        "DELETE FROM MANDANT WHERE MDID='02'",
        "UPDATE NUMBERPOOL SET MDID = (SELECT MAX(MDID) FROM MANDANT)",
    };
    EXPECT_EQ(m_statements, expected);
    EXPECT_EQ(MemoLines(), std::vector<std::string>{"Lösche Praxisinhaber..."});
    EXPECT_EQ(m_traces, std::vector<std::string>{});  // every table exists, every statement is valid
}

// Every table with an owner column gets a row of the removed owner 02 and one of
// 03: the step deletes, moves to 01, or leaves alone, and never touches 03.
TEST_F(RemovePracticeOwnerTest, DeletesMovesAndLeavesEveryOwnerColumnAsItShould)
{
    const std::set<std::string> deleted = {
        "SBBESTELLUNG", "SBBESTELLENTRY", "MDPRAXISPROFIL", "KTRAEGER", "BANKEN", "FLABS", "MDFIBUPROFIL",
        "FORMULAR", "FORMABLAGE", "FORMULARLUPB", "FRAGEBOGEN", "FRAGEBOGENENTRY", "EINWILLIGUNG",
        "BILLRULE", "KONTO", "QAHIT", "KFOHIT", "SCHNITTSTELLEN", "MATERIALBUCH", "MANDANT"};
    const std::set<std::string> moved = {"REZEPT", "PATINFO", "CASHPAY", "EBZ", "ETSSTERMIN"};
    std::vector<std::string> ownerTables;
    for (const TableDef& table : PracticeSchema()) {
        if (table.ColumnIndex("MDID") < 0 || table.name == "NUMBERPOOL")
            continue;
        ownerTables.push_back(table.name);
        for (const std::string owner : {"02", "03"}) {
            std::map<std::string, std::string> row;
            for (const std::string& key : table.primaryKey)
                row[key] = owner;
            row["MDID"] = owner;
            Practice().Insert(table.name, row);
        }
    }
    Practice().Insert("MANDANT", {{"MDID", "01"}});
    Practice().Insert("NUMBERPOOL", {{"ID", "1"}, {"MDID", "02"}});
    Practice().Insert("LEB", {{"LEBID", "001"}, {"MDIDK", "02"}, {"MDIDP", "03"}});
    Practice().Insert("LEB", {{"LEBID", "002"}, {"MDIDK", "03"}, {"MDIDP", "02"}});
    Practice().Insert("WORKSTATION", {{"WORKSTATIONID", "1"}, {"QAMDID", "02"}});
    Practice().Insert("WORKSTATION", {{"WORKSTATIONID", "2"}, {"QAMDID", "03"}});

    OpenOwnerMode("02", "01").RemovePracticeOwner();

    ASSERT_EQ(std::ranges::count_if(ownerTables, [&](const std::string& t) { return deleted.contains(t); }), 20);
    for (const std::string& table : ownerTables) {
        const std::string owners = Column(table, "MDID");
        if (table == "MANDANT")
            EXPECT_EQ(owners, "01,03");
        else if (deleted.contains(table))
            EXPECT_EQ(owners, "03") << table;
        else if (moved.contains(table))
            EXPECT_EQ(owners, "01,03") << table;
        else
            EXPECT_EQ(owners, "02,03") << table;
    }
    EXPECT_EQ(Practice().Dump("LEB"), "001|01|03||\n002|03|01||\n");
    EXPECT_EQ(Column("WORKSTATION", "QAMDID"), ",03");  // cleared, not given to the replacement
    EXPECT_EQ(Column("NUMBERPOOL", "MDID"), "03");
}

TEST_F(RemovePracticeOwnerTest, NumberPoolTakesTheNextLowerOwnerWhenTheHighestGoes)
{
    for (const std::string owner : {"01", "02", "03"})
        Practice().Insert("MANDANT", {{"MDID", owner}});
    Practice().Insert("NUMBERPOOL", {{"ID", "1"}, {"MDID", "03"}, {"LEBID", "007"}, {"PATNR", "000042"}});

    OpenOwnerMode("03", "01").RemovePracticeOwner();

    EXPECT_EQ(Practice().Dump("NUMBERPOOL"), "1|02|007|000042\n");
}

// The appointments are moved first; only those the move left behind are deleted.
TEST_F(RemovePracticeOwnerTest, AppointmentsGoToTheReplacementWhenTheMoveSucceeds)
{
    AddAppointments();
    OpenOwnerMode("02", "01").RemovePracticeOwner();
    EXPECT_EQ(Practice().Dump("ETSSTERMIN"), "1|01||000001\n2|03||000002\n");
}

TEST_F(RemovePracticeOwnerTest, AppointmentsAreDeletedWhenTheMoveFails)
{
    AddAppointments();
    Practice().Exec("CREATE TRIGGER refuse BEFORE UPDATE ON ETSSTERMIN BEGIN SELECT RAISE(ABORT,'test'); END");
    EXPECT_TRUE(OpenOwnerMode("02", "01").RemovePracticeOwner());
    EXPECT_EQ(Practice().Dump("ETSSTERMIN"), "2|03||000002\n");
    ASSERT_EQ(m_traces.size(), 1u);
    EXPECT_TRUE(m_traces.front().starts_with(
        "CKelvorDlg::ExecuteSQL: UPDATE ETSSTERMIN SET MDID='01' WHERE MDID='02'\n"));
    EXPECT_EQ(m_statements.size(), 31u);  // the step went on after the failure
}

// Owner keys are two characters and a document key begins with its owner's key,
// so "010005" is owner 01's document; a key that merely holds "01" later is not.
TEST_F(RemovePracticeOwnerTest, DeletesOnlyOwnerAndPatientDocumentsKeyedByTheOwner)
{
    const std::vector<std::pair<std::string, std::string>> documents = {
        {"m", "01"}, {"p", "010005"}, {"m", "01A"}, {"x", "01"},
        {"p", "10"}, {"m", "02"}, {"p", "001"}, {"p", "1"}};
    for (std::size_t i = 0; i < documents.size(); ++i)
        Practice().Insert("DOKUMENT", {{"LFDDOKUMENT", std::to_string(i + 1)},
                                       {"DOKUMENTART", documents[i].first},
                                       {"DOKUMENTKEY", documents[i].second}});
    OpenOwnerMode("01", "02").RemovePracticeOwner();
    EXPECT_EQ(Practice().Dump("DOKUMENT"),
              "4|x|01||\n5|p|10||\n6|m|02||\n7|p|001||\n8|p|1||\n");
}

// A quote in a key is doubled wherever the key enters a statement: every
// statement still runs, and the rows of the odd keys are found.
TEST_F(RemovePracticeOwnerTest, KeysWithQuotesReachTheDatabaseOnlyQuoted)
{
    Practice().Insert("MANDANT", {{"MDID", "0'1"}});
    Practice().Insert("MANDANT", {{"MDID", "0'2"}});
    Practice().Insert("REZEPT", {{"PATNR", "000001"}, {"LFDREZEPT", "1"}, {"MDID", "0'2"}});
    Practice().Insert("KONTO", {{"LFDNR", "1"}, {"MDID", "0'2"}});
    Practice().Insert("WORKSTATION", {{"WORKSTATIONID", "1"}, {"QAMDID", "0'2"}});
    Practice().Insert("DOKUMENT", {{"LFDDOKUMENT", "1"}, {"DOKUMENTART", "m"}, {"DOKUMENTKEY", "0'2x"}});

    OpenOwnerMode("0'2", "0'1").RemovePracticeOwner();

    EXPECT_EQ(m_traces, std::vector<std::string>{});
    for (const std::string statement : {
             "UPDATE WORKSTATION SET QAMDID='' WHERE QAMDID='0''2'",
             "UPDATE REZEPT SET MDID='0''1' WHERE MDID='0''2'",
             "DELETE FROM KONTO WHERE MDID='0''2'",
             "DELETE FROM DOKUMENT WHERE DOKUMENTART IN ('m','p') AND DOKUMENTKEY LIKE '0''2%'",
             "DELETE FROM MANDANT WHERE MDID='0''2'"})
        EXPECT_EQ(std::ranges::count(m_statements, statement), 1) << statement;
    EXPECT_EQ(Practice().Dump("MANDANT"), "0'1||\n");
    EXPECT_EQ(Practice().Dump("REZEPT"), "000001|1|0'1|||\n");
    EXPECT_EQ(Practice().Count("KONTO") + Practice().Count("DOKUMENT"), 0);
    EXPECT_EQ(Practice().Dump("WORKSTATION"), "1|||\n");
}

// The photo and each of the four folders: only owner 02's entries go.
TEST_F(RemovePracticeOwnerTest, RemovesTheOwnersPhotoAndFiles)
{
    for (const std::string owner : {"01", "02"}) {
        const std::string n = owner.substr(1);
        Practice().WriteFile("daten/fotos/mandant" + owner + ".jpg");
        Practice().WriteFile("daten/apps/Logo" + n + "_Praxis.bmp");
        Practice().WriteFile("daten/bank/konto." + n);
        Practice().WriteFile("daten/rz/" + owner + "/abrechnung.txt");
        Practice().WriteFile("qa/QS" + owner + ".xml");
    }
    OpenOwnerMode("02", "01").RemovePracticeOwner();

    std::vector<std::string> store;
    std::ranges::copy_if(Practice().ListTree(), std::back_inserter(store), [](const std::string& entry) {
        return entry.starts_with("daten/") || entry.starts_with("qa/");
    });
    EXPECT_EQ(store, (std::vector<std::string>{
                         "daten/", "daten/apps/", "daten/apps/Logo1_Praxis.bmp", "daten/bank/", "daten/bank/konto.1",
                         "daten/fotos/", "daten/fotos/mandant01.jpg", "daten/rz/", "daten/rz/01/",
                         "daten/rz/01/abrechnung.txt", "qa/", "qa/QS01.xml"}));
}

} // namespace
