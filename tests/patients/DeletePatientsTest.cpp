#include "PatientStepsFixture.h"

namespace {

const std::string kByMainTreater = "Lösche Patienten gemäß Stammbehandler...";
const std::string kWithoutServices = "Lösche Patienten ohne Leistungen...";

std::string PatNr(int n)
{
    return std::string(6 - std::to_string(n).size(), '0') + std::to_string(n);
}

}  // namespace

using DeletePatientsTest = PatientStepsFixture;

// Keys match only when exactly equal; an empty main-treater key never does.
TEST_F(DeletePatientsTest, OwnerModeRemovesPatientsOfTheOwnersTreaters)
{
    AddPatient("000001", "00a", "A1");
    AddPatient("000002", "00A", "A2");
    AddPatient("000003", "00a ", "A3");
    AddPatient("000004", "", "A4");
    AddPatient("000005", "00b", "");
    AddPatient("000006", "00c", "A'6");
    AddService({.patNr = "000001", .lfdBeh = "1", .lebId = "009", .archiveNr = "1"});
    AddService({.patNr = "000002", .lfdBeh = "1", .lebId = "009", .archiveNr = "1"});
    AddBillingCase("01", "000001", "1");
    AddBillingCase("01", "000002", "1");
    Open(false);
    Dlg().m_aTreaters = {{"00a", "01", "01"}, {"", "01", "01"}, {"00b", "01", ""}, {"00a", "02", "02"}, {"00c", "", ""}};
    const auto kept = KeptRows(PatientsRemoved({"000001", "000005", "000006"}, {"A1", "A'6"}));

    EXPECT_TRUE(Dlg().DeletePatientsByMainTreater());

    EXPECT_EQ(MemoLines(), (Lines{kByMainTreater, "... 3 von 6 gelöscht."}));
    EXPECT_EQ(m_statements, (Lines{"DELETE FROM ADR WHERE ADRID='A1'", "DELETE FROM ADR WHERE ADRID='A''6'"}));
    EXPECT_TRUE(StepMessages().empty());
    ExpectTables(kept);
}

// Each pass removes the patients of its own treater, whatever the treater table holds.
TEST_F(DeletePatientsTest, TreaterModeRemovesPatientsOfThePassTreaterOnly)
{
    AddPatient("000001", "001", "A1");
    AddPatient("000002", "002", "A2");
    AddPatient("000003", "003", "A3");
    Open(true);
    Dlg().m_aTreaters = {{"001", "01", "01"}, {"002", "01", "01"}, {"003", "01", "01"}};
    const auto kept = KeptRows(PatientsRemoved({"000001", "000003"}, {"A1", "A3"}));

    for (const std::string treater : {"003", "001"}) {
        Dlg().m_strDeleteId = treater;
        EXPECT_TRUE(Dlg().DeletePatientsByMainTreater());
    }

    EXPECT_EQ(MemoLines(), (Lines{kByMainTreater, "... 1 von 3 gelöscht.", kByMainTreater, "... 1 von 2 gelöscht."}));
    EXPECT_EQ(m_statements, (Lines{"DELETE FROM ADR WHERE ADRID='A3'", "DELETE FROM ADR WHERE ADRID='A1'"}));
    ExpectTables(kept);
}

TEST_F(DeletePatientsTest, NoMatchingPatientWritesTheHeadingOnly)
{
    for (int n = 1; n <= 20; ++n)
        AddPatient(PatNr(n), "001", "A" + std::to_string(n));
    Open(false);
    Dlg().m_aTreaters.clear();
    const auto kept = KeptRows({});
    m_progress.clear();

    EXPECT_TRUE(Dlg().DeletePatientsByMainTreater());

    EXPECT_EQ(MemoLines(), Lines{kByMainTreater});
    EXPECT_TRUE(m_statements.empty());
    ASSERT_FALSE(m_progress.empty());
    EXPECT_EQ(m_progress.back(), "95");
    ExpectTables(kept);
}

// The second of five fails inside its complete removal: the first stays removed,
// the second keeps all its rows, the rest are not reached.
TEST_F(DeletePatientsTest, FailedRemovalStopsTheStepWithoutCountLine)
{
    for (int n = 1; n <= 5; ++n) {
        AddPatient(PatNr(n), "001", "A" + std::to_string(n));
        AddService({.patNr = PatNr(n), .lfdBeh = "1", .lebId = "001"});
    }
    Practice().Exec("CREATE TRIGGER refuse BEFORE DELETE ON BEH WHEN OLD.PATNR='000002' "
                    "BEGIN SELECT RAISE(ABORT,'test'); END");
    Open(false);
    Dlg().m_aTreaters = {{"001", "01", "01"}};
    const auto kept = KeptRows(PatientsRemoved({"000001"}, {"A1"}));

    EXPECT_FALSE(Dlg().DeletePatientsByMainTreater());

    EXPECT_EQ(MemoLines(), Lines{kByMainTreater});
    EXPECT_EQ(m_statements, Lines{"DELETE FROM ADR WHERE ADRID='A1'"});
    ASSERT_EQ(StepMessages().size(), 1u);
    EXPECT_EQ(StepMessages()[0].kind, MessageKind::MessageBox);
    EXPECT_EQ(StepMessages()[0].text, "Fehler beim Löschen des Patienten 000002!\nBreche ab.");
    ExpectTables(kept);
}

// Every patient of the practice is examined, whoever its owner or treater.
TEST_F(DeletePatientsTest, PatientsWithoutAnyServiceRowAreRemoved)
{
    AddPatient("000001", "001", "A1");
    AddService({.patNr = "000001", .lfdBeh = "1", .lebId = "077"});
    AddPatient("000002", "055", "A2");
    AddBillingCase("05", "000002", "1");
    AddPatient("000003", "", "");
    Open(false);
    Dlg().m_strDeleteId = "01";
    const auto kept = KeptRows(PatientsRemoved({"000002", "000003"}, {"A2"}));

    EXPECT_TRUE(Dlg().DeletePatientsWithoutServices());

    EXPECT_EQ(MemoLines(), (Lines{kWithoutServices, "... 2 von 3 gelöscht."}));
    EXPECT_EQ(m_statements, Lines{"DELETE FROM ADR WHERE ADRID='A2'"});
    ExpectTables(kept);
}

// A patient whose last services go in the service step of a pass goes in the same pass.
TEST_F(DeletePatientsTest, PatientLeftWithoutServicesByThePassIsRemoved)
{
    AddPatient("000001", "001", "A1");
    AddService({.patNr = "000001", .lfdBeh = "1", .lebId = "002"});
    AddService({.patNr = "000001", .lfdBeh = "2", .lebId = "002"});
    AddPatient("000002", "001", "A2");
    AddService({.patNr = "000002", .lfdBeh = "1", .lebId = "002"});
    AddService({.patNr = "000002", .lfdBeh = "2", .lebId = "001"});
    Open(true);
    Dlg().m_strDeleteId = "002";
    auto removed = PatientsRemoved({"000001"}, {"A1"});
    removed["BEH"] = "LEBID='002'";
    const auto kept = KeptRows(removed);

    EXPECT_TRUE(Dlg().DeletePatientsWithoutServices());
    EXPECT_TRUE(Dlg().DeleteServicesByLineTreaterForTreater());
    EXPECT_TRUE(Dlg().DeletePatientsWithoutServices());

    EXPECT_EQ(MemoLines(), (Lines{kWithoutServices, "Lösche Leistungen gemäß Zeilenbehandler...", "... 3 gelöscht.",
                                  kWithoutServices, "... 1 von 2 gelöscht."}));
    EXPECT_EQ(m_statements, Lines{"DELETE FROM ADR WHERE ADRID='A1'"});
    ExpectTables(kept);
}
