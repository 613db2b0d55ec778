#include "DatabaseTest.h"
#include "VqBeh.h"
#include "VqGLBloc.h"
#include "VqLBlock.h"
#include "VqLeb.h"
#include "VqPersonalAdr.h"

TEST_F(DatabaseTest, TreatersOfAnOwnerByEitherPractice)
{
    InsertRows("LEB", {"LEBID", "MDIDK", "MDIDP"},
               {{"004", "02", "01"}, {"001", "01", "01"}, {"002", "02", "02"}, {"003", "", "01"}, {"005", "", ""}});
    CVqLeb leb(&dbDatabaseRO);
    ASSERT_EQ(0, leb.GetAllLebIdWithMdId("01"));
    EXPECT_EQ((Texts{"001", "003", "004"}), Walk(leb, "LEBID"));
    EXPECT_NE(0, leb.GetAllLebIdWithMdId("03"));
}

TEST_F(DatabaseTest, ServicesForEvaluate)
{
    InsertRows("BEH", {"PATNR", "LFDBEH", "LEBID", "LFDPATBILL", "DATUM", "LEISTUNG"},
               {{"000001", "2", "001", "", "20240110", "01"},
                {"000001", "1", "001", "5", "20240301", "Ä1"},
                {"000001", "3", "002", "", "20240110", "01"},
                {"000002", "1", "001", "", "20240110", "01"}});
    CVqBeh beh(&dbDatabase);
    const auto evaluate = [&](const std::string& from, const std::string& to, const std::string& leistung,
                              bool withLebId, bool onlyOpen, bool onlyBilled) {
        beh.SetField("PATNR", "000001");
        beh.SetField("LEBID", "001");
        return beh.GetForEvaluate(from, to, leistung, "", "P", withLebId, onlyOpen, onlyBilled, 3, 1) == 0
            ? Walk(beh, "LFDBEH")
            : Texts{};
    };
    EXPECT_EQ((Texts{"1", "2"}), evaluate("", "", "", true, false, false));
    EXPECT_EQ((Texts{"1", "2", "3"}), evaluate("", "", "", false, false, false));
    EXPECT_EQ((Texts{"1"}), evaluate("20240201", "20241231", "Ä1", true, false, true));
    EXPECT_EQ((Texts{"2"}), evaluate("", "20240131", "", true, true, false));
}

TEST_F(DatabaseTest, VouchersAndLaboratoryInvoices)
{
    InsertRows("GLBLOC", {"LFDGLKU", "LFDGLBLOC", "LFDGLKUFAKT"}, {{"7", "2", "1"}, {"7", "1", "1"}, {"7", "3", "2"}, {"8", "1", "1"}});
    CVqGLBloc bloc(&dbDatabase);
    ASSERT_EQ(0, bloc.GetByLfdGLKuFakt("7", "1"));
    EXPECT_EQ((Texts{"1", "2"}), Walk(bloc, "LFDGLBLOC"));

    InsertRows("LBLOCK", {"PATNR", "LFDPLAN", "LFDLBLOCK", "RECHNR", "MDID"},
               {{"000002", "1", "1", "R7", "02"}, {"000001", "1", "2", "", "01"}, {"000001", "1", "1", "R5", "01"}});
    CVqLBlock lab(&dbDatabase);
    ASSERT_EQ(0, lab.GetLabRech("", "", "", "", "", "", "", ""));
    EXPECT_EQ((Texts{"R5", "R7"}), Walk(lab, "RECHNR"));
    ASSERT_EQ(0, lab.GetLabRech("", "", "", "", "", "02", "", ""));
    EXPECT_EQ((Texts{"R7"}), Walk(lab, "RECHNR"));
    EXPECT_NE(0, lab.GetLabRech("000001", "", "2", "", "", "", "", ""));
}

TEST_F(DatabaseTest, StaffFullNameLeavesEmptyPartsOut)
{
    InsertRows("PERSONALADR", {"PERSONALID", "TITEL", "VORNAME", "NAME"},
               {{"P1", "Dr.", "Anna", "Berger"}, {"P2", "", "Jan", "Kurz"}, {"P3", "Prof.", "", "Lang"}, {"P4", "", "", ""}});
    CVqPersonalAdr adr(&dbDatabaseRO);
    Texts names;
    for (const char* id : {"P1", "P2", "P3", "P4"}) {
        adr.SetField("PERSONALID", id);
        EXPECT_EQ(0, adr.GetByK1(0));
        names.push_back(adr.MakeFullName(1));
    }
    EXPECT_EQ((Texts{"Dr. Anna Berger", "Jan Kurz", "Prof. Lang", ""}), names);
}
