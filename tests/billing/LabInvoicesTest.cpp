#include "OwnerStepFixture.h"

namespace {

const std::string kMoveToReplacement = "UPDATE LBLOCK SET MDID='01' WHERE MDID='02'";

class LabInvoices : public OwnerStepFixture {
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
};

} // namespace

// The entries of voucher 000004 cannot be deleted: the voucher still goes and counts.
TEST_F(LabInvoices, RemovesTheOwnersInvoicesOfAllFoundAndMovesTheRest)
{
    const Lines owners = {"01", "02", "03", "01", "02", "03", "01", "01", "02", "03"};
    for (std::size_t i = 0; i < owners.size(); ++i)
        if (owners[i] != "02" || i == 4)
            Voucher("00000" + std::to_string(i), "R" + std::to_string(i), owners[i]);
    NotInvoicedVoucher();
    Entry("000001", "2");  // same patient and plan as a removed voucher, another voucher number
    const std::string entries = Practice().Dump("LBLOCKENTRY");
    Voucher("000001", "R1", "02");
    Voucher("000008", "R8", "02");
    Refuse("DELETE ON LBLOCKENTRY WHEN OLD.PATNR='000004'");

    EXPECT_TRUE(Open().DeleteLabInvoices());

    const std::string failing = "DELETE FROM LBLOCKENTRY WHERE PATNR='000004' AND LFDPLAN='1' AND LFDLBLOCK='1'";
    EXPECT_EQ(m_statements, (Lines{"DELETE FROM LBLOCKENTRY WHERE PATNR='000001' AND LFDPLAN='1' AND LFDLBLOCK='1'",
                                   failing,
                                   "DELETE FROM LBLOCKENTRY WHERE PATNR='000008' AND LFDPLAN='1' AND LFDLBLOCK='1'",
                                   kMoveToReplacement}));
    EXPECT_EQ(m_traces, Lines{Trace(failing)});
    EXPECT_EQ(MemoLines(), (Lines{"Lösche Laborrechnungen...", "... 3 von 10 gelöscht."}));
    EXPECT_EQ(m_progress, (Lines{"0", "10", "20", "30", "40", "50", "60", "70", "80", "90"}));
    EXPECT_EQ(Vouchers(), (Rows{{"000000", "R0", "01"}, {"000002", "R2", "03"}, {"000003", "R3", "01"},
                                {"000005", "R5", "03"}, {"000006", "R6", "01"}, {"000007", "R7", "01"},
                                {"000009", "R9", "03"}, {"000011", "", "01"}}));
    EXPECT_EQ(Practice().Dump("LBLOCKENTRY"), entries);
}

// Lab invoices of other owners only: no count line.
TEST_F(LabInvoices, WithoutAnyOfTheOwnersLabInvoicesItsVouchersStillMove)
{
    NotInvoicedVoucher();
    Voucher("000012", "R12", "01");

    EXPECT_TRUE(Open().DeleteLabInvoices());

    EXPECT_EQ(m_statements, Lines{kMoveToReplacement});
    EXPECT_EQ(MemoLines(), Lines{"Lösche Laborrechnungen..."});
    EXPECT_EQ(m_progress, Lines{"0"});
    EXPECT_EQ(Vouchers(), (Rows{{"000011", "", "01"}, {"000012", "R12", "01"}}));
    EXPECT_EQ(Practice().Count("LBLOCKENTRY"), 2);
}
