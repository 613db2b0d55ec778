#include "OwnerStepFixture.h"

namespace {

// The journal tables, then the transfer tables, in the order they are cleared.
const Lines kTables = {"FBUCHUNG", "FDIENST",  "ZBON",   "TSEBON",    "BANKOUT", "DATEVPAKET", "DATEVPAKETENTRY",
                       "DATEVONLINELOG", "ZEHIT", "ZEHITLST", "PARHIT", "PARHITLST", "KBRHIT",  "KBRHITLST"};

using OwnerTables = OwnerStepFixture;

} // namespace

// A missing table (TSEBON) and a failing statement (ZEHIT) are traced and the
// tables after them are still cleared.
TEST_F(OwnerTables, EveryTableIsClearedOfTheOwnerDespiteFailures)
{
    Practice().Exec("DROP TABLE TSEBON");
    Refuse("DELETE ON ZEHIT");
    Lines statements;
    for (const std::string& table : kTables) {
        statements.push_back("DELETE FROM " + table + " WHERE MDID='02'");
        for (const char* md : {"01", "2", "02"})  // "2" is a prefix of the removed key
            if (table != "TSEBON")
                Practice().Insert(table, {{"LFDNR", md}, {"MDID", md}});
    }

    EXPECT_TRUE(Open().DeleteJournalEntries());
    EXPECT_TRUE(Dlg().DeleteTransferRecords());

    EXPECT_EQ(m_statements, statements);
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
