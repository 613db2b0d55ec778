#include "DialogFixture.h"
#include "Schema.h"

namespace {

class RemoveTreaterTest : public DialogFixture {
protected:
    CKelvorDlg& OpenTreaterMode(const std::string& replacement)
    {
        CKelvorDlg& dlg = OpenDialog(true);
        dlg.m_strReplacementId = replacement;
        return dlg;
    }

    bool Remove(const std::string& treater)
    {
        Dlg().m_strDeleteId = treater;
        return Dlg().RemoveTreater();
    }

    void AddTreaters(std::initializer_list<std::string> treaters)
    {
        for (const std::string& treater : treaters)
            Practice().Insert("LEB", {{"LEBID", treater}});
    }
};

const std::vector<std::pair<std::string, std::string>> kTreaterColumns = {
    {"WORKSTATION", "PHLEBID"}, {"SBBESTELLUNG", "LEBID"}, {"REZEPT", "LEBID"}, {"REZEPT", "LEBID2"},
    {"WORKFLOW", "LEBID"}, {"PAT", "STAMMLEBID"}, {"PAT", "IPLEBID"}, {"PATINFO", "LEBID"},
    {"MACENTRY", "STDLEBID"}, {"BEH", "LEBID"}, {"GIPS", "LEBID"}, {"ROEBEFUND", "PERFORMINGLEBID"},
    {"ZPLAN", "LEBID"}, {"LBLOCKENTRY", "LEBID"}, {"LBLOCK", "LEBID"}, {"CMD", "LEBID"},
    {"GLBLOCENTRY", "LEBID"}, {"GLBLOC", "LEBID"}, {"WARTELISTE", "LEBID"}};

TEST_F(RemoveTreaterTest, RunsEveryStatementInOrderAndWritesOneStatusLine)
{
    AddTreaters({"001", "002"});
    OpenTreaterMode("001");
    EXPECT_TRUE(Remove("002"));

    const std::vector<std::string> expected = {
        "UPDATE WORKSTATION SET PHLEBID='001' WHERE PHLEBID='002'",
        "UPDATE SBBESTELLUNG SET LEBID='001' WHERE LEBID='002'",
        "UPDATE REZEPT SET LEBID='001' WHERE LEBID='002'",
        "UPDATE REZEPT SET LEBID2='001' WHERE LEBID2='002'",
        "UPDATE WORKFLOW SET LEBID='001' WHERE LEBID='002'",
        "UPDATE PAT SET STAMMLEBID='001' WHERE STAMMLEBID='002'",
        "UPDATE PAT SET IPLEBID='001' WHERE IPLEBID='002'",
        "UPDATE PATINFO SET LEBID='001' WHERE LEBID='002'",
        "UPDATE MACENTRY SET STDLEBID='001' WHERE STDLEBID='002'",
        "UPDATE BEH SET LEBID='001' WHERE LEBID='002'",
        "UPDATE GIPS SET LEBID='001' WHERE LEBID='002'",
        "UPDATE ROEBEFUND SET PERFORMINGLEBID='001' WHERE PERFORMINGLEBID='002'",
        "UPDATE ZPLAN SET LEBID='001' WHERE LEBID='002'",
        "UPDATE LBLOCKENTRY SET LEBID='001' WHERE LEBID='002'",
        "UPDATE LBLOCK SET LEBID='001' WHERE LEBID='002'",
        "UPDATE CMD SET LEBID='001' WHERE LEBID='002'",
        "UPDATE GLBLOCENTRY SET LEBID='001' WHERE LEBID='002'",
        "UPDATE GLBLOC SET LEBID='001' WHERE LEBID='002'",
        "UPDATE WARTELISTE SET LEBID='001' WHERE LEBID='002'",
        "DELETE FROM LEB WHERE LEBID='002'",
        "UPDATE NUMBERPOOL SET LEBID = (SELECT MAX(LEBID) FROM LEB)",
    };
    EXPECT_EQ(m_statements, expected);
    EXPECT_EQ(MemoLines(), std::vector<std::string>{"Lösche Behandler..."});
    EXPECT_EQ(m_traces, std::vector<std::string>{});
}

// Two passes onto one replacement: rows of both removed treaters name 001
// afterwards in every column, rows of 004 and of other columns stay.
TEST_F(RemoveTreaterTest, TwoPassesHandEveryColumnToTheReplacement)
{
    AddTreaters({"001", "002", "003", "004"});
    Practice().Insert("NUMBERPOOL", {{"ID", "1"}, {"LEBID", "004"}});
    int key = 0;
    for (const auto& [table, column] : kTreaterColumns) {
        for (const std::string treater : {"002", "003", "004"}) {
            std::map<std::string, std::string> row;
            for (const std::string& keyColumn : SchemaTable(table).primaryKey)
                row[keyColumn] = std::to_string(++key);
            row[column] = treater;
            Practice().Insert(table, row);
        }
    }
    OpenTreaterMode("001");

    EXPECT_TRUE(Remove("002"));
    EXPECT_TRUE(Remove("003"));

    for (const auto& [table, column] : kTreaterColumns) {
        std::vector<std::string> values;
        for (const auto& row : Practice().Query("SELECT " + column + " FROM " + table + " WHERE " + column
                                                + " <> '' ORDER BY " + column))
            values.push_back(row.front());
        EXPECT_EQ(values, (std::vector<std::string>{"001", "001", "004"})) << table << "." << column;
    }
    EXPECT_EQ(Practice().Dump("LEB"), "001||||\n004||||\n");
    EXPECT_EQ(Practice().Dump("NUMBERPOOL"), "1||004|\n");
    EXPECT_EQ(MemoLines(), (std::vector<std::string>{"Lösche Behandler...", "Lösche Behandler..."}));
    EXPECT_EQ(m_statements.size(), 42u);
}

TEST_F(RemoveTreaterTest, NumberPoolTakesTheNextLowerTreaterWhenTheHighestGoes)
{
    AddTreaters({"001", "002", "010"});
    Practice().Insert("NUMBERPOOL", {{"ID", "1"}, {"MDID", "01"}, {"LEBID", "010"}, {"PATNR", "000042"}});
    OpenTreaterMode("001");
    Remove("010");
    EXPECT_EQ(Practice().Dump("NUMBERPOOL"), "1|01|002|000042\n");
}

// A failed reassignment is traced and skipped; the treater row and the number
// pool are still brought up to date.
TEST_F(RemoveTreaterTest, GoesOnAfterAFailedStatement)
{
    AddTreaters({"001", "002"});
    Practice().Insert("NUMBERPOOL", {{"ID", "1"}, {"LEBID", "002"}});
    Practice().Insert("CMD", {{"LFDNR", "1"}, {"LEBID", "002"}});
    Practice().Exec("DROP TABLE GIPS");
    OpenTreaterMode("001");

    EXPECT_TRUE(Remove("002"));

    ASSERT_EQ(m_traces.size(), 1u);
    EXPECT_TRUE(m_traces.front().starts_with("CKelvorDlg::ExecuteSQL: UPDATE GIPS SET LEBID='001' WHERE LEBID='002'\n"));
    EXPECT_EQ(m_statements.size(), 21u);
    EXPECT_EQ(Practice().Dump("CMD"), "1||001\n");
    EXPECT_EQ(Practice().Dump("LEB"), "001||||\n");
    EXPECT_EQ(Practice().Dump("NUMBERPOOL"), "1||001|\n");
}

} // namespace
