#include "DialogFixture.h"

namespace {

using RemoveTreater = DialogFixture;

} // namespace

// The highest treater goes, so the pool takes the next lower one rather than the
// replacement. GIPS is missing: its statement is traced and the rest still runs.
TEST_F(RemoveTreater, MovesEveryColumnThenDeletesTheTreaterAndRenumbersThePool)
{
    for (const std::string treater : {"001", "002", "010"})
        Practice().Insert("LEB", {{"LEBID", treater}});
    Practice().Insert("NUMBERPOOL", {{"ID", "1"}, {"MDID", "01"}, {"LEBID", "010"}, {"PATNR", "000042"}});
    Practice().Exec("DROP TABLE GIPS");
    CKelvorDlg& dlg = OpenDialog(true);
    dlg.m_strDeleteId = "010";
    dlg.m_strReplacementId = "001";

    EXPECT_TRUE(dlg.RemoveTreater());

    EXPECT_EQ(m_statements, (std::vector<std::string>{
                                "UPDATE WORKSTATION SET PHLEBID='001' WHERE PHLEBID='010'",
                                "UPDATE SBBESTELLUNG SET LEBID='001' WHERE LEBID='010'",
                                "UPDATE REZEPT SET LEBID='001' WHERE LEBID='010'",
                                "UPDATE REZEPT SET LEBID2='001' WHERE LEBID2='010'",
                                "UPDATE WORKFLOW SET LEBID='001' WHERE LEBID='010'",
                                "UPDATE PAT SET STAMMLEBID='001' WHERE STAMMLEBID='010'",
                                "UPDATE PAT SET IPLEBID='001' WHERE IPLEBID='010'",
                                "UPDATE PATINFO SET LEBID='001' WHERE LEBID='010'",
                                "UPDATE MACENTRY SET STDLEBID='001' WHERE STDLEBID='010'",
                                "UPDATE BEH SET LEBID='001' WHERE LEBID='010'",
                                "UPDATE GIPS SET LEBID='001' WHERE LEBID='010'",
                                "UPDATE ROEBEFUND SET PERFORMINGLEBID='001' WHERE PERFORMINGLEBID='010'",
                                "UPDATE ZPLAN SET LEBID='001' WHERE LEBID='010'",
                                "UPDATE LBLOCKENTRY SET LEBID='001' WHERE LEBID='010'",
                                "UPDATE LBLOCK SET LEBID='001' WHERE LEBID='010'",
                                "UPDATE CMD SET LEBID='001' WHERE LEBID='010'",
                                "UPDATE GLBLOCENTRY SET LEBID='001' WHERE LEBID='010'",
                                "UPDATE GLBLOC SET LEBID='001' WHERE LEBID='010'",
                                "UPDATE WARTELISTE SET LEBID='001' WHERE LEBID='010'",
                                "DELETE FROM LEB WHERE LEBID='010'",
                                "UPDATE NUMBERPOOL SET LEBID = (SELECT MAX(LEBID) FROM LEB)",
                            }));
    EXPECT_EQ(m_traces, std::vector<std::string>{"CKelvorDlg::ExecuteSQL: UPDATE GIPS SET LEBID='001' WHERE LEBID='010'"
                                                 "\nno such table: GIPS"});
    EXPECT_EQ(MemoLines(), std::vector<std::string>{"Lösche Behandler..."});
    EXPECT_EQ(Practice().Dump("LEB"), "001||||\n002||||\n");
    EXPECT_EQ(Practice().Dump("NUMBERPOOL"), "1|01|002|000042\n");
}
