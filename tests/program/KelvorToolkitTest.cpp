#include "DialogFixture.h"
#include "SeamScope.h"
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

class ToolkitTest : public DialogFixture {};

TEST_F(ToolkitTest, StatementsOpenTheDialogsOwnConnectionOnFirstUseAndTraceEachFailure)
{
    CKelvorDlg& dlg = OpenDialog(false);
    const std::string file = Practice().Folder() + "/praxis.db";
    ASSERT_EQ(std::rename(file.c_str(), (file + ".away").c_str()), 0);
    EXPECT_FALSE(dlg.ExecuteSQL("DELETE FROM ZBON WHERE MDID='01'"));
    EXPECT_FALSE(dlg.m_db.IsOpen());
    ASSERT_EQ(std::rename((file + ".away").c_str(), file.c_str()), 0);
    std::vector<std::string> sent;
    {
        const CSeamScope<seam::DatabaseStatement> seen([&sent](std::string_view statement) { sent.emplace_back(statement); });
        EXPECT_FALSE(dlg.ExecuteSQL("DELETE FROM TSEBONX WHERE MDID='01'"));
    }
    EXPECT_TRUE(dlg.m_db.IsOpen());
    // The session's date-format statements go first and fail on this database without a trace.
    EXPECT_EQ(sent, (std::vector<std::string>{"SET DATEFORMAT ymd",
                                              "ALTER SESSION SET NLS_DATE_FORMAT='YYYY-MM_DD HH24:MI:SS'",
                                              "DELETE FROM TSEBONX WHERE MDID='01'"}));
    EXPECT_EQ(m_traces, (std::vector<std::string>{
                            "CKelvorDlg::ExecuteSQL: OpenVqDB: DELETE FROM ZBON WHERE MDID='01'",
                            "CKelvorDlg::ExecuteSQL: DELETE FROM TSEBONX WHERE MDID='01'\n"
                            "no such table: TSEBONX" }));
}

// The log is appended to in Windows-1252 with line feeds only, writable by every
// user; a log that cannot be written loses only the log.
TEST_F(ToolkitTest, StatusLinesReachMemoAndLog)
{
    Practice().WriteFile("log/Kelvor.log", "FERTIG!\n");
    CKelvorDlg& dlg = OpenDialog(false);
    for (const char* line : { "Lösche Leistungen gemäß Zeilenbehandler...", "", "ÄÖÜß €" })
        dlg.AddStatusLine(line);
    EXPECT_EQ(Practice().Read("log/Kelvor.log"), "FERTIG!\nL\xF6sche Leistungen gem\xE4\xDF Zeilenbehandler...\n\n\xC4\xD6\xDC\xDF \x80\n");
    EXPECT_EQ(std::filesystem::status(dlg.m_strLogFile).permissions(), std::filesystem::perms(0666));

    // Links in the log folder are never followed: neither the log nor the trace
    // writes to, or changes the rights of, the file they point to.
    Practice().WriteFile("geheim.txt", "x");
    const std::string secret = Practice().Folder() + "/geheim.txt";
    std::filesystem::permissions(secret, std::filesystem::perms(0600));
    for (const char* name : { "Kelvor.log", "Trace.log" }) {
        std::filesystem::remove(Practice().LogPath() + name);
        std::filesystem::create_symlink(secret, Practice().LogPath() + name);
    }
    dlg.AddStatusLine("FERTIG!");
    dlg.ExecuteSQL("DELETE FROM NOSUCHTABLE");
    EXPECT_EQ(std::filesystem::status(secret).permissions(), std::filesystem::perms(0600));
    EXPECT_EQ(std::filesystem::file_size(secret), 1u);

    dlg.m_strLogFile = Practice().Folder() + "/fehlt/Kelvor.log";
    dlg.AddStatusLine("FERTIG!");
    EXPECT_EQ(MemoLines(), (std::vector<std::string>{ "Lösche Leistungen gemäß Zeilenbehandler...", "", "ÄÖÜß €",
                                                      "FERTIG!", "FERTIG!" }));
    EXPECT_FALSE(Practice().Exists("fehlt/Kelvor.log"));
}

// Percentages round to the nearest; the window is served after every sixteenth row.
TEST_F(ToolkitTest, ProgressIsRoundedAndTheWindowIsServedEverySixteenRows)
{
    CKelvorDlg& dlg = OpenDialog(false);
    for (const auto& [done, total] : { std::pair(0L, 3L), std::pair(1L, 3L), std::pair(2L, 3L), std::pair(14L, 17L),
                                       std::pair(15L, 17L), std::pair(16L, 17L), std::pair(31L, 32L) })
        dlg.SetProgress(done, total);
    EXPECT_EQ(m_progress, (std::vector<std::string>{ "0", "33", "67", "82", "88", "pump", "94", "97", "pump" }));
}

}
