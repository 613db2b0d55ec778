#include "DatabaseTest.h"
#include "Loeschkonzept.h"
#include "Mb.h"
#include "VqPat.h"
#include <algorithm>
#include <filesystem>
#include <ranges>

TEST_F(DatabaseTest, PatientsGoWholeOrNotAtAllAndOnlyFromTheirOwnFolder)
{
    // Two patients with a row in every table that has a PATNR (every key column holds
    // the patient number, so rows never collide) and a folder each.
    const auto hasPatNr = [](const TableDef& table) { return std::ranges::count(table.columns, "PATNR") > 0; };
    for (const std::string patNr : {"000001", "000002"}) {
        for (const TableDef& table : PracticeSchema() | std::views::filter(hasPatNr)) {
            std::map<std::string, std::string> row{{"PATNR", patNr}};
            for (const std::string& column : table.primaryKey)
                row[column] = patNr;
            practice.Insert(table.name, row);
        }
        practice.WriteFile("daten/pat/" + patNr + "/befund.txt");
    }
    const auto remove = [this](const std::string& patNr, CHbRSetDatabase& db) {
        CVqPat pat(&dbDatabaseRO);
        pat.SetField("PATNR", patNr);
        return CLoeschkonzept().DeletePatComplete(db, SDelPat(pat), practice.Folder() + "/daten/", true);
    };

    // A folder that cannot be moved aside keeps every row; a failed transaction moves it back.
    const auto before = practice.DumpAll();
    practice.WriteFile("daten/geloescht");
    EXPECT_FALSE(remove("000001", dbDatabase));
    std::filesystem::remove(practice.DataPath() + "geloescht");
    practice.Exec("CREATE TRIGGER KEEP BEFORE DELETE ON DOKUMENT BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
    EXPECT_FALSE(remove("000001", dbDatabase));
    EXPECT_FALSE(remove("000002", dbDatabaseRO));
    EXPECT_EQ(before, practice.DumpAll());
    EXPECT_TRUE(practice.Exists("daten/pat/000001/befund.txt") && practice.Exists("daten/pat/000002/befund.txt"));
    EXPECT_EQ((Texts{"CLoeschkonzept: cannot move " + practice.DataPath() + "pat/000001",
                     "CLoeschkonzept::DeletePatComplete 000001: gesperrt",
                     "CLoeschkonzept::DeletePatComplete 000002: attempt to write a readonly database"}),
              m_traces);

    practice.Exec("DROP TRIGGER KEEP");
    ASSERT_TRUE(remove("000001", dbDatabase));
    EXPECT_FALSE(practice.Exists("daten/pat/000001") || practice.Exists("daten/geloescht/000001"));
    // The finance journal and the transfer records are the practice's books and stay.
    const Texts removed = {"BEH",    "BILL",   "FAKT",        "CASH", "ABEFUND", "KFOBEFUND",  "ROEBEFUND", "ARCHIV", "REZEPT",
                           "PATINFO", "LBLOCK", "LBLOCKENTRY", "GIPS", "ZPLAN",   "WARTELISTE", "WORKFLOW",  "DOKUMENT"};
    std::map<std::string, std::string> expected, actual;
    for (const TableDef& table : PracticeSchema() | std::views::filter(hasPatNr)) {
        expected[table.name] = std::ranges::count(removed, table.name) ? "000002" : "000001,000002";
        actual[table.name] = practice.Scalar("SELECT group_concat(PATNR) FROM " + table.name);
    }
    EXPECT_EQ(expected, actual);

    // Numbers that name no folder strictly inside pat/ remove none.
    practice.WriteFile("daten/pat/x");
    practice.WriteFile("daten/andere/y");
    const auto tree = practice.ListTree();
    for (const std::string patNr : {"", ".", "..", "../daten", "a\\..", "000002/..", "000003"}) {
        EXPECT_TRUE(remove(patNr, dbDatabase)) << patNr;
        EXPECT_EQ(tree, practice.ListTree()) << patNr;
    }

    // Folders left aside: a patient still there gets its folder back, the rest go.
    practice.Exec("DELETE FROM PAT WHERE PATNR='000001'");
    std::filesystem::rename(practice.DataPath() + "pat/000002", practice.DataPath() + "geloescht/000002");
    practice.WriteFile("daten/geloescht/000001/alt.txt");
    CLoeschkonzept::RemoveMovedFolders(dbDatabase, practice.DataPath());
    EXPECT_EQ(tree, practice.ListTree());
}

TEST_F(DatabaseTest, BillsAreMadeForServicesWithoutTheirBillingCase)
{
    InsertRows("LEB", "LEBID|MDIDK|MDIDP", {"001|01|02"});
    // Key-1 order is text order: LFDBEH "10" comes before "9".
    InsertRows("BEH", "PATNR|LFDBEH|LEBID|LFDPATBILL|KZPRIVAT",
               {"000001|9|001|1|0", "000001|10|001|1|1", "000001|11|001|2|0", "000001|12|001||1", "000002|1|007|1|1",
                "000002|2|001|3|x", "000003|1|001|1|1"});
    InsertRows("BILL", "MDID|PATNR|LFDPATBILL|ABRTYP|QUARTAL", {"09|000003|1|Z|20241"});
    const std::string bills = "02|000001|1|P|||||||\n01|000001|2|k|||||||\n|000002|1|P|||||||\n"
                              "01|000002|3|k|||||||\n09|000003|1|Z|||||||20241\n";
    for (const char* selection : {"00014", ""}) {
        EXPECT_TRUE(CMb().MakeBillsForAllPat(selection, ""));
        EXPECT_EQ(bills, practice.Dump("BILL")) << selection;
    }
}
