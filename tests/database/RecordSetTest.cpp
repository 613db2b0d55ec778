#include "DatabaseTest.h"
#include "VqBeh.h"
#include "VqBill.h"
#include "VqFakt.h"
#include "VqGLBloc.h"
#include "VqMandant.h"
#include "VqPat.h"
#include <algorithm>

class RecordSetTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        InsertRows("FAKT", {"MDID", "PATNR", "LFDFAKT"},
                   {{"02", "000002", "1"}, {"01", "000002", "1"}, {"01", "000001", "2"}, {"01", "000001", "10"},
                    {"01", "000003", "1"}, {"02", "000001", "1"}});
    }

    static std::string Key(const CHbRSet& fakt)
    {
        return fakt.GetField("MDID") + "/" + fakt.GetField("PATNR") + "/" + fakt.GetField("LFDFAKT");
    }
};

TEST_F(RecordSetTest, MatchModeTwoSelectsByTheAssignedLeadingFieldsInKeyOrder)
{
    CVqFakt fakt(&dbDatabase);
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ(6, fakt.AnzHits());
    Texts keys;
    do
        keys.push_back(Key(fakt));
    while (fakt.Next() == 0);
    EXPECT_EQ((Texts{"01/000001/10", "01/000001/2", "01/000002/1", "01/000003/1", "02/000001/1", "02/000002/1"}), keys);
    EXPECT_NE(0, fakt.Next());

    fakt.SetField("MDID", "01");
    fakt.SetField("LFDFAKT", "1");   // after the gap at PATNR: not used
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ((Texts{"000001", "000001", "000002", "000003"}), Walk(fakt, "PATNR"));

    fakt.ClearAll();
    fakt.SetField("MDID", "01");
    fakt.SetField("PATNR", "000001");
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ((Texts{"10", "2"}), Walk(fakt, "LFDFAKT"));
    // Loading rows fills the buffer but assigns nothing: still MDID and PATNR only.
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ(2, fakt.AnzHits());

    // Match mode 0 needs the whole key and finds one row.
    EXPECT_NE(0, fakt.GetByK1(0));
    EXPECT_EQ(0, fakt.AnzHits());
    fakt.SetField("LFDFAKT", "2");
    ASSERT_EQ(0, fakt.GetByK1(0));
    EXPECT_EQ((Texts{"2"}), Walk(fakt, "LFDFAKT"));
    fakt.SetField("LFDFAKT", "3");
    EXPECT_NE(0, fakt.GetByK1(0));
}

TEST_F(RecordSetTest, SecondKeyAndTheOrderOfGetAll)
{
    InsertRows("BILL", {"MDID", "PATNR", "LFDPATBILL"}, {{"02", "000001", "1"}, {"01", "000002", "1"}, {"01", "000003", "2"}});
    CVqBill bill(&dbDatabase);
    bill.SetField("MDID", "01");
    ASSERT_EQ(0, bill.GetByK2(2));
    EXPECT_EQ((Texts{"000002", "000003"}), Walk(bill, "PATNR"));
    bill.SetKey(2, true);
    ASSERT_EQ(0, bill.GetAll());
    EXPECT_EQ((Texts{"01", "01", "02"}), Walk(bill, "MDID"));

    CVqFakt fakt(&dbDatabase);
    EXPECT_NE(0, fakt.GetByK2(2));   // FAKT has no second key
}

TEST_F(RecordSetTest, EmptyTableAndAFailedLookup)
{
    CVqMandant mandant(&dbDatabase);
    EXPECT_NE(0, mandant.GetByK1(2));
    EXPECT_EQ(0, mandant.AnzHits());
    EXPECT_NE(0, mandant.Delete());
    EXPECT_TRUE(m_traces.empty());

    practice.Exec("DROP TABLE GLBLOC");
    CVqGLBloc bloc(&dbDatabase);
    EXPECT_NE(0, bloc.GetByK1(2));
    EXPECT_EQ((Texts{"CHbRSet::GetByK1 GLBLOC: no such table: GLBLOC Unable to fetch row"}), m_traces);
    EXPECT_THROW(bloc.GetField("NOSUCHCOLUMN"), std::out_of_range);
}

TEST_F(RecordSetTest, KeyWithAQuoteIsBoundNotWritten)
{
    EXPECT_EQ("O''Neil''''s", CHbRSet::DoQuotes("O'Neil''s"));
    InsertRows("PAT", {"PATNR"}, {{"12'3"}, {"12' OR '1'='1"}});
    CVqPat pat(&dbDatabase);
    pat.SetField("PATNR", "12'3");
    ASSERT_EQ(0, pat.GetByK1(0));
    EXPECT_EQ("12'3", pat.GetField("PATNR"));
    EXPECT_NE(0, pat.Delete());   // the only row of the selection
    EXPECT_EQ("12' OR '1'='1||||\n", practice.Dump("PAT"));
}

TEST_F(RecordSetTest, DeleteMovesOnAcrossPageBoundaries)
{
    InsertNumbered("PAT", {"PATNR"}, {""}, 1, 600);
    CVqPat readOnly(&dbDatabaseRO);
    ASSERT_EQ(0, readOnly.GetByK1(2));
    EXPECT_NE(0, readOnly.Delete());
    EXPECT_EQ(Number(1), readOnly.GetField("PATNR"));
    EXPECT_EQ(1u, m_traces.size());

    // Every third patient goes while walking; the walk still meets every patient once.
    CVqPat pat(&dbDatabase);
    ASSERT_EQ(0, pat.GetByK1(2));
    EXPECT_EQ(600, pat.AnzHits());
    int visited = 0;
    int result = 0;
    do {
        EXPECT_EQ(Number(++visited), pat.GetField("PATNR"));
        result = visited % 3 == 0 ? pat.Delete() : pat.Next();
    } while (result == 0);
    EXPECT_EQ(600, visited);
    EXPECT_EQ(400, practice.Count("PAT"));
    EXPECT_EQ(0, practice.Count("PAT", "CAST(PATNR AS INTEGER) % 3 = 0"));

    ASSERT_EQ(0, pat.GetByK1(2));
    while (pat.Delete() == 0) {
    }
    EXPECT_EQ(0, practice.Count("PAT"));
}

TEST_F(RecordSetTest, AWalkHoldsNoLockAgainstAnotherConnection)
{
    InsertNumbered("PAT", {"PATNR"}, {""}, 1, 1000);
    CVqPat pat(&dbDatabaseRO);
    ASSERT_EQ(0, pat.GetByK1(2));
    for (int i = 0; i < 499; ++i)
        ASSERT_EQ(0, pat.Next());

    CHbRSetDatabase other;
    other.Open(nullptr, false, false, dbDatabase.GetCryptConnect(), true);
    other.InTransaction([&] {
        other.ExecuteSQL("DELETE FROM PAT WHERE PATNR='000900'");
        other.ExecuteSQL("INSERT INTO PAT (PATNR) VALUES ('999999')");
    });
    const Texts rest = Walk(pat, "PATNR");   // sees the committed change
    EXPECT_EQ(501u, rest.size());
    EXPECT_EQ(Number(500), rest.front());
    EXPECT_EQ("999999", rest.back());
    EXPECT_EQ(rest.end(), std::find(rest.begin(), rest.end(), "000900"));
}

TEST_F(RecordSetTest, TwoColumnKeysWalkPastAPage)
{
    InsertNumbered("BEH", {"PATNR", "LFDBEH"}, {"000001", ""}, 1, 300);
    InsertNumbered("BEH", {"PATNR", "LFDBEH"}, {"000002", ""}, 1, 300);
    CVqBeh beh(&dbDatabase);
    beh.SetField("PATNR", "000002");
    ASSERT_EQ(0, beh.GetByK1(2));
    const Texts services = Walk(beh, "LFDBEH");
    EXPECT_EQ(300u, services.size());
    EXPECT_TRUE(std::is_sorted(services.begin(), services.end()));

    beh.ClearAll();
    ASSERT_EQ(0, beh.GetAll());
    Texts keys;
    do
        keys.push_back(beh.GetField("PATNR") + beh.GetField("LFDBEH"));
    while (beh.Next() == 0);
    EXPECT_EQ(600u, keys.size());
    EXPECT_TRUE(std::adjacent_find(keys.begin(), keys.end(), std::greater_equal<>()) == keys.end());
}
