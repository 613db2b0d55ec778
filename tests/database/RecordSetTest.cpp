#include "DatabaseTest.h"
#include "SqlText.h"
#include "VqBeh.h"
#include "VqFakt.h"
#include "VqMandant.h"
#include "VqPat.h"
#include <QTimer>
#include <chrono>

TEST_F(DatabaseTest, LookupsMatchTheAssignedLeadingKeyFieldsInTextOrderBindKeysAndFail)
{
    InsertRows("FAKT", "MDID|PATNR|LFDFAKT",
               {"02|000002|1", "01|000002|1", "01|000001|2", "01|000001|10", "01|000003|1", "02|000001|1"});
    CVqFakt fakt(&dbDatabase);
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ((Texts{"01|000001|10", "01|000001|2", "01|000002|1", "01|000003|1", "02|000001|1", "02|000002|1"}),
              Walk(fakt, {"MDID", "PATNR", "LFDFAKT"}));
    fakt.SetField("MDID", "01");
    fakt.SetField("LFDFAKT", "1");   // after the gap at PATNR: not used
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ((Texts{"000001", "000001", "000002", "000003"}), Walk(fakt, {"PATNR"}));

    fakt.ClearAll();
    fakt.SetField("MDID", "01");
    fakt.SetField("PATNR", "000001");
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ((Texts{"10", "2"}), Walk(fakt, {"LFDFAKT"}));
    EXPECT_NE(0, fakt.GetByK1(0));   // loading rows assigned nothing: the whole key is missing

    CVqMandant mandant(&dbDatabase);
    EXPECT_NE(0, mandant.Delete());   // no row is current
    practice.Exec("DROP TABLE MANDANT");
    EXPECT_EQ("MANDANT|GetByK1|no such table: MANDANT", Thrown([&] { mandant.GetByK1(2); }));
    EXPECT_THROW(mandant.GetField("NOSUCHCOLUMN"), std::out_of_range);

    EXPECT_EQ("O''Neil''''s", CHbRSet::DoQuotes("O'Neil''s"));
    // A server takes a patient's deletes as one text with the values written in.
    EXPECT_EQ("DELETE FROM PAT WHERE PATNR='12''3' AND ADRID='?'",
              WithLiterals("DELETE FROM PAT WHERE PATNR=? AND ADRID='?'", {"12'3"}));
    InsertRows("PAT", "PATNR", {"12'3", "12' OR '1'='1"});
    CVqPat pat(&dbDatabase);
    pat.SetField("PATNR", "12'3");
    ASSERT_EQ(0, pat.GetByK1(0));
    EXPECT_NE(0, pat.Delete());   // it was the only row of the selection
    EXPECT_EQ("12' OR '1'='1||||\n", practice.Dump("PAT"));
}

// Two patients' services, 600 rows of a two-column key: three pages.
TEST_F(DatabaseTest, WalksCrossPagesSeeOtherConnectionsCommitsAndDeleteMovesOn)
{
    Texts all = Numbered("000001|", 300);
    const Texts second = Numbered("000002|", 300);
    InsertRows("BEH", "PATNR|LFDBEH", second);
    InsertRows("BEH", "PATNR|LFDBEH", all);
    all.insert(all.end(), second.begin(), second.end());
    CVqBeh reader(&dbDatabaseRO);
    reader.SetField("PATNR", "000002");
    ASSERT_EQ(0, reader.GetByK1(2));
    EXPECT_EQ(second, Walk(reader, {"PATNR", "LFDBEH"}));
    ASSERT_EQ(0, reader.GetAll());
    // The read-only connection deletes nothing; the row stays current.
    EXPECT_EQ("BEH|Delete|attempt to write a readonly database", Thrown([&] { reader.Delete(); }));
    // Beyond the first page: the walk holds neither a lock nor a snapshot.
    dbDatabase.InTransaction([] {
        dbDatabase.ExecuteSQL("DELETE FROM BEH WHERE PATNR='000002' AND LFDBEH='000100'");
        dbDatabase.ExecuteSQL("INSERT INTO BEH (PATNR, LFDBEH) VALUES ('000003', '000001')");
    });
    all.erase(all.begin() + 399);
    all.push_back("000003|000001");
    EXPECT_EQ(all, Walk(reader, {"PATNR", "LFDBEH"}));

    // Every third service goes while walking; the walk still meets every service once.
    CVqBeh beh(&dbDatabase);
    ASSERT_EQ(0, beh.GetAll());
    Texts visited;
    do
        visited.push_back(Row(beh, {"PATNR", "LFDBEH"}));
    while ((visited.size() % 3 == 0 ? beh.Delete() : beh.Next()) == 0);
    EXPECT_EQ(all, visited);
    std::size_t position = 0;
    std::erase_if(all, [&position](const std::string&) { return ++position % 3 == 0; });
    ASSERT_EQ(0, beh.GetAll());
    EXPECT_EQ(all, Walk(beh, {"PATNR", "LFDBEH"}));
}

// A lock another client holds is waited for with the window served (the timer that
// ends the lock only fires while events are pumped); held past the wait, the
// operation fails with the database's text.
TEST_F(DatabaseTest, LocksAreWaitedForWithTheWindowServedUpToTheLimit)
{
    InsertRows("PAT", "PATNR", {"000001", "000002"});
    CHbRSetDatabase::SetLockWait(std::chrono::milliseconds(2000));
    CVqPat pat(&dbDatabase);
    ASSERT_EQ(0, pat.GetByK1(2));
    practice.Exec("BEGIN IMMEDIATE");
    QTimer::singleShot(200, [this] { practice.Exec("COMMIT"); });
    EXPECT_EQ(0, pat.Delete());
    EXPECT_EQ("000002||||\n", practice.Dump("PAT"));

    CHbRSetDatabase::SetLockWait(std::chrono::milliseconds(300));
    practice.Exec("BEGIN IMMEDIATE");
    EXPECT_EQ("PAT|Delete|database is locked", Thrown([&] { pat.Delete(); }));
    practice.Exec("COMMIT");
    CHbRSetDatabase::SetLockWait(std::chrono::seconds(60));
    EXPECT_EQ("000002||||\n", practice.Dump("PAT"));
}
