#include "OwnerStepFixture.h"
#include <map>

namespace {

class InvoicesAndPayments : public OwnerStepFixture, public testing::WithParamInterface<bool> {
protected:
    void Voucher(const std::string& lfdGlBloc, const std::string& lfdGlKuFakt)
    {
        Practice().Insert("GLBLOC", {{"LFDGLKU", "1"}, {"LFDGLBLOC", lfdGlBloc}, {"LFDGLKUFAKT", lfdGlKuFakt}});
        Practice().Insert("GLBLOCENTRY", {{"LFDGLKU", "1"}, {"LFDGLBLOC", lfdGlBloc}, {"LFDENTRY", "1"}});
    }
};

using InvoiceKeys = OwnerStepFixture;

} // namespace

// With the journal step in the run the owner's journal rows are gone already and
// get no statements; without it their links are cleared. The failing S part of
// 000001 is traced and its invoice is still removed and counted.
TEST_P(InvoicesAndPayments, RemovesTheOwnersRowsAndClearsOnlyTheLinkedBillingParts)
{
    const bool journalStep = GetParam();
    // Owner 01 shares patients and running numbers with owner 02, which is removed.
    const TestPractice& p = Practice();
    p.Insert("FAKT", {{"MDID", "01"}, {"PATNR", "000001"}, {"LFDFAKT", "2"}});
    p.Insert("CASH", {{"MDID", "01"}, {"PATNR", "000002"}, {"LFDCASH", "3"}});
    p.Insert("GLKUFAKT", {{"MDID", "01"}, {"LFDGLKU", "1"}, {"LFDGLKUFAKT", "3"}});
    Voucher("3", "3");
    // Linked in one part each: S to invoice 1 of patient 000001, P to invoice 7'1
    // of patient 000002; G of 000002 names an invoice 1 that patient does not have.
    p.Insert("BILL", {{"PATNR", "000001"}, {"LFDPATBILL", "1"}, {"GLFDFAKT", "2"}, {"GABRWUNSCHDATUM", "20240202"},
                      {"SLFDFAKT", "1"}, {"SABRWUNSCHDATUM", "20240101"}, {"PLFDFAKT", "5"}, {"PABRWUNSCHDATUM", "20240303"}});
    p.Insert("BILL", {{"PATNR", "000002"}, {"LFDPATBILL", "1"}, {"GLFDFAKT", "1"}, {"GABRWUNSCHDATUM", "20240505"}});
    p.Insert("BILL", {{"PATNR", "000002"}, {"LFDPATBILL", "2"}, {"PLFDFAKT", "7'1"}, {"PABRWUNSCHDATUM", "20240404"}});
    auto othersOnly = p.DumpAll();
    p.Insert("FAKT", {{"MDID", "02"}, {"PATNR", "000001"}, {"LFDFAKT", "1"}});
    p.Insert("FAKT", {{"MDID", "02"}, {"PATNR", "000002"}, {"LFDFAKT", "7'1"}});
    p.Insert("CASH", {{"MDID", "02"}, {"PATNR", "000001"}, {"LFDFAKT", "1"}, {"LFDCASH", "3"}});
    p.Insert("FBUCHUNG", {{"LFDNR", "1"}, {"MDID", "02"}, {"PATNR", "000001"}, {"LFDFAKT", "1"}, {"LFDCASH", "3"}});
    p.Insert("GLKUFAKT", {{"MDID", "02"}, {"LFDGLKU", "1"}, {"LFDGLKUFAKT", "1"}});
    p.Insert("GLKUFAKT", {{"MDID", "02"}, {"LFDGLKU", "2"}, {"LFDGLKUFAKT", "2"}});  // no vouchers
    Voucher("1", "1");
    Voucher("2", "1");
    Refuse("UPDATE OF SLFDFAKT ON BILL");

    EXPECT_TRUE(Open(journalStep).DeleteInvoicesAndPayments());

    const std::string failing =
        "UPDATE BILL SET SABRWUNSCHDATUM='99999999',SLFDFAKT='' WHERE PATNR='000001' AND SLFDFAKT='1'";
    Lines statements = {
        "UPDATE BILL SET GABRWUNSCHDATUM='99999999',GLFDFAKT='' WHERE PATNR='000001' AND GLFDFAKT='1'",
        failing,
        "UPDATE BILL SET PABRWUNSCHDATUM='99999999',PLFDFAKT='' WHERE PATNR='000001' AND PLFDFAKT='1'",
        "UPDATE FBUCHUNG SET LFDFAKT='' WHERE PATNR='000001' AND MDID='02' AND LFDFAKT='1'",
        "UPDATE BILL SET GABRWUNSCHDATUM='99999999',GLFDFAKT='' WHERE PATNR='000002' AND GLFDFAKT='7''1'",
        "UPDATE BILL SET SABRWUNSCHDATUM='99999999',SLFDFAKT='' WHERE PATNR='000002' AND SLFDFAKT='7''1'",
        "UPDATE BILL SET PABRWUNSCHDATUM='99999999',PLFDFAKT='' WHERE PATNR='000002' AND PLFDFAKT='7''1'",
        "UPDATE FBUCHUNG SET LFDFAKT='' WHERE PATNR='000002' AND MDID='02' AND LFDFAKT='7''1'",
        "UPDATE FBUCHUNG SET LFDCASH='' WHERE PATNR='000001' AND MDID='02' AND LFDCASH='3'",
        "DELETE FROM GLBLOCENTRY WHERE LFDGLKU='1' AND LFDGLBLOC='1'",
        "DELETE FROM GLBLOCENTRY WHERE LFDGLKU='1' AND LFDGLBLOC='2'",
    };
    if (journalStep)
        std::erase_if(statements, [](const std::string& s) { return s.starts_with("UPDATE FBUCHUNG"); });
    EXPECT_EQ(m_statements, statements);
    EXPECT_EQ(m_traces, Lines{Trace(failing)});
    EXPECT_EQ(MemoLines(), (Lines{"Lösche Rechnungen...", "... 2 gelöscht.", "Lösche Zahlungen...", "... 1 gelöscht.",
                                  "Lösche Gewerbelabor-Rechnungen...", "... 2 gelöscht."}));
    EXPECT_EQ(m_progress, (Lines{"0", "50", "0", "0", "50"}));
    auto after = Practice().DumpAll();
    for (const char* table : {"BILL", "FBUCHUNG"})
        EXPECT_TRUE(after.erase(table) && othersOnly.erase(table));
    EXPECT_EQ(after, othersOnly);
    EXPECT_EQ(Practice().Query("SELECT LFDNR,MDID,PATNR,LFDFAKT,LFDCASH FROM FBUCHUNG"),
              (Rows{journalStep ? Lines{"1", "02", "000001", "1", "3"} : Lines{"1", "02", "000001", "", ""}}));
    EXPECT_EQ(Practice().Query("SELECT PATNR,LFDPATBILL,GLFDFAKT,GABRWUNSCHDATUM,SLFDFAKT,SABRWUNSCHDATUM,"
                               "PLFDFAKT,PABRWUNSCHDATUM FROM BILL ORDER BY PATNR,LFDPATBILL"),
              (Rows{{"000001", "1", "2", "20240202", "1", "20240101", "5", "20240303"},
                    {"000002", "1", "1", "20240505", "", "", "", ""},
                    {"000002", "2", "", "", "", "", "", "99999999"}}));
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutJournalStep, InvoicesAndPayments, testing::Bool());

// Server databases often compare keys regardless of case; with such a collation an
// invoice stored as "0a" is among owner "0A"'s. The journal step removed only rows
// spelled exactly "0A", so this invoice's journal link must go.
TEST_F(InvoiceKeys, AnInvoiceSpelledInAnotherCaseKeepsItsJournalStatement)
{
    Practice().Exec("DROP TABLE FAKT");
    Practice().Exec("CREATE TABLE FAKT (MDID TEXT NOT NULL DEFAULT '' COLLATE NOCASE, PATNR TEXT NOT NULL DEFAULT '',"
                    " LFDFAKT TEXT NOT NULL DEFAULT '', LFDPATBILL TEXT NOT NULL DEFAULT '', DATUM TEXT NOT NULL"
                    " DEFAULT '', BETRAG TEXT NOT NULL DEFAULT '', PRIMARY KEY (MDID, PATNR, LFDFAKT))");
    Practice().Insert("FAKT", {{"MDID", "0a"}, {"PATNR", "000002"}, {"LFDFAKT", "4"}});
    Open(true).m_strDeleteId = "0A";

    EXPECT_TRUE(Dlg().DeleteInvoicesAndPayments());

    EXPECT_EQ(m_statements,
              (Lines{"UPDATE BILL SET GABRWUNSCHDATUM='99999999',GLFDFAKT='' WHERE PATNR='000002' AND GLFDFAKT='4'",
                     "UPDATE BILL SET SABRWUNSCHDATUM='99999999',SLFDFAKT='' WHERE PATNR='000002' AND SLFDFAKT='4'",
                     "UPDATE BILL SET PABRWUNSCHDATUM='99999999',PLFDFAKT='' WHERE PATNR='000002' AND PLFDFAKT='4'",
                     "UPDATE FBUCHUNG SET LFDFAKT='' WHERE PATNR='000002' AND MDID='0a' AND LFDFAKT='4'"}));
    EXPECT_EQ(MemoLines(), (Lines{"Lösche Rechnungen...", "... 1 gelöscht.", "Lösche Zahlungen...",
                                  "Lösche Gewerbelabor-Rechnungen..."}));
    EXPECT_EQ(Practice().Count("FAKT"), 0);
}
