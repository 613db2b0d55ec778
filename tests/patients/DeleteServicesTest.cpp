#include "PatientStepsFixture.h"
#include "steps/patients/OwnerAttribution.h"
#include <array>

namespace {
const std::string kByBillingCase = "Lösche Leistungen gemäß Abrechnungsfall...";
}  // namespace

using DeleteServicesTest = PatientStepsFixture;

TEST(IsPrivateBillingType, OnlyTextsFromLowerAToZAreCash)
{
    for (const char* type : {"a", "k", "z", "az", "a0"})
        EXPECT_FALSE(IsPrivateBillingType(type)) << '"' << type << '"';
    for (const char* type : {"", "A", "P", "Z", "0", "`", "{", "za", "z ", "\xC3\xA4"})
        EXPECT_TRUE(IsPrivateBillingType(type)) << '"' << type << '"';
}

// The owner "0a" has two billing cases; one of another owner and one whose owner
// key differs in case stay with their services and invoices. Without the invoice
// step the invoices of the removed cases lose their billing-case number. An owner
// without billing cases gets the heading only.
class BillingCaseStepTest : public PatientStepsFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(BillingCaseStepTest, RemovesTheOwnersBillingCasesWithTheirServices)
{
    const bool invoiceStep = GetParam();
    AddServices({{"000001", "1", "001", "1"}, {"000001", "2", "001", "1"}, {"000001", "3", "001", "2"},
                 {"000002", "1", "001", "4"}, {"000003", "1", "001", "1"}});
    for (const auto& [mdId, patNr, lfdFakt, billNr] : {std::array<std::string, 4>{"0a", "000001", "F1", "1"},
             {"01", "000001", "F2", "2"}, {"0a", "000002", "F3", "4"}, {"0A", "000003", "F4", "1"}}) {
        AddBillingCase(mdId, patNr, billNr);
        Practice().Insert("FAKT", {{"MDID", mdId}, {"PATNR", patNr}, {"LFDFAKT", lfdFakt}, {"LFDPATBILL", billNr}});
    }
    OpenDialog(false);
    Dlg().m_bInvoicesAndPayments = invoiceStep;
    auto kept = KeptRows({{"BILL", "MDID='0a'"}, {"BEH", "(PATNR='000001' AND LFDPATBILL='1') OR PATNR='000002'"}});
    const std::string bill1 = invoiceStep ? "1" : "", bill4 = invoiceStep ? "4" : "";
    kept["FAKT"] = "01|000001|F2|2||\n0A|000003|F4|1||\n0a|000001|F1|" + bill1 + "||\n0a|000002|F3|" + bill4 + "||\n";

    for (const std::string owner : {"0b", "0a"}) {
        Dlg().m_strDeleteId = owner;
        EXPECT_TRUE(Dlg().DeleteServicesByBillingCase());
    }

    const std::string remove1 = "DELETE FROM BEH WHERE PATNR='000001' AND LFDPATBILL='1'";
    const std::string remove4 = "DELETE FROM BEH WHERE PATNR='000002' AND LFDPATBILL='4'";
    EXPECT_EQ(m_statements, (invoiceStep ? Lines{remove1, remove4}
              : Lines{remove1, "UPDATE FAKT SET LFDPATBILL='' WHERE MDID='0a' AND PATNR='000001' AND LFDPATBILL='1'",
                      remove4, "UPDATE FAKT SET LFDPATBILL='' WHERE MDID='0a' AND PATNR='000002' AND LFDPATBILL='4'"}));
    EXPECT_EQ(MemoLines(), (Lines{kByBillingCase, kByBillingCase, "... 2 Abrechnungsfälle gelöscht."}));
    ExpectTables(kept);
}

INSTANTIATE_TEST_SUITE_P(InvoiceStep, BillingCaseStepTest, ::testing::Bool());

// Treater 001 works for the owner alone, 002 for its cash practice, 003 for its
// private practice; rows are attributed by billing kind or billing case. Billing
// case numbers count per patient: "2" is cash for one patient, private for another.
TEST_F(DeleteServicesTest, OwnerVariantRemovesTheRowsAttributedToTheOwner)
{
    AddServices({
        {"000001", "01", "009", "", "", "", "", ""},      // treater not the owner's: stays
        {"000001", "02", "001", "", "", "b", "7", "3"},   // no billing case, one owner: goes
        {"000001", "03", "002", "", "", "", "", ""},      // no billing case, two owners: stays
        {"000001", "04", "002", "1", "0", "k", "8", ""},  // cash: goes
        {"000001", "05", "002", "1", "1", "b", "9", ""},  // private, other owner: stays
        {"000001", "06", "003", "1", "1", "r", "10", ""}, // private: goes
        {"000001", "07", "002", "2", "", "B", "11", "4"}, // billing case "k" (cash): goes
        {"000001", "08", "003", "2", "x", "", "", ""},    // same billing case, other owner: stays
        {"000001", "09", "003", "3", "", "bb", "12", ""}, // billing case "P" (private): goes
        {"000001", "10", "002", "9", "", "", "", ""},     // billing case missing: stays
        {"000003", "1", "002", "2", "", "", "", ""},      // billing case "" (private), other owner: stays
        {"000003", "2", "003", "2", "", "b", "", "5"},    // same billing case: goes, no findings number
        {"000003", "3", "001", "", "", "p", "13", ""},    // no billing case, one owner: goes
    });
    AddPatients({{"000001", "", ""}, {"000002", "", ""}, {"000003", "", ""}});
    AddBillingCase("01", "000001", "2", "k");
    AddBillingCase("01", "000001", "3", "P");
    AddBillingCase("01", "000003", "2", "");
    OpenDialog(false);
    Dlg().m_strDeleteId = "02";
    Dlg().m_aTreaters = {{"001", "02", "02"}, {"002", "02", "01"}, {"003", "01", "02"}};
    const auto kept = KeptRows({{"BEH", "(PATNR='000001' AND LFDBEH IN ('02','04','06','07','09')) OR "
                                        "(PATNR='000003' AND LFDBEH IN ('2','3'))"},
                                {"ABEFUND", "(PATNR='000001' AND LFDABEFUND='7') OR LFDABEFUND='13'"},
                                {"KFOBEFUND", "LFDKFOBEFUND='8'"},
                                {"ROEBEFUND", "LFDROEBEFUND='10'"},
                                {"ARCHIV", "LFDARCHIV IN ('3','4','5')"}});
    m_progress.clear();

    EXPECT_TRUE(Dlg().DeleteServicesByLineTreaterForOwner());

    EXPECT_EQ(m_statements, (Lines{"DELETE FROM ABEFUND WHERE PATNR='000001' AND LFDABEFUND='7'",
                                   "DELETE FROM ARCHIV WHERE PATNR='000001' AND LFDARCHIV='3'",
                                   "DELETE FROM KFOBEFUND WHERE PATNR='000001' AND LFDKFOBEFUND='8'",
                                   "DELETE FROM ROEBEFUND WHERE PATNR='000001' AND LFDROEBEFUND='10'",
                                   "DELETE FROM ARCHIV WHERE PATNR='000001' AND LFDARCHIV='4'",
                                   "DELETE FROM ARCHIV WHERE PATNR='000003' AND LFDARCHIV='5'",
                                   "DELETE FROM ABEFUND WHERE PATNR='000003' AND LFDABEFUND='13'"}));
    EXPECT_EQ(MemoLines(), (Lines{"Lösche Leistungen gemäß Zeilenbehandler...", "... 7 von 13 gelöscht."}));
    EXPECT_EQ(m_progress, (Lines{"0", "33", "67"}));
    ExpectTables(kept);
}
