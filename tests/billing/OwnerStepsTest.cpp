// The owner's billing steps on hand-made practices: journal and transfer tables, lab
// invoices, invoices and payments.
#include "DialogFixture.h"
#include <map>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;
using Rows = std::vector<Lines>;

namespace {

// Owner 02 is removed; owner 01 takes over what stays.
class OwnerStepFixture : public DialogFixture {
protected:
    CKelvorDlg& Open(bool journalEntries = false)
    {
        OpenDialog(false);
        Dlg().m_strDeleteId = "02";
        Dlg().m_strReplacementId = "01";
        Dlg().m_bJournalEntries = journalEntries;
        return Dlg();
    }

    // Makes the statements the trigger covers fail with "test", e.g. "DELETE ON ZEHIT".
    void Refuse(const std::string& what)
    {
        Practice().Exec("CREATE TRIGGER FAIL BEFORE " + what + " BEGIN SELECT RAISE(ABORT,'test'); END");
    }

    // The executor's trace line: the statement, then the database's error.
    static std::string Trace(const std::string& statement, const std::string& error = "test")
    {
        return "CKelvorDlg::ExecuteSQL: " + statement + "\n" + error;
    }
};

// The journal tables, then the transfer tables, in the order they are cleared.
const Lines kTables = {"FBUCHUNG", "FDIENST",  "ZBON",   "TSEBON",    "BANKOUT", "DATEVPAKET", "DATEVPAKETENTRY",
                       "DATEVONLINELOG", "ZEHIT", "ZEHITLST", "PARHIT", "PARHITLST", "KBRHIT",  "KBRHITLST"};

using OwnerTables = OwnerStepFixture;

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
};

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

// A missing table (TSEBON) and a failing statement (ZEHIT) are traced and the
// tables after them are still cleared.
TEST_F(OwnerTables, EveryTableIsClearedOfTheOwnerDespiteFailures)
{
    Practice().Exec("DROP TABLE TSEBON");
    Refuse("DELETE ON ZEHIT");
    for (const std::string& table : kTables)
        if (table != "TSEBON")   // rows of 01, of 2 (a prefix of the removed key) and of 02
            Practice().InsertRows(table, "LFDNR|MDID", {"01|01", "2|2", "02|02"});

    EXPECT_TRUE(Open().DeleteJournalEntries());
    EXPECT_TRUE(Dlg().DeleteTransferRecords());

    EXPECT_EQ(MemoLines(), (Lines{"Lösche FiBu-/Kassenbuch-TSE-Einträge...", "Lösche ZE-/PAR-/KBR-DTA..."}));
    EXPECT_EQ(m_traces, (Lines{Trace("DELETE FROM TSEBON WHERE MDID='02'",
                                     "no such table: TSEBON"),
                               Trace("DELETE FROM ZEHIT WHERE MDID='02'")}));
    EXPECT_TRUE(m_progress.empty());
    for (const std::string& table : kTables)
        if (table != "TSEBON") {
            EXPECT_EQ(Practice().Query("SELECT MDID FROM " + table + " ORDER BY MDID"),
                      (table == "ZEHIT" ? Rows{{"01"}, {"02"}, {"2"}} : Rows{{"01"}, {"2"}})) << table;
        }
}

// The entries of voucher 000004 cannot be deleted: the voucher still goes and counts.
TEST_F(LabInvoices, RemovesTheOwnersInvoicesOfAllFoundAndMovesTheRest)
{
    const Lines owners = {"01", "02", "03", "01", "02", "03", "01", "01", "02", "03"};
    for (std::size_t i = 0; i < owners.size(); ++i)
        if (owners[i] != "02" || i == 4)
            Voucher("00000" + std::to_string(i), "R" + std::to_string(i), owners[i]);
    Voucher("000011", "", "02");   // not invoiced yet: the lookup does not return it
    Entry("000001", "2");  // same patient and plan as a removed voucher, another voucher number
    const std::string entries = Practice().Dump("LBLOCKENTRY");
    Voucher("000001", "R1", "02");
    Voucher("000008", "R8", "02");
    Refuse("DELETE ON LBLOCKENTRY WHEN OLD.PATNR='000004'");

    EXPECT_TRUE(Open().DeleteLabInvoices());

    const std::string failing = "DELETE FROM LBLOCKENTRY WHERE PATNR='000004' AND LFDPLAN='1' AND LFDLBLOCK='1'";
    EXPECT_EQ(m_traces, Lines{Trace(failing)});
    EXPECT_EQ(MemoLines(), (Lines{"Lösche Laborrechnungen...", "... 3 von 10 gelöscht."}));
    EXPECT_EQ(m_progress, (Lines{"0", "10", "20", "30", "40", "50", "60", "70", "80", "90"}));
    EXPECT_EQ(Practice().Dump("LBLOCK"), "000000|1|1||R0|01|\n000002|1|1||R2|03|\n000003|1|1||R3|01|\n000005|1|1||R5|03|\n"
                                         "000006|1|1||R6|01|\n000007|1|1||R7|01|\n000009|1|1||R9|03|\n000011|1|1|||01|\n");
    EXPECT_EQ(Practice().Dump("LBLOCKENTRY"), entries);

    // With none of the owner's invoices left its vouchers still move, without a count line.
    Voucher("000012", "", "02");
    m_statements.clear();
    EXPECT_TRUE(Dlg().DeleteLabInvoices());
    EXPECT_EQ(m_statements, Lines{"UPDATE LBLOCK SET MDID='01' WHERE MDID='02'"});
    EXPECT_EQ(MemoLines(), (Lines{"Lösche Laborrechnungen...", "... 3 von 10 gelöscht.", "Lösche Laborrechnungen..."}));
}

// With the journal step in the run the owner's journal rows are gone already and
// get no statements; without it their links are cleared. The failing S part of
// 000001 is traced and its invoice is still removed and counted.
TEST_P(InvoicesAndPayments, RemovesTheOwnersRowsAndClearsOnlyTheLinkedBillingParts)
{
    const bool journalStep = GetParam();
    // Owner 01 shares patients and running numbers with owner 02, which is removed.
    const TestPractice& p = Practice();
    p.InsertRows("FAKT", "MDID|PATNR|LFDFAKT", {"01|000001|2"});
    p.InsertRows("CASH", "MDID|PATNR|LFDCASH", {"01|000002|3"});
    p.InsertRows("GLKUFAKT", "MDID|LFDGLKU|LFDGLKUFAKT", {"01|1|3"});
    Voucher("3", "3");
    // Linked in one part each: S to invoice 1 of patient 000001, P to invoice 7'1
    // of patient 000002; G of 000002 names an invoice 1 that patient does not have.
    p.InsertRows("BILL", "PATNR|LFDPATBILL|GLFDFAKT|GABRWUNSCHDATUM|SLFDFAKT|SABRWUNSCHDATUM|PLFDFAKT|PABRWUNSCHDATUM",
                 {"000001|1|2|20240202|1|20240101|5|20240303", "000002|1|1|20240505", "000002|2|||||7'1|20240404"});
    auto othersOnly = p.DumpAll();
    p.InsertRows("FAKT", "MDID|PATNR|LFDFAKT", {"02|000001|1", "02|000002|7'1"});
    p.InsertRows("CASH", "MDID|PATNR|LFDFAKT|LFDCASH", {"02|000001|1|3"});
    p.InsertRows("FBUCHUNG", "LFDNR|MDID|PATNR|LFDFAKT|LFDCASH", {"1|02|000001|1|3"});
    p.InsertRows("GLKUFAKT", "MDID|LFDGLKU|LFDGLKUFAKT", {"02|1|1", "02|2|2"});  // the second without vouchers
    Voucher("1", "1");
    Voucher("2", "1");
    Refuse("UPDATE OF SLFDFAKT ON BILL");

    EXPECT_TRUE(Open(journalStep).DeleteInvoicesAndPayments());

    const std::string failing =
        "UPDATE BILL SET SABRWUNSCHDATUM='99999999',SLFDFAKT='' WHERE PATNR='000001' AND SLFDFAKT='1'";
    EXPECT_EQ(m_traces, Lines{Trace(failing)});
    EXPECT_EQ(MemoLines(), (Lines{"Lösche Rechnungen...", "... 2 gelöscht.", "Lösche Zahlungen...", "... 1 gelöscht.",
                                  "Lösche Gewerbelabor-Rechnungen...", "... 2 gelöscht."}));
    EXPECT_EQ(m_progress, (Lines{"0", "50", "0", "0", "50"}));
    // Without the journal step the journal row loses its links; BILL loses only the failing S part's link.
    othersOnly["FBUCHUNG"] = journalStep ? "1|02|000001|1|3||\n" : "1|02|000001||||\n";
    othersOnly["BILL"] = "|000001|1||2|20240202|1|20240101|5|20240303|\n|000002|1||1|20240505|||||\n"
                         "|000002|2|||||||99999999|\n";
    EXPECT_EQ(Practice().DumpAll(), othersOnly);
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
