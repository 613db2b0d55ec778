#include "DialogFixture.h"
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Lines = std::vector<std::string>;

const std::string kMoveToReplacement = "UPDATE LBLOCK SET MDID='01' WHERE MDID='02'";

class LabInvoices : public DialogFixture {
protected:
    void Voucher(const std::string& patNr, const std::string& rechNr, const std::string& md)
    {
        Practice().Insert("LBLOCK", {{"PATNR", patNr}, {"LFDPLAN", "1"}, {"LFDLBLOCK", "1"}, {"RECHNR", rechNr}, {"MDID", md}});
        Entry(patNr, "1");
    }

    void Entry(const std::string& patNr, const std::string& lfdLBlock)
    {
        Practice().Insert("LBLOCKENTRY", {{"PATNR", patNr}, {"LFDPLAN", "1"}, {"LFDLBLOCK", lfdLBlock}, {"LFDENTRY", "1"}});
    }

    // A voucher of owner 02 that is not invoiced yet, so the lookup does not return it.
    void NotInvoicedVoucher() { Voucher("000011", "", "02"); }

    Rows Vouchers() { return Practice().Query("SELECT PATNR,RECHNR,MDID FROM LBLOCK ORDER BY PATNR"); }

    CKelvorDlg& Open()
    {
        OpenDialog(false);
        Dlg().m_strDeleteId = "02";
        Dlg().m_strReplacementId = "01";
        return Dlg();
    }
};

} // namespace

TEST_F(LabInvoices, RemovesTheOwnersInvoicesOfAllFoundAndMovesTheRest)
{
    const Lines owners = {"01", "02", "03", "01", "02", "03", "01", "01", "02", "03"};
    for (std::size_t i = 0; i < owners.size(); ++i)
        if (owners[i] != "02")
            Voucher("00000" + std::to_string(i), "R" + std::to_string(i), owners[i]);
    NotInvoicedVoucher();
    Entry("000001", "2");  // same patient and plan as a removed voucher, another voucher number
    const std::string entries = Practice().Dump("LBLOCKENTRY");
    for (std::size_t i = 0; i < owners.size(); ++i)
        if (owners[i] == "02")
            Voucher("00000" + std::to_string(i), "R" + std::to_string(i), "02");

    EXPECT_TRUE(Open().DeleteLabInvoices());

    EXPECT_EQ(m_statements, (Lines{"DELETE FROM LBLOCKENTRY WHERE PATNR='000001' AND LFDPLAN='1' AND LFDLBLOCK='1'",
                                   "DELETE FROM LBLOCKENTRY WHERE PATNR='000004' AND LFDPLAN='1' AND LFDLBLOCK='1'",
                                   "DELETE FROM LBLOCKENTRY WHERE PATNR='000008' AND LFDPLAN='1' AND LFDLBLOCK='1'",
                                   kMoveToReplacement}));
    EXPECT_EQ(MemoLines(), (Lines{"Lösche Laborrechnungen...", "... 3 von 10 gelöscht."}));
    EXPECT_EQ(m_progress, (Lines{"0", "10", "20", "30", "40", "50", "60", "70", "80", "90"}));
    EXPECT_EQ(Vouchers(), (Rows{{"000000", "R0", "01"},
                                {"000002", "R2", "03"},
                                {"000003", "R3", "01"},
                                {"000005", "R5", "03"},
                                {"000006", "R6", "01"},
                                {"000007", "R7", "01"},
                                {"000009", "R9", "03"},
                                {"000011", "", "01"}}));
    EXPECT_EQ(Practice().Dump("LBLOCKENTRY"), entries);
}

TEST_F(LabInvoices, WithoutAnyLabInvoiceTheOwnersVouchersStillMove)
{
    NotInvoicedVoucher();
    const std::string entries = Practice().Dump("LBLOCKENTRY");

    EXPECT_TRUE(Open().DeleteLabInvoices());

    EXPECT_EQ(m_statements, Lines{kMoveToReplacement});
    EXPECT_EQ(MemoLines(), Lines{"Lösche Laborrechnungen..."});
    EXPECT_TRUE(m_progress.empty());
    EXPECT_EQ(Vouchers(), (Rows{{"000011", "", "01"}}));
    EXPECT_EQ(Practice().Dump("LBLOCKENTRY"), entries);
}

TEST_F(LabInvoices, AFailingEntryStatementStillRemovesAndCountsTheVoucher)
{
    Voucher("000001", "R1", "02");
    Practice().Exec("CREATE TRIGGER FAIL BEFORE DELETE ON LBLOCKENTRY BEGIN SELECT RAISE(ABORT,'test'); END");

    EXPECT_TRUE(Open().DeleteLabInvoices());

    EXPECT_EQ(MemoLines(), (Lines{"Lösche Laborrechnungen...", "... 1 von 1 gelöscht."}));
    EXPECT_EQ(m_traces, Lines{"CKelvorDlg::ExecuteSQL: DELETE FROM LBLOCKENTRY WHERE PATNR='000001' AND LFDPLAN='1' "
                              "AND LFDLBLOCK='1'\ntest Unable to fetch row"});
    EXPECT_EQ(Practice().Count("LBLOCK"), 0);
    EXPECT_EQ(Practice().Count("LBLOCKENTRY"), 1);
}

TEST_F(LabInvoices, GeneratedPracticeLosesTheOwnersLabInvoicesOnly)
{
    UsePractice(3, 60);
    TestPractice& p = Practice();
    const std::string md =
        p.Scalar("SELECT MDID FROM LBLOCK WHERE RECHNR<>'' GROUP BY MDID ORDER BY COUNT(*) DESC, MDID LIMIT 1");
    const std::string replacement = p.Scalar("SELECT MDID FROM MANDANT WHERE MDID<>'" + md + "' ORDER BY MDID LIMIT 1");
    const std::string removed = "MDID='" + md + "' AND RECHNR<>''";
    ASSERT_GT(p.Count("LBLOCK", removed), 0);

    Lines statements;
    for (const auto& voucher : p.Query("SELECT PATNR,LFDPLAN,LFDLBLOCK FROM LBLOCK WHERE " + removed +
                                       " ORDER BY PATNR,LFDPLAN,LFDLBLOCK"))
        statements.push_back("DELETE FROM LBLOCKENTRY WHERE PATNR='" + voucher[0] + "' AND LFDPLAN='" + voucher[1] +
                             "' AND LFDLBLOCK='" + voucher[2] + "'");
    statements.push_back("UPDATE LBLOCK SET MDID='" + replacement + "' WHERE MDID='" + md + "'");
    const Lines memo = {"Lösche Laborrechnungen...", "... " + std::to_string(p.Count("LBLOCK", removed)) + " von " +
                                                         std::to_string(p.Count("LBLOCK", "RECHNR<>''")) + " gelöscht."};
    p.Exec("CREATE TABLE KEPTLBLOCK AS SELECT PATNR,LFDPLAN,LFDLBLOCK,LEBID,RECHNR,"
           "CASE MDID WHEN '" + md + "' THEN '" + replacement + "' ELSE MDID END,BETRAG FROM LBLOCK WHERE NOT (" + removed + ")");
    p.Exec("CREATE TABLE KEPTLBLOCKENTRY AS SELECT * FROM LBLOCKENTRY e WHERE NOT EXISTS (SELECT 1 FROM LBLOCK v WHERE "
           "v.PATNR=e.PATNR AND v.LFDPLAN=e.LFDPLAN AND v.LFDLBLOCK=e.LFDLBLOCK AND v." + removed + ")");
    auto before = p.DumpAll();

    OpenDialog(false);
    Dlg().m_strDeleteId = md;
    Dlg().m_strReplacementId = replacement;
    EXPECT_TRUE(Dlg().DeleteLabInvoices());

    EXPECT_EQ(m_statements, statements);
    EXPECT_EQ(MemoLines(), memo);
    EXPECT_EQ(p.Query("SELECT * FROM LBLOCK ORDER BY 1,2,3"), p.Query("SELECT * FROM KEPTLBLOCK ORDER BY 1,2,3"));
    EXPECT_EQ(p.Query("SELECT * FROM LBLOCKENTRY ORDER BY 1,2,3,4"),
              p.Query("SELECT * FROM KEPTLBLOCKENTRY ORDER BY 1,2,3,4"));
    auto after = p.DumpAll();
    for (const char* table : {"LBLOCK", "LBLOCKENTRY"}) {
        before.erase(table);
        after.erase(table);
    }
    EXPECT_EQ(after, before);
}
