#include "PatientStepsFixture.h"
#include <array>

namespace {
const std::string kByBillingCase = "Lösche Leistungen gemäß Abrechnungsfall...";
const std::string kByLineTreater = "Lösche Leistungen gemäß Zeilenbehandler...";
}  // namespace

using DeleteServicesTest = PatientStepsFixture;

// The owner "0a" has two billing cases; one of another owner and one whose owner
// key differs in case stay with their services and invoices.
class BillingCaseStepTest : public PatientStepsFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        for (const char* lfdBeh : {"1", "2", "3"})
            AddService({.patNr = "000001", .lfdBeh = lfdBeh, .lebId = "001", .billNr = "1"});
        AddService({.patNr = "000001", .lfdBeh = "4", .lebId = "001", .billNr = "2"});
        AddService({.patNr = "000002", .lfdBeh = "1", .lebId = "001", .billNr = "4"});
        AddService({.patNr = "000003", .lfdBeh = "1", .lebId = "001", .billNr = "1"});
        AddBillingCase("0a", "000001", "1");
        AddBillingCase("01", "000001", "2");
        AddBillingCase("0a", "000002", "4");
        AddBillingCase("0A", "000003", "1");
        for (const auto& [mdId, patNr, lfdFakt, billNr] : {std::array<std::string, 4>{"0a", "000001", "F1", "1"},
                                                           {"01", "000001", "F2", "2"},
                                                           {"0a", "000002", "F3", "4"},
                                                           {"0A", "000003", "F4", "1"}})
            Practice().Insert("FAKT", {{"MDID", mdId}, {"PATNR", patNr}, {"LFDFAKT", lfdFakt}, {"LFDPATBILL", billNr}});
        Open(false);
        Dlg().m_strDeleteId = "0a";
    }
};

TEST_P(BillingCaseStepTest, RemovesTheOwnersBillingCasesWithTheirServices)
{
    Dlg().m_bInvoicesAndPayments = GetParam();
    Conditions affected{{"BILL", "MDID='0a'"},
                        {"BEH", "(PATNR='000001' AND LFDPATBILL='1') OR (PATNR='000002' AND LFDPATBILL='4')"}};
    std::map<std::string, Rows> changed;
    if (!GetParam()) {
        affected["FAKT"] = "LFDFAKT IN ('F1','F3')";
        changed["FAKT"] = {{"0a", "000001", "F1", "", "", ""}, {"0a", "000002", "F3", "", "", ""}};
    }
    const auto kept = KeptRows(affected);

    EXPECT_TRUE(Dlg().DeleteServicesByBillingCase());

    Lines expected{"DELETE FROM BEH WHERE PATNR='000001' AND LFDPATBILL='1'",
                   "DELETE FROM BEH WHERE PATNR='000002' AND LFDPATBILL='4'"};
    if (!GetParam()) {
        expected.insert(expected.begin() + 1, "UPDATE FAKT SET LFDPATBILL='' WHERE MDID='0a' AND PATNR='000001' AND LFDPATBILL='1'");
        expected.push_back("UPDATE FAKT SET LFDPATBILL='' WHERE MDID='0a' AND PATNR='000002' AND LFDPATBILL='4'");
    }
    EXPECT_EQ(m_statements, expected);
    EXPECT_EQ(MemoLines(), (Lines{kByBillingCase, "... 2 Abrechnungsfälle gelöscht."}));
    ExpectTables(kept, changed);
}

INSTANTIATE_TEST_SUITE_P(InvoiceStep, BillingCaseStepTest, ::testing::Bool());

TEST_F(DeleteServicesTest, OwnerWithoutBillingCasesWritesTheHeadingOnly)
{
    AddBillingCase("01", "000001", "1");
    Open(false);
    Dlg().m_strDeleteId = "02";
    const auto kept = KeptRows({});

    EXPECT_TRUE(Dlg().DeleteServicesByBillingCase());

    EXPECT_EQ(MemoLines(), Lines{kByBillingCase});
    EXPECT_TRUE(m_statements.empty());
    ExpectTables(kept);
}

// Treater 001 works for the owner alone, 002 for its cash practice, 003 for its
// private practice; rows are attributed by billing kind or billing case.
TEST_F(DeleteServicesTest, OwnerVariantRemovesTheRowsAttributedToTheOwner)
{
    const std::vector<ServiceRow> rows{
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
        {"000003", "1", "002", "1", "", "", "", ""},      // billing case "" (private), other owner: stays
        {"000003", "2", "003", "1", "", "b", "", "5"},    // same billing case: goes, no findings number
        {"000003", "3", "001", "", "", "p", "13", ""},    // no billing case, one owner: goes
    };
    for (const ServiceRow& row : rows)
        AddService(row);
    for (const auto& [table, column, patNr, number] :
         {std::array<std::string, 4>{"ABEFUND", "LFDABEFUND", "000001", "7"}, {"ABEFUND", "LFDABEFUND", "000001", "9"},
          {"ABEFUND", "LFDABEFUND", "000001", "11"}, {"ABEFUND", "LFDABEFUND", "000001", "12"},
          {"ABEFUND", "LFDABEFUND", "000003", "13"}, {"KFOBEFUND", "LFDKFOBEFUND", "000001", "8"},
          {"ROEBEFUND", "LFDROEBEFUND", "000001", "10"}})
        Practice().Insert(table, {{"PATNR", patNr}, {column, number}});
    AddPatient("000001", "", "");
    AddPatient("000002", "", "");
    AddPatient("000003", "", "");
    AddBillingCase("01", "000001", "2", "k");
    AddBillingCase("01", "000001", "3", "P");
    AddBillingCase("01", "000003", "1", "");
    Open(false);
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
    EXPECT_EQ(MemoLines(), (Lines{kByLineTreater, "... 7 von 13 gelöscht."}));
    EXPECT_EQ(m_progress, (Lines{"0", "33", "67"}));
    ExpectTables(kept);
}

// The count line names the service rows examined, not the patients.
TEST_F(DeleteServicesTest, OwnerVariantCountsExaminedServiceRows)
{
    for (int n = 0; n < 40; ++n)
        AddService({.patNr = "00000" + std::to_string(n % 3 + 1), .lfdBeh = std::to_string(100 + n),
                    .lebId = n == 5 || n == 30 ? "001" : "009"});
    for (const char* patNr : {"000001", "000002", "000003"})
        AddPatient(patNr, "", "");
    Open(false);
    Dlg().m_strDeleteId = "02";
    Dlg().m_aTreaters = {{"001", "02", "02"}};
    const auto kept = KeptRows({{"BEH", "LEBID='001'"}});

    EXPECT_TRUE(Dlg().DeleteServicesByLineTreaterForOwner());

    EXPECT_EQ(MemoLines(), (Lines{kByLineTreater, "... 2 von 40 gelöscht."}));
    EXPECT_TRUE(m_statements.empty());
    ExpectTables(kept);
}

// Every row of the pass's treater goes, whatever its billing; the count line has no total.
TEST_F(DeleteServicesTest, TreaterVariantRemovesEveryRowOfTheTreater)
{
    AddService({"000001", "1", "002", "1", "0", "s", "1", "1"});
    AddService({"000001", "2", "001", "", "", "b", "2", ""});
    AddService({"000001", "3", "002", "", "", "i", "3", ""});
    AddService({"000002", "1", "002", "7", "1", "k", "4", ""});
    AddService({"000002", "2", "00 2", "", "", "", "", ""});
    for (const auto& [table, column, patNr, number] :
         {std::array<std::string, 4>{"ABEFUND", "LFDABEFUND", "000001", "1"}, {"ABEFUND", "LFDABEFUND", "000001", "2"},
          {"ABEFUND", "LFDABEFUND", "000001", "3"}, {"KFOBEFUND", "LFDKFOBEFUND", "000002", "4"}})
        Practice().Insert(table, {{"PATNR", patNr}, {column, number}});
    AddPatient("000001", "", "");
    AddPatient("000002", "", "");
    Open(true);
    Dlg().m_strDeleteId = "002";
    const auto kept = KeptRows({{"BEH", "LEBID='002'"},
                                {"ABEFUND", "LFDABEFUND IN ('1','3')"},
                                {"KFOBEFUND", "LFDKFOBEFUND='4'"},
                                {"ARCHIV", "LFDARCHIV='1'"}});

    EXPECT_TRUE(Dlg().DeleteServicesByLineTreaterForTreater());

    EXPECT_EQ(m_statements, (Lines{"DELETE FROM ABEFUND WHERE PATNR='000001' AND LFDABEFUND='1'",
                                   "DELETE FROM ARCHIV WHERE PATNR='000001' AND LFDARCHIV='1'",
                                   "DELETE FROM ABEFUND WHERE PATNR='000001' AND LFDABEFUND='3'",
                                   "DELETE FROM KFOBEFUND WHERE PATNR='000002' AND LFDKFOBEFUND='4'"}));
    EXPECT_EQ(MemoLines(), (Lines{kByLineTreater, "... 3 gelöscht."}));
    ExpectTables(kept);
}
