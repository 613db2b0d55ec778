#include "Database.h"
#include "DialogFixture.h"
#include <sys/stat.h>

namespace {
class ToolkitTest : public DialogFixture {};

TEST_F(ToolkitTest, FirstStatementOpensTheDialogsOwnConnectionOnce)
{
    CKelvorDlg& dlg = OpenDialog(false);
    EXPECT_FALSE(dlg.m_db.IsOpen());
    EXPECT_TRUE(dlg.ExecuteSQL("UPDATE MANDANT SET ORT='Bonn' WHERE MDID='01'"));
    EXPECT_TRUE(dlg.m_db.IsOpen());
    EXPECT_TRUE(dlg.ExecuteSQL("DELETE FROM MANDANT WHERE MDID='01'"));
    EXPECT_EQ(m_statements, (std::vector<std::string>{"UPDATE MANDANT SET ORT='Bonn' WHERE MDID='01'",
                                                      "DELETE FROM MANDANT WHERE MDID='01'"}));
    // The date-format statements of the session fail on this database without a trace.
    EXPECT_TRUE(m_traces.empty());
}

TEST_F(ToolkitTest, FailingStatementIsTracedWithItsErrorAndLeavesTheConnectionUsable)
{
    CKelvorDlg& dlg = OpenDialog(false);
    EXPECT_FALSE(dlg.ExecuteSQL("DELETE FROM TSEBONX WHERE MDID='01'"));
    ASSERT_EQ(m_traces.size(), 1u);
    EXPECT_EQ(m_traces[0],
              "CKelvorDlg::ExecuteSQL: DELETE FROM TSEBONX WHERE MDID='01'\nno such table: TSEBONX Unable to execute statement");
    EXPECT_TRUE(MemoLines().empty());
    EXPECT_EQ(LogBytes(), "");

    Practice().Insert("MANDANT", {{"MDID", "07"}});
    EXPECT_TRUE(dlg.ExecuteSQL("DELETE FROM MANDANT WHERE MDID='07'"));
    EXPECT_EQ(Practice().Count("MANDANT", "MDID='07'"), 0);
}

TEST_F(ToolkitTest, UnreachableDatabaseIsTracedAndTriedAgainOnTheNextStatement)
{
    CKelvorDlg& dlg = OpenDialog(false);
    const std::string moved = Practice().DatabaseFile() + ".away";
    ASSERT_EQ(std::rename(Practice().DatabaseFile().c_str(), moved.c_str()), 0);
    EXPECT_FALSE(dlg.ExecuteSQL("DELETE FROM ZBON WHERE MDID='01'"));
    EXPECT_EQ(m_traces, (std::vector<std::string>{"CKelvorDlg::ExecuteSQL: OpenVqDB: DELETE FROM ZBON WHERE MDID='01'"}));
    EXPECT_FALSE(dlg.m_db.IsOpen());

    ASSERT_EQ(std::rename(moved.c_str(), Practice().DatabaseFile().c_str()), 0);
    EXPECT_TRUE(dlg.ExecuteSQL("DELETE FROM ZBON WHERE MDID='01'"));
    EXPECT_EQ(m_traces.size(), 1u);
}

TEST_F(ToolkitTest, DeleteWhereQuotesTheKeyAndInsertsTheTableAsItIs)
{
    CKelvorDlg& dlg = OpenDialog(false);
    Practice().Insert("FBUCHUNG", {{"LFDNR", "1"}, {"MDID", "0'1"}});
    Practice().Insert("FBUCHUNG", {{"LFDNR", "2"}, {"MDID", "01"}});
    EXPECT_TRUE(dlg.DeleteWhereMdId("FBUCHUNG", "0'1"));
    EXPECT_TRUE(dlg.DeleteWhereLebId("CMD", "x' OR '1'='1"));
    EXPECT_EQ(m_statements, (std::vector<std::string>{"DELETE FROM FBUCHUNG WHERE MDID='0''1'",
                                                      "DELETE FROM CMD WHERE LEBID='x'' OR ''1''=''1'"}));
    EXPECT_EQ(Practice().Dump("FBUCHUNG"), "2|01|||||\n");
}

TEST_F(ToolkitTest, StatusLinesReachMemoAndLogInWindows1252WithLineFeedsOnly)
{
    CKelvorDlg& dlg = OpenDialog(false);
    dlg.AddStatusLine("Lösche Leistungen gemäß Zeilenbehandler...");
    dlg.AddStatusLine("");
    dlg.AddStatusLine("ÄÖÜß €");
    EXPECT_EQ(MemoLines(), (std::vector<std::string>{"Lösche Leistungen gemäß Zeilenbehandler...", "", "ÄÖÜß €"}));
    EXPECT_EQ(LogBytes(), "L\xF6sche Leistungen gem\xE4\xDF Zeilenbehandler...\n\n\xC4\xD6\xDC\xDF \x80\n");

    struct stat status {};
    ASSERT_EQ(::stat(dlg.m_strLogFile.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0666u);
}

TEST_F(ToolkitTest, LogIsAppendedNeverTruncated)
{
    Practice().WriteFile("log/Kelvor.log", "FERTIG!\n");
    CKelvorDlg& dlg = OpenDialog(false);
    dlg.AddStatusLine("Lösche Praxisinhaber 02");
    EXPECT_EQ(LogBytes(), "FERTIG!\nL\xF6sche Praxisinhaber 02\n");
}

TEST_F(ToolkitTest, MissingLogFolderLosesOnlyTheLog)
{
    CKelvorDlg& dlg = OpenDialog(false);
    dlg.m_strLogFile = Practice().Folder() + "/fehlt/Kelvor.log";
    dlg.AddStatusLine("Lösche Behandler 001");
    dlg.AddStatusLine("FERTIG!");
    EXPECT_EQ(MemoLines(), (std::vector<std::string>{"Lösche Behandler 001", "FERTIG!"}));
    EXPECT_FALSE(Practice().Exists("fehlt/Kelvor.log"));
}

TEST_F(ToolkitTest, ProgressIsRoundedAndTheWindowIsServedEverySixteenRows)
{
    CKelvorDlg& dlg = OpenDialog(false);
    for (long i = 0; i < 3; ++i)
        dlg.SetProgress(i, 3);
    EXPECT_EQ(m_progress, (std::vector<std::string>{"0", "33", "67"}));

    m_progress.clear();
    dlg.SetProgress(0, 1);
    EXPECT_EQ(m_progress, (std::vector<std::string>{"0"}));

    m_progress.clear();
    for (long i = 0; i < 40; ++i)
        dlg.SetProgress(i, 40);
    std::vector<std::string> expected;
    for (long i = 0; i < 40; ++i) {
        expected.push_back(std::to_string((i * 100 + 20) / 40));
        if (i == 15 || i == 31)
            expected.emplace_back("pump");
    }
    EXPECT_EQ(m_progress, expected);
}
}  // namespace
