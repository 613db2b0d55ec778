#include "DialogFixture.h"
#include "Schema.h"
#include <map>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Lines = std::vector<std::string>;

const char* const kRemovedTables[] = {"FAKT", "CASH", "GLKUFAKT", "GLBLOC", "GLBLOCENTRY"};

Lines Dumps(const TestPractice& practice)
{
    Lines dumps;
    for (const char* table : kRemovedTables)
        dumps.push_back(practice.Dump(table));
    return dumps;
}

class InvoicesAndPayments : public DialogFixture {
protected:
    CKelvorDlg& Open(bool journalEntries)
    {
        OpenDialog(false);
        Dlg().m_strDeleteId = "02";
        Dlg().m_strReplacementId = "01";
        Dlg().m_bJournalEntries = journalEntries;
        return Dlg();
    }

    // Owner 01 shares patients and running numbers with owner 02, which is removed.
    void SeedOtherOwner()
    {
        const TestPractice& p = Practice();
        p.Insert("FAKT", {{"MDID", "01"}, {"PATNR", "000001"}, {"LFDFAKT", "2"}});
        p.Insert("CASH", {{"MDID", "01"}, {"PATNR", "000002"}, {"LFDCASH", "3"}});
        p.Insert("GLKUFAKT", {{"MDID", "01"}, {"LFDGLKU", "1"}, {"LFDGLKUFAKT", "3"}});
        Voucher("3", "3");
        p.Insert("FBUCHUNG", {{"LFDNR", "2"}, {"MDID", "01"}, {"PATNR", "000001"}, {"LFDFAKT", "2"}, {"LFDCASH", "3"}});
        // Linked in one part each: S to invoice 1 of patient 000001, P to invoice 7'1
        // of patient 000002; G of 000002 names an invoice 1 that patient does not have.
        p.Insert("BILL", {{"PATNR", "000001"}, {"LFDPATBILL", "1"}, {"GLFDFAKT", "2"}, {"GABRWUNSCHDATUM", "20240202"},
                          {"SLFDFAKT", "1"}, {"SABRWUNSCHDATUM", "20240101"}, {"PLFDFAKT", "5"},
                          {"PABRWUNSCHDATUM", "20240303"}});
        p.Insert("BILL", {{"PATNR", "000002"}, {"LFDPATBILL", "1"}, {"GLFDFAKT", "1"}, {"GABRWUNSCHDATUM", "20240505"}});
        p.Insert("BILL", {{"PATNR", "000002"}, {"LFDPATBILL", "2"}, {"PLFDFAKT", "7'1"}, {"PABRWUNSCHDATUM", "20240404"}});
    }

    void SeedRemovedOwner()
    {
        const TestPractice& p = Practice();
        p.Insert("FAKT", {{"MDID", "02"}, {"PATNR", "000001"}, {"LFDFAKT", "1"}});
        p.Insert("FAKT", {{"MDID", "02"}, {"PATNR", "000002"}, {"LFDFAKT", "7'1"}});
        p.Insert("CASH", {{"MDID", "02"}, {"PATNR", "000001"}, {"LFDFAKT", "1"}, {"LFDCASH", "3"}});
        p.Insert("FBUCHUNG", {{"LFDNR", "1"}, {"MDID", "02"}, {"PATNR", "000001"}, {"LFDFAKT", "1"}, {"LFDCASH", "3"}});
        p.Insert("GLKUFAKT", {{"MDID", "02"}, {"LFDGLKU", "1"}, {"LFDGLKUFAKT", "1"}});
        p.Insert("GLKUFAKT", {{"MDID", "02"}, {"LFDGLKU", "2"}, {"LFDGLKUFAKT", "2"}});  // no vouchers
        Voucher("1", "1");
        Voucher("2", "1");
    }

    void Voucher(const std::string& lfdGlBloc, const std::string& lfdGlKuFakt)
    {
        Practice().Insert("GLBLOC", {{"LFDGLKU", "1"}, {"LFDGLBLOC", lfdGlBloc}, {"LFDGLKUFAKT", lfdGlKuFakt}});
        Practice().Insert("GLBLOCENTRY", {{"LFDGLKU", "1"}, {"LFDGLBLOC", lfdGlBloc}, {"LFDENTRY", "1"}});
    }

    Rows Bills()
    {
        return Practice().Query("SELECT PATNR,LFDPATBILL,GLFDFAKT,GABRWUNSCHDATUM,SLFDFAKT,SABRWUNSCHDATUM,"
                                "PLFDFAKT,PABRWUNSCHDATUM FROM BILL ORDER BY PATNR,LFDPATBILL");
    }
};

Lines ExpectedStatements(bool journalRowsRemain)
{
    Lines statements = {
        "UPDATE BILL SET GABRWUNSCHDATUM='99999999',GLFDFAKT='' WHERE PATNR='000001' AND GLFDFAKT='1'",
        "UPDATE BILL SET SABRWUNSCHDATUM='99999999',SLFDFAKT='' WHERE PATNR='000001' AND SLFDFAKT='1'",
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
    if (!journalRowsRemain)
        std::erase_if(statements, [](const std::string& s) { return s.starts_with("UPDATE FBUCHUNG"); });
    return statements;
}

const Lines kMemo = {"Lösche Rechnungen...",           "... 2 gelöscht.", "Lösche Zahlungen...", "... 1 gelöscht.",
                     "Lösche Gewerbelabor-Rechnungen...", "... 2 gelöscht."};

} // namespace

TEST_F(InvoicesAndPayments, RemovesTheOwnersRowsAndClearsOnlyTheLinkedBillingParts)
{
    SeedOtherOwner();
    const Lines othersOnly = Dumps(Practice());
    SeedRemovedOwner();
    const std::string journal = Practice().Dump("FBUCHUNG");

    EXPECT_TRUE(Open(true).DeleteInvoicesAndPayments());

    EXPECT_EQ(m_statements, ExpectedStatements(false));
    EXPECT_EQ(MemoLines(), kMemo);
    EXPECT_EQ(Dumps(Practice()), othersOnly);
    EXPECT_EQ(Practice().Dump("FBUCHUNG"), journal);
    EXPECT_EQ(Bills(), (Rows{{"000001", "1", "2", "20240202", "", "99999999", "5", "20240303"},
                             {"000002", "1", "1", "20240505", "", "", "", ""},
                             {"000002", "2", "", "", "", "", "", "99999999"}}));
}

TEST_F(InvoicesAndPayments, WithoutTheJournalStepTheJournalLinksAreCleared)
{
    SeedOtherOwner();
    SeedRemovedOwner();

    EXPECT_TRUE(Open(false).DeleteInvoicesAndPayments());

    EXPECT_EQ(m_statements, ExpectedStatements(true));
    EXPECT_EQ(MemoLines(), kMemo);
    EXPECT_EQ(Practice().Query("SELECT LFDNR,MDID,PATNR,LFDFAKT,LFDCASH FROM FBUCHUNG ORDER BY LFDNR"),
              (Rows{{"1", "02", "000001", "", ""}, {"2", "01", "000001", "2", "3"}}));
}

// Server databases often compare keys regardless of case; a column with such a
// collation lets an invoice stored as "0a" into the set of owner "0A". The journal
// step removed only rows spelled exactly "0A", so this invoice's link must go.
TEST_F(InvoicesAndPayments, AnInvoiceSpelledInAnotherCaseKeepsItsJournalStatement)
{
    Practice().Exec("DROP TABLE FAKT");
    Practice().Exec("CREATE TABLE FAKT (MDID TEXT NOT NULL DEFAULT '' COLLATE NOCASE, PATNR TEXT NOT NULL DEFAULT '',"
                    " LFDFAKT TEXT NOT NULL DEFAULT '', LFDPATBILL TEXT NOT NULL DEFAULT '',"
                    " DATUM TEXT NOT NULL DEFAULT '', BETRAG TEXT NOT NULL DEFAULT '',"
                    " PRIMARY KEY (MDID, PATNR, LFDFAKT))");
    Practice().Insert("FAKT", {{"MDID", "0A"}, {"PATNR", "000001"}, {"LFDFAKT", "4"}});
    Practice().Insert("FAKT", {{"MDID", "0a"}, {"PATNR", "000002"}, {"LFDFAKT", "4"}});
    Open(true).m_strDeleteId = "0A";

    EXPECT_TRUE(Dlg().DeleteInvoicesAndPayments());

    EXPECT_EQ(m_statements,
              (Lines{"UPDATE BILL SET GABRWUNSCHDATUM='99999999',GLFDFAKT='' WHERE PATNR='000001' AND GLFDFAKT='4'",
                     "UPDATE BILL SET SABRWUNSCHDATUM='99999999',SLFDFAKT='' WHERE PATNR='000001' AND SLFDFAKT='4'",
                     "UPDATE BILL SET PABRWUNSCHDATUM='99999999',PLFDFAKT='' WHERE PATNR='000001' AND PLFDFAKT='4'",
                     "UPDATE BILL SET GABRWUNSCHDATUM='99999999',GLFDFAKT='' WHERE PATNR='000002' AND GLFDFAKT='4'",
                     "UPDATE BILL SET SABRWUNSCHDATUM='99999999',SLFDFAKT='' WHERE PATNR='000002' AND SLFDFAKT='4'",
                     "UPDATE BILL SET PABRWUNSCHDATUM='99999999',PLFDFAKT='' WHERE PATNR='000002' AND PLFDFAKT='4'",
                     "UPDATE FBUCHUNG SET LFDFAKT='' WHERE PATNR='000002' AND MDID='0a' AND LFDFAKT='4'"}));
    EXPECT_EQ(Practice().Count("FAKT"), 0);
}

TEST_F(InvoicesAndPayments, AFailingBillingStatementStillRemovesAndCountsTheInvoice)
{
    SeedOtherOwner();
    SeedRemovedOwner();
    Practice().Exec("CREATE TRIGGER FAIL BEFORE UPDATE OF SLFDFAKT ON BILL BEGIN SELECT RAISE(ABORT,'test'); END");

    EXPECT_TRUE(Open(false).DeleteInvoicesAndPayments());

    EXPECT_EQ(m_statements, ExpectedStatements(true));
    EXPECT_EQ(MemoLines(), kMemo);
    ASSERT_EQ(m_traces.size(), 1U);
    EXPECT_EQ(m_traces[0], "CKelvorDlg::ExecuteSQL: " + ExpectedStatements(false)[1] + "\ntest Unable to fetch row");
    EXPECT_EQ(Practice().Count("FAKT", "MDID='02'"), 0);
    EXPECT_EQ(Bills()[0], (std::vector<std::string>{"000001", "1", "2", "20240202", "1", "20240101", "5", "20240303"}));
}

TEST_F(InvoicesAndPayments, AnOwnerWithoutBillingRowsGetsHeadingsOnly)
{
    SeedOtherOwner();
    const auto before = Practice().DumpAll();

    EXPECT_TRUE(Open(false).DeleteInvoicesAndPayments());

    EXPECT_EQ(MemoLines(), (Lines{"Lösche Rechnungen...", "Lösche Zahlungen...", "Lösche Gewerbelabor-Rechnungen..."}));
    EXPECT_TRUE(m_statements.empty());
    EXPECT_TRUE(m_progress.empty());
    EXPECT_EQ(Practice().DumpAll(), before);
}

TEST_F(InvoicesAndPayments, ProgressMovesPerRowAndServesTheWindowEverySixteenthRow)
{
    for (const char* patNr : {"000001", "000002", "000003"})
        Practice().Insert("FAKT", {{"MDID", "02"}, {"PATNR", patNr}, {"LFDFAKT", "1"}});
    for (int i = 10; i < 30; ++i)
        Practice().Insert("CASH", {{"MDID", "02"}, {"PATNR", "000001"}, {"LFDCASH", std::to_string(i)}});

    Open(true).DeleteInvoicesAndPayments();

    EXPECT_EQ(m_progress, (Lines{"0",  "33", "67", "0",  "5",  "10", "15", "20", "25", "30", "35", "40",
                                 "45", "50", "55", "60", "65", "70", "75", "pump", "80", "85", "90", "95"}));
    EXPECT_EQ(MemoLines()[3], "... 20 gelöscht.");
}

namespace {

std::string KeyColumns(const std::string& table)
{
    std::string keys;
    for (const std::string& column : SchemaTable(table).primaryKey)
        keys += (keys.empty() ? "" : ",") + column;
    return keys;
}

// The owner with the most invoices in a generated practice.
std::string BusiestOwner(const TestPractice& p)
{
    return p.Scalar("SELECT MDID FROM FAKT GROUP BY MDID ORDER BY COUNT(*) DESC, MDID LIMIT 1");
}

void ExpectCountLine(Lines& memo, long count)
{
    if (count > 0)
        memo.push_back("... " + std::to_string(count) + " gelöscht.");
}

} // namespace

TEST_F(InvoicesAndPayments, GeneratedPracticeLosesTheOwnersBillingRowsOnly)
{
    UsePractice(11, 60);
    TestPractice& p = Practice();
    const std::string md = BusiestOwner(p);
    const std::string ofOwner = "MDID='" + md + "'";
    ASSERT_GT(p.Count("FAKT", ofOwner), 0);

    Lines statements;
    for (const auto& invoice : p.Query("SELECT PATNR,LFDFAKT FROM FAKT WHERE " + ofOwner + " ORDER BY PATNR,LFDFAKT"))
        for (const std::string part : {"G", "S", "P"})
            statements.push_back("UPDATE BILL SET " + part + "ABRWUNSCHDATUM='99999999'," + part + "LFDFAKT='' WHERE PATNR='" +
                                 invoice[0] + "' AND " + part + "LFDFAKT='" + invoice[1] + "'");
    const std::string ownersVouchers = " FROM GLBLOC b JOIN GLKUFAKT f ON f.LFDGLKU=b.LFDGLKU AND f.LFDGLKUFAKT=b.LFDGLKUFAKT"
                                       " WHERE f." + ofOwner;
    for (const auto& voucher : p.Query("SELECT b.LFDGLKU,b.LFDGLBLOC" + ownersVouchers +
                                       " ORDER BY f.LFDGLKU,f.LFDGLKUFAKT,b.LFDGLBLOC"))
        statements.push_back("DELETE FROM GLBLOCENTRY WHERE LFDGLKU='" + voucher[0] + "' AND LFDGLBLOC='" + voucher[1] + "'");
    Lines memo = {"Lösche Rechnungen..."};
    ExpectCountLine(memo, p.Count("FAKT", ofOwner));
    memo.push_back("Lösche Zahlungen...");
    ExpectCountLine(memo, p.Count("CASH", ofOwner));
    memo.push_back("Lösche Gewerbelabor-Rechnungen...");
    ExpectCountLine(memo, p.Count("GLKUFAKT", ofOwner));

    // What must stay: the other owners' rows, every billing case not linked to a removed invoice.
    const auto ofOwnersInvoice = [&](const std::string& voucher) {
        return "EXISTS (SELECT 1 FROM GLKUFAKT f WHERE f." + ofOwner + " AND f.LFDGLKU=" + voucher +
               ".LFDGLKU AND f.LFDGLKUFAKT=" + voucher + ".LFDGLKUFAKT)";
    };
    const std::map<std::string, std::string> kept = {
        {"FAKT", "NOT " + ofOwner},
        {"CASH", "NOT " + ofOwner},
        {"GLKUFAKT", "NOT " + ofOwner},
        {"GLBLOC", "NOT " + ofOwnersInvoice("e")},
        {"GLBLOCENTRY", "NOT EXISTS (SELECT 1 FROM GLBLOC b WHERE b.LFDGLKU=e.LFDGLKU AND b.LFDGLBLOC=e.LFDGLBLOC AND " +
                            ofOwnersInvoice("b") + ")"},
        {"BILL", "NOT EXISTS (SELECT 1 FROM FAKT f WHERE f." + ofOwner +
                     " AND f.PATNR=e.PATNR AND f.LFDFAKT IN (e.GLFDFAKT,e.SLFDFAKT,e.PLFDFAKT))"}};
    for (const auto& [table, condition] : kept)
        p.Exec("CREATE TABLE KEPT" + table + " AS SELECT * FROM " + table + " e WHERE " + condition);
    ASSERT_LT(p.Count("KEPTBILL"), p.Count("BILL"));
    const long billCount = p.Count("BILL");
    auto before = p.DumpAll();

    OpenDialog(false);
    Dlg().m_strDeleteId = md;
    Dlg().m_bJournalEntries = true;
    EXPECT_TRUE(Dlg().DeleteInvoicesAndPayments());

    EXPECT_EQ(m_statements, statements);
    EXPECT_EQ(MemoLines(), memo);
    for (const auto& entry : kept) {
        const std::string keys = KeyColumns(entry.first);
        // Billing cases stay, with the links to removed invoices cleared.
        const std::string rows = entry.first == "BILL" ? "t.* FROM BILL t JOIN KEPTBILL USING (" + keys + ")"
                                                       : "* FROM " + entry.first;
        EXPECT_EQ(p.Query("SELECT " + rows + " ORDER BY " + keys),
                  p.Query("SELECT * FROM KEPT" + entry.first + " ORDER BY " + keys))
            << entry.first;
    }
    EXPECT_EQ(p.Count("BILL"), billCount);
    auto after = p.DumpAll();
    for (const auto& entry : kept) {
        before.erase(entry.first);
        after.erase(entry.first);
    }
    EXPECT_EQ(after, before);
}
