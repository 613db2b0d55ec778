#include "DatabaseTest.h"
#include "Loeschkonzept.h"
#include "Mb.h"
#include "VqPat.h"

namespace {

// Tables with the patient's rows that go, and the books that stay.
const Texts kRemoved = {"BEH",    "BILL",   "FAKT",    "CASH",   "ABEFUND",     "KFOBEFUND",
                        "ROEBEFUND", "ARCHIV", "REZEPT", "PATINFO", "LBLOCK", "LBLOCKENTRY",
                        "GIPS",   "ZPLAN",  "WARTELISTE", "WORKFLOW", "DOKUMENT"};
const Texts kKept = {"PAT", "FBUCHUNG", "ZEHIT"};

} // namespace

class PatientRemovalTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        for (const std::string patNr : {"000001", "000002"}) {
            // Every key column holds the patient number, so the rows never collide.
            for (const std::string& table : kRemoved) {
                std::map<std::string, std::string> row{{"PATNR", patNr}};
                for (const std::string& column : SchemaTable(table).primaryKey)
                    row[column] = patNr;
                practice.Insert(table, row);
            }
            for (const std::string& table : kKept)
                practice.Insert(table, {{SchemaTable(table).primaryKey[0], patNr}, {"PATNR", patNr}});
            practice.Insert("ADR", {{"ADRID", patNr}});
            practice.WriteFile("daten/pat/" + patNr + "/befund.txt");
        }
    }

    bool Remove(const std::string& patNr, CHbRSetDatabase& db = dbDatabase)
    {
        CVqPat pat(&dbDatabaseRO);
        pat.SetField("PATNR", patNr);
        EXPECT_EQ(0, pat.GetByK1(0));
        return CLoeschkonzept().DeletePatComplete(db, SDelPat(pat), practice.DataPath(), true);
    }
};

TEST_F(PatientRemovalTest, RemovesThePatientWhole)
{
    ASSERT_TRUE(Remove("000001"));
    for (const std::string& table : kRemoved)
        EXPECT_EQ("000002", practice.Scalar("SELECT group_concat(PATNR) FROM " + table)) << table;
    for (const std::string& table : kKept)
        EXPECT_EQ("000001,000002", practice.Scalar("SELECT group_concat(PATNR) FROM " + table)) << table;
    EXPECT_EQ(2, practice.Count("ADR"));
    EXPECT_FALSE(practice.Exists("daten/pat/000001"));
    EXPECT_TRUE(practice.Exists("daten/pat/000002/befund.txt"));
}

TEST_F(PatientRemovalTest, OneFailingStatementRemovesNothing)
{
    practice.Exec("CREATE TRIGGER KEEP BEFORE DELETE ON DOKUMENT BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
    const auto before = practice.DumpAll();
    EXPECT_FALSE(Remove("000001"));
    EXPECT_EQ(before, practice.DumpAll());
    EXPECT_TRUE(practice.Exists("daten/pat/000001/befund.txt"));
    EXPECT_EQ((Texts{"CLoeschkonzept::DeletePatComplete 000001: gesperrt Unable to fetch row"}),
              m_traces);

    EXPECT_FALSE(Remove("000002", dbDatabaseRO));
    EXPECT_EQ(before, practice.DumpAll());
}

TEST_F(PatientRemovalTest, NumbersThatNameNoPatientFolderRemoveNoFolder)
{
    practice.WriteFile("daten/pat/x");
    practice.WriteFile("daten/andere/y");
    const auto tree = practice.ListTree();
    for (const std::string patNr : {"", ".", "..", "../daten", "a\\..", "000001/..", "000003"}) {
        practice.Insert("PAT", {{"PATNR", patNr}});
        EXPECT_TRUE(Remove(patNr)) << patNr;
        EXPECT_EQ(tree, practice.ListTree()) << patNr;
    }
}

TEST_F(DatabaseTest, BillsAreMadeForServicesWithoutTheirBillingCase)
{
    InsertRows("LEB", {"LEBID", "MDIDK", "MDIDP"}, {{"001", "01", "02"}});
    // Key-1 order is text order: LFDBEH "10" comes before "9".
    InsertRows("BEH", {"PATNR", "LFDBEH", "LEBID", "LFDPATBILL", "KZPRIVAT"},
               {{"000001", "9", "001", "1", "0"},
                {"000001", "10", "001", "1", "1"},
                {"000001", "11", "001", "2", "0"},
                {"000001", "12", "001", "", "1"},
                {"000002", "1", "007", "1", "1"},
                {"000002", "2", "001", "3", "x"},
                {"000003", "1", "001", "1", "1"}});
    InsertRows("BILL", {"MDID", "PATNR", "LFDPATBILL", "ABRTYP", "QUARTAL"}, {{"09", "000003", "1", "Z", "20241"}});
    EXPECT_TRUE(CMb().MakeBillsForAllPat("00014", ""));
    EXPECT_EQ("02|000001|1|P|||||||\n"
              "01|000001|2|k|||||||\n"
              "|000002|1|P|||||||\n"
              "01|000002|3|k|||||||\n"
              "09|000003|1|Z|||||||20241\n",
              practice.Dump("BILL"));
    EXPECT_TRUE(CMb().MakeBillsForAllPat("", ""));
    EXPECT_EQ(5, practice.Count("BILL"));
}
