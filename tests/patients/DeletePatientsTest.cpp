#include "PatientStepsFixture.h"

namespace {
const std::string kByMainTreater = "Lösche Patienten gemäß Stammbehandler...";
const std::string kWithoutServices = "Lösche Patienten ohne Leistungen...";
}  // namespace

using DeletePatientsTest = PatientStepsFixture;

// Keys match only when exactly equal; an empty main-treater key never does. 000007
// fails inside its complete removal: those before it stay removed, it keeps all its
// rows, 000008 is not reached, and the step ends without a count line.
TEST_F(DeletePatientsTest, OwnerModeRemovesPatientsOfTheOwnersTreatersUpToAFailure)
{
    AddPatients({{"000001", "00a", "A1"}, {"000002", "00A", "A2"}, {"000003", "00a ", "A3"}, {"000004", "", "A4"},
                 {"000005", "00b", ""}, {"000006", "00c", "A'6"}, {"000007", "00c", "A7"}, {"000008", "00c", "A8"}});
    AddServices({{.patNr = "000001", .lfdBeh = "1", .lebId = "009", .archiveNr = "1"},
                 {.patNr = "000002", .lfdBeh = "1", .lebId = "009", .archiveNr = "1"}, {"000007", "1", "009"}});
    AddBillingCase("01", "000001", "1");
    AddBillingCase("01", "000002", "1");
    Practice().Exec("CREATE TRIGGER refuse BEFORE DELETE ON BEH WHEN OLD.PATNR='000007' BEGIN SELECT RAISE(ABORT,'x'); END");
    OpenDialog(false);
    const std::size_t messagesAtOpen = m_messages.Messages().size();
    Dlg().m_aTreaters = {{"00a", "01", "01"}, {"", "01", "01"}, {"00b", "01", ""}, {"00a", "02", "02"}, {"00c", "", ""}};
    const auto kept = KeptRows(PatientsRemoved({"000001", "000005", "000006"}, {"A1", "A'6"}));

    EXPECT_FALSE(Dlg().DeletePatientsByMainTreater());

    EXPECT_EQ(MemoLines(), Lines{kByMainTreater});
    EXPECT_EQ(m_statements, (Lines{"DELETE FROM ADR WHERE ADRID='A1'", "DELETE FROM ADR WHERE ADRID='A''6'"}));
    ASSERT_EQ(m_messages.Messages().size(), messagesAtOpen + 1);
    EXPECT_EQ(m_messages.Messages().back().kind, MessageKind::MessageBox);
    EXPECT_EQ(m_messages.Messages().back().text, "Fehler beim Löschen des Patienten 000007!\nBreche ab.");
    ExpectTables(kept);
}

// One treater pass: the patients of the pass treater (not those of the others in
// the treater table) go; then every patient without services, whoever its owner
// or treater; then every service row of the treater, whatever its billing, with
// its findings and archive entry; then the patients left without services by it.
TEST_F(DeletePatientsTest, TreaterPassRemovesPatientsAndServicesOfThePassTreater)
{
    AddPatients({{"000001", "001", "A1"}, {"000002", "001", "A2"}, {"000003", "", ""},
                 {"000004", "055", "A4"}, {"000005", "002", "A5"}});
    AddServices({{"000001", "1", "002", "1", "0", "s", "1", "1"}, {"000001", "3", "002", "", "", "i", "3", ""},
                 {"000002", "1", "002", "7", "1", "k", "4", ""}, {"000002", "2", "00 2"},
                 {"000002", "3", "001", "", "", "b", "2", ""}, {"000005", "1", "001"}});
    AddBillingCase("05", "000004", "1");
    OpenDialog(true);
    Dlg().m_aTreaters = {{"001", "01", "01"}, {"002", "01", "01"}};
    Dlg().m_strDeleteId = "002";
    auto removed = PatientsRemoved({"000001", "000003", "000004", "000005"}, {"A1", "A4", "A5"});
    removed["BEH"] = "LEBID='002' OR " + removed["BEH"];
    removed["ABEFUND"] = "PATNR='000001'";
    removed["KFOBEFUND"] = "LFDKFOBEFUND='4'";
    const auto kept = KeptRows(removed);

    EXPECT_TRUE(Dlg().DeletePatientsByMainTreater());
    EXPECT_TRUE(Dlg().DeletePatientsWithoutServices());
    EXPECT_TRUE(Dlg().DeleteServicesByLineTreaterForTreater());
    EXPECT_TRUE(Dlg().DeletePatientsWithoutServices());

    EXPECT_EQ(MemoLines(), (Lines{kByMainTreater, "... 1 von 5 gelöscht.", kWithoutServices, "... 2 von 4 gelöscht.",
                                  "Lösche Leistungen gemäß Zeilenbehandler...", "... 3 gelöscht.",
                                  kWithoutServices, "... 1 von 2 gelöscht."}));
    EXPECT_EQ(m_statements, (Lines{"DELETE FROM ADR WHERE ADRID='A5'", "DELETE FROM ADR WHERE ADRID='A4'",
                                   "DELETE FROM ABEFUND WHERE PATNR='000001' AND LFDABEFUND='1'",
                                   "DELETE FROM ARCHIV WHERE PATNR='000001' AND LFDARCHIV='1'",
                                   "DELETE FROM ABEFUND WHERE PATNR='000001' AND LFDABEFUND='3'",
                                   "DELETE FROM KFOBEFUND WHERE PATNR='000002' AND LFDKFOBEFUND='4'",
                                   "DELETE FROM ADR WHERE ADRID='A1'"}));
    ExpectTables(kept);
}
