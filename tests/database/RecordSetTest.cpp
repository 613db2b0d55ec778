#include "DatabaseTest.h"
#include "VqBeh.h"
#include "VqBill.h"
#include "VqFakt.h"
#include "VqGLBloc.h"
#include "VqMandant.h"
#include "VqPat.h"

namespace {

// The values of one column of every row from the current one on, walking with Next.
std::vector<std::string> Walk(CHbRSet& rows, const std::string& column)
{
    std::vector<std::string> values;
    do
        values.push_back(rows.GetField(column));
    while (rows.Next() == 0);
    return values;
}

using Texts = std::vector<std::string>;

} // namespace

class RecordSetTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        InsertRows("FAKT", {"MDID", "PATNR", "LFDFAKT"},
                   {{"02", "000002", "1"}, {"01", "000002", "1"}, {"01", "000001", "2"}, {"01", "000001", "10"},
                    {"01", "000003", "1"}, {"02", "000001", "1"}});
    }
};

TEST_F(RecordSetTest, RowsComeInKeyOrderWithTheWholeRowLoaded)
{
    CVqFakt fakt(&dbDatabase);
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ(6, fakt.AnzHits());
    std::vector<std::string> keys;
    do
        keys.push_back(fakt.GetField("MDID") + "/" + fakt.GetField("PATNR") + "/" + fakt.GetField("LFDFAKT"));
    while (fakt.Next() == 0);
    EXPECT_EQ((Texts{"01/000001/10", "01/000001/2", "01/000002/1", "01/000003/1", "02/000001/1", "02/000002/1"}),
              keys);
    EXPECT_NE(0, fakt.Next());   // stays exhausted
}

TEST_F(RecordSetTest, MatchModeTwoUsesTheAssignedLeadingFieldsUpToTheFirstGap)
{
    CVqFakt fakt(&dbDatabase);
    fakt.SetField("MDID", "01");
    fakt.SetField("LFDFAKT", "1");   // after the gap at PATNR: not used
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ(4, fakt.AnzHits());
    EXPECT_EQ((Texts{"000001", "000001", "000002", "000003"}), Walk(fakt, "PATNR"));

    fakt.ClearAll();
    EXPECT_EQ("", fakt.GetField("MDID"));
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ(6, fakt.AnzHits());

    fakt.ClearAll();
    fakt.SetField("MDID", "01");
    fakt.SetField("PATNR", "000001");
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ((Texts{"10", "2"}), Walk(fakt, "LFDFAKT"));
    // Loading rows changed the buffer but not what is assigned: the lookup again
    // selects by MDID and PATNR only.
    ASSERT_EQ(0, fakt.GetByK1(2));
    EXPECT_EQ(2, fakt.AnzHits());
}

TEST_F(RecordSetTest, MatchModeZeroNeedsTheWholeKey)
{
    CVqFakt fakt(&dbDatabase);
    fakt.SetField("MDID", "01");
    fakt.SetField("PATNR", "000001");
    EXPECT_NE(0, fakt.GetByK1(0));
    EXPECT_EQ(0, fakt.AnzHits());
    fakt.SetField("LFDFAKT", "2");
    ASSERT_EQ(0, fakt.GetByK1(0));
    EXPECT_EQ(1, fakt.AnzHits());
    EXPECT_EQ("2", fakt.GetField("LFDFAKT"));
    EXPECT_NE(0, fakt.Next());
    fakt.SetField("LFDFAKT", "3");
    EXPECT_NE(0, fakt.GetByK1(0));
    EXPECT_EQ(0, fakt.AnzHits());
}

TEST_F(RecordSetTest, SecondKeyAndGetAllOrder)
{
    InsertRows("BILL", {"MDID", "PATNR", "LFDPATBILL"}, {{"02", "000001", "1"}, {"01", "000002", "1"}, {"01", "000003", "2"}});
    CVqBill bill(&dbDatabase);
    bill.SetField("MDID", "01");
    ASSERT_EQ(0, bill.GetByK2(2));
    EXPECT_EQ((Texts{"000002", "000003"}), Walk(bill, "PATNR"));

    bill.SetKey(2, true);
    ASSERT_EQ(0, bill.GetAll());
    EXPECT_EQ((Texts{"01", "01", "02"}), Walk(bill, "MDID"));
    bill.SetKey(1, true);
    ASSERT_EQ(0, bill.GetAll());
    EXPECT_EQ((Texts{"02", "01", "01"}), Walk(bill, "MDID"));

    CVqFakt fakt(&dbDatabase);
    EXPECT_NE(0, fakt.GetByK2(2));
}

TEST_F(RecordSetTest, EmptyTableAndFailedLookup)
{
    CVqMandant mandant(&dbDatabase);
    EXPECT_NE(0, mandant.GetByK1(2));
    EXPECT_NE(0, mandant.GetAll());
    EXPECT_EQ(0, mandant.AnzHits());
    EXPECT_NE(0, mandant.Next());
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
    EXPECT_EQ("", CHbRSet::DoQuotes(""));
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
    InsertPatients(1, 600);
    CVqPat pat(&dbDatabase);
    ASSERT_EQ(0, pat.GetByK1(2));
    EXPECT_EQ(600, pat.AnzHits());
    // Remove every patient whose number is divisible by 3 while walking.
    long visited = 0;
    int result = 0;
    do {
        ++visited;
        const int number = std::stoi(pat.GetField("PATNR"));
        EXPECT_EQ(visited, number);
        result = number % 3 == 0 ? pat.Delete() : pat.Next();
    } while (result == 0);
    EXPECT_EQ(600, visited);
    EXPECT_EQ(400, practice.Count("PAT"));
    EXPECT_EQ(0, practice.Count("PAT", "CAST(PATNR AS INTEGER) % 3 = 0"));
}

TEST_F(RecordSetTest, DeleteOfTheWholeTableAndOnTheReadOnlyConnection)
{
    InsertPatients(1, 300);
    CVqPat readOnly(&dbDatabaseRO);
    ASSERT_EQ(0, readOnly.GetByK1(2));
    EXPECT_NE(0, readOnly.Delete());
    EXPECT_EQ(PatNr(1), readOnly.GetField("PATNR"));
    EXPECT_EQ(300, practice.Count("PAT"));
    ASSERT_EQ(1u, m_traces.size());

    CVqPat pat(&dbDatabase);
    ASSERT_EQ(0, pat.GetByK1(2));
    long removed = 1;
    while (pat.Delete() == 0)
        ++removed;
    EXPECT_EQ(300, removed);
    EXPECT_EQ(0, practice.Count("PAT"));
}

TEST_F(RecordSetTest, AWalkHoldsNoLockAgainstAnotherConnection)
{
    InsertPatients(1, 1000);
    CVqPat pat(&dbDatabaseRO);
    ASSERT_EQ(0, pat.GetByK1(2));
    for (int i = 0; i < 499; ++i)
        ASSERT_EQ(0, pat.Next());
    EXPECT_EQ(PatNr(500), pat.GetField("PATNR"));

    CHbRSetDatabase other;
    other.Open(nullptr, false, false, dbDatabase.GetCryptConnect(), true);
    other.InTransaction([&] {
        other.ExecuteSQL("DELETE FROM PAT WHERE PATNR='000900'");
        other.ExecuteSQL("INSERT INTO PAT (PATNR) VALUES ('999999')");
    });
    // The rest of the walk sees the committed change.
    std::vector<std::string> rest = Walk(pat, "PATNR");
    EXPECT_EQ(501u, rest.size());
    EXPECT_EQ(PatNr(500), rest.front());
    EXPECT_EQ("999999", rest.back());
    EXPECT_EQ(rest.end(), std::find(rest.begin(), rest.end(), "000900"));
}

TEST_F(RecordSetTest, PartlyAssignedKeyOfTwoColumnsWalksPastAPage)
{
    practice.Exec("BEGIN");
    for (int i = 1; i <= 300; ++i) {
        practice.Insert("BEH", {{"PATNR", "000001"}, {"LFDBEH", PatNr(i)}});
        practice.Insert("BEH", {{"PATNR", "000002"}, {"LFDBEH", PatNr(i)}});
    }
    practice.Exec("COMMIT");
    CVqBeh beh(&dbDatabase);
    beh.SetField("PATNR", "000002");
    ASSERT_EQ(0, beh.GetByK1(2));
    EXPECT_EQ(300, beh.AnzHits());
    const std::vector<std::string> services = Walk(beh, "LFDBEH");
    ASSERT_EQ(300u, services.size());
    EXPECT_EQ(PatNr(300), services.back());
    EXPECT_TRUE(std::is_sorted(services.begin(), services.end()));

    beh.ClearAll();
    ASSERT_EQ(0, beh.GetAll());
    const std::vector<std::string> patients = Walk(beh, "PATNR");
    EXPECT_EQ(600u, patients.size());
    EXPECT_EQ(300, std::count(patients.begin(), patients.begin() + 300, "000001"));
}
