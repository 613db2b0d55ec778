#include "DialogFixture.h"
#include <map>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const Lines kJournalTables = {"FBUCHUNG",   "FDIENST",    "ZBON",           "TSEBON",
                              "BANKOUT",    "DATEVPAKET", "DATEVPAKETENTRY", "DATEVONLINELOG"};
const Lines kTransferTables = {"ZEHIT", "ZEHITLST", "PARHIT", "PARHITLST", "KBRHIT", "KBRHITLST"};

Lines Deletes(const Lines& tables, const std::string& md)
{
    Lines statements;
    for (const std::string& table : tables)
        statements.push_back("DELETE FROM " + table + " WHERE MDID='" + md + "'");
    return statements;
}

class OwnerTables : public DialogFixture {
protected:
    // Rows of owner 01 and of owner "2" (a prefix of the removed key), then the
    // removed owner's rows; returns the tables as they must look afterwards.
    std::map<std::string, std::string> Seed(const Lines& tables)
    {
        std::map<std::string, std::string> expected;
        for (const std::string& table : tables) {
            Practice().Insert(table, {{"LFDNR", "1"}, {"MDID", "01"}, {"INHALT", "a"}});
            Practice().Insert(table, {{"LFDNR", "2"}, {"MDID", "2"}, {"INHALT", "b"}});
            expected[table] = Practice().Dump(table);
            Practice().Insert(table, {{"LFDNR", "3"}, {"MDID", "02"}, {"INHALT", "c"}});
            Practice().Insert(table, {{"LFDNR", "4"}, {"MDID", "02"}, {"INHALT", "d"}});
        }
        return expected;
    }

    std::map<std::string, std::string> Dumps(const Lines& tables)
    {
        std::map<std::string, std::string> dumps;
        for (const std::string& table : tables)
            dumps[table] = Practice().Dump(table);
        return dumps;
    }

    CKelvorDlg& Open()
    {
        OpenDialog(false);
        Dlg().m_strDeleteId = "02";
        Dlg().m_strReplacementId = "01";
        return Dlg();
    }

    // The executor's one trace line: the statement, then the database's error.
    void ExpectOneTrace(const std::string& statement, const std::string& error)
    {
        ASSERT_EQ(m_traces.size(), 1U);
        EXPECT_EQ(m_traces[0], "CKelvorDlg::ExecuteSQL: " + statement + "\n" + error);
    }
};

} // namespace

TEST_F(OwnerTables, JournalTablesAfterAMissingTableAreStillCleared)
{
    Practice().Exec("DROP TABLE TSEBON");
    Lines present = kJournalTables;
    std::erase(present, "TSEBON");
    const auto expected = Seed(present);

    EXPECT_TRUE(Open().DeleteJournalEntries());

    EXPECT_EQ(m_statements, Deletes(kJournalTables, "02"));
    EXPECT_EQ(MemoLines(), Lines{"Lösche FiBu-/Kassenbuch-TSE-Einträge..."});
    ExpectOneTrace("DELETE FROM TSEBON WHERE MDID='02'", "no such table: TSEBON Unable to execute statement");
    EXPECT_EQ(Dumps(present), expected);
    EXPECT_TRUE(m_progress.empty());
}

TEST_F(OwnerTables, TransferTablesAfterAFailingStatementAreStillCleared)
{
    const auto expected = Seed(kTransferTables);
    const std::string zeHit = Practice().Dump("ZEHIT");
    Practice().Exec("CREATE TRIGGER FAIL BEFORE DELETE ON ZEHIT BEGIN SELECT RAISE(ABORT,'test'); END");

    EXPECT_TRUE(Open().DeleteTransferRecords());

    EXPECT_EQ(m_statements, Deletes(kTransferTables, "02"));
    EXPECT_EQ(MemoLines(), Lines{"Lösche ZE-/PAR-/KBR-DTA..."});
    ExpectOneTrace("DELETE FROM ZEHIT WHERE MDID='02'", "test Unable to fetch row");
    auto after = Dumps(kTransferTables);
    EXPECT_EQ(after["ZEHIT"], zeHit);
    after["ZEHIT"] = expected.at("ZEHIT");
    EXPECT_EQ(after, expected);
}

TEST_F(OwnerTables, GeneratedPracticeLosesTheOwnersJournalAndTransferRowsOnly)
{
    UsePractice(5, 40);
    TestPractice& p = Practice();
    const std::string md = p.Scalar("SELECT MDID FROM FBUCHUNG GROUP BY MDID ORDER BY COUNT(*) DESC, MDID LIMIT 1");
    Lines tables = kJournalTables;
    tables.insert(tables.end(), kTransferTables.begin(), kTransferTables.end());
    long ownerRows = 0;
    for (const std::string& table : tables) {
        ownerRows += p.Count(table, "MDID='" + md + "'");
        p.Exec("CREATE TABLE KEPT" + table + " AS SELECT * FROM " + table + " WHERE MDID<>'" + md + "'");
    }
    ASSERT_GT(ownerRows, 0);
    auto before = p.DumpAll();

    OpenDialog(false);
    Dlg().m_strDeleteId = md;
    EXPECT_TRUE(Dlg().DeleteJournalEntries());
    EXPECT_TRUE(Dlg().DeleteTransferRecords());

    Lines statements = Deletes(kJournalTables, md);
    const Lines transfer = Deletes(kTransferTables, md);
    statements.insert(statements.end(), transfer.begin(), transfer.end());
    EXPECT_EQ(m_statements, statements);
    EXPECT_EQ(MemoLines(), (Lines{"Lösche FiBu-/Kassenbuch-TSE-Einträge...", "Lösche ZE-/PAR-/KBR-DTA..."}));
    auto after = p.DumpAll();
    for (const std::string& table : tables) {
        EXPECT_EQ(p.Query("SELECT * FROM " + table + " ORDER BY LFDNR"),
                  p.Query("SELECT * FROM KEPT" + table + " ORDER BY LFDNR"))
            << table;
        before.erase(table);
        after.erase(table);
    }
    EXPECT_EQ(after, before);
    EXPECT_TRUE(m_traces.empty());
}
