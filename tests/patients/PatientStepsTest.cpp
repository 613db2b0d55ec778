#include "DialogFixture.h"
#include "HbRSet.h"
#include "steps/patients/OwnerAttribution.h"
#include <array>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;
// Table -> WHERE text naming the rows a step is to remove or change.
using Conditions = std::map<std::string, std::string>;

struct ServiceRow {
    std::string patNr{}, lfdBeh{}, lebId{}, billNr{}, kind{}, findingsType{}, findingsNr{}, archiveNr{};
};

// Hand-made practices for the patient and service steps, and the check that a
// step touched exactly the rows it should.
class PatientStepsFixture : public DialogFixture {
protected:
    // Each patient {number, main treater, address id}, its address (when it has an
    // address id) and a note of the patient.
    void AddPatients(std::initializer_list<std::array<std::string, 3>> patients)
    {
        for (const auto& [patNr, mainTreater, adrId] : patients) {
            Practice().Insert("PAT", {{"PATNR", patNr}, {"ADRID", adrId}, {"STAMMLEBID", mainTreater}});
            if (!adrId.empty())
                Practice().Insert("ADR", {{"ADRID", adrId}, {"NAME", "Patient " + patNr}});
            Practice().Insert("PATINFO", {{"PATNR", patNr}, {"LFDPATINFO", "1"}, {"INHALT", "Notiz"}});
        }
    }
    // The service row, its archive entry and its findings row (when it has their
    // numbers). Findings of types other than "k" and "r" go to ABEFUND, so rows of
    // unknown types leave a row there that must stay.
    void AddServices(std::initializer_list<ServiceRow> rows)
    {
        for (const ServiceRow& row : rows) {
            Practice().Insert("BEH", {{"PATNR", row.patNr}, {"LFDBEH", row.lfdBeh}, {"LEBID", row.lebId},
                                      {"LFDPATBILL", row.billNr}, {"KZPRIVAT", row.kind},
                                      {"BEFUNDART", row.findingsType}, {"LFDBEFUND", row.findingsNr},
                                      {"LFDARCHIV", row.archiveNr}, {"LEISTUNG", "01"}});
            if (!row.archiveNr.empty())
                Practice().Insert("ARCHIV", {{"PATNR", row.patNr}, {"LFDARCHIV", row.archiveNr}});
            const std::string findings = row.findingsType == "k" ? "KFOBEFUND" : row.findingsType == "r" ? "ROEBEFUND" : "ABEFUND";
            if (!row.findingsNr.empty())
                Practice().Insert(findings, {{"PATNR", row.patNr}, {"LFD" + findings, row.findingsNr}});
        }
    }
    void AddBillingCase(const std::string& mdId, const std::string& patNr, const std::string& billNr,
                        const std::string& type = "k")
    {
        Practice().Insert("BILL", {{"MDID", mdId}, {"PATNR", patNr}, {"LFDPATBILL", billNr}, {"ABRTYP", type}});
    }

    // The rows a complete removal of the patients takes, in the tables filled above.
    static Conditions PatientsRemoved(const Lines& patNrs, const Lines& adrIds)
    {
        const std::string patients = "PATNR IN " + InList(patNrs);
        return {{"PAT", patients}, {"PATINFO", patients}, {"BEH", patients}, {"BILL", patients},
                {"ARCHIV", patients}, {"ADR", "ADRID IN " + InList(adrIds)}};
    }

    // Every table's rows now, without those the conditions name.
    std::map<std::string, std::string> KeptRows(const Conditions& affected)
    {
        auto kept = Practice().DumpAll();
        for (const auto& [table, condition] : affected)
            kept[table] = Practice().Dump(table, "NOT (" + condition + ")");
        return kept;
    }

private:
    static std::string InList(const Lines& values)
    {
        std::string list;
        for (const std::string& value : values)
            list += (list.empty() ? "'" : ",'") + CHbRSet::DoQuotes(value) + "'";
        return "(" + list + ")";
    }
};

namespace {
const std::string kByMainTreater = "Lösche Patienten gemäß Stammbehandler...";
const std::string kWithoutServices = "Lösche Patienten ohne Leistungen...";
const std::string kByBillingCase = "Lösche Leistungen gemäß Abrechnungsfall...";
}  // namespace

using DeletePatientsTest = PatientStepsFixture;
using DeleteServicesTest = PatientStepsFixture;

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
    Dlg().m_aTreaters = {{"00a", "01", "01"}, {"", "01", "01"}, {"00b", "01", ""}, {"00a", "02", "02"}, {"00c", "", ""}};
    const auto kept = KeptRows(PatientsRemoved({"000001", "000005", "000006"}, {"A1", "A'6"}));

    EXPECT_FALSE(Dlg().DeletePatientsByMainTreater());

    EXPECT_EQ(MemoLines(), Lines{kByMainTreater});
    EXPECT_EQ(MessageLines(), (Lines{"HaltE: Diese Praxis hat nur einen Praxisinhaber!",   // at the dialog's start
                                     "MessageBox: Fehler beim Löschen des Patienten 000007!\nBreche ab."}));
    EXPECT_EQ(Practice().DumpAll(), kept);
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
    EXPECT_EQ(Practice().DumpAll(), kept);
}


TEST(IsPrivateBillingType, OnlyTextsFromLowerAToZAreCash)
{
    for (const char* type : {"a", "k", "z", "az", "a0"})
        EXPECT_FALSE(IsPrivateBillingType(type)) << '"' << type << '"';
    for (const char* type : {"", "A", "P", "Z", "0", "`", "{", "za", "z ", "\xC3\xA4"})
        EXPECT_TRUE(IsPrivateBillingType(type)) << '"' << type << '"';
}

// The owner "0a" has two billing cases; one of another owner and one whose owner
// key differs in case stay with their services and invoices. Without the invoice
// step the invoices of the removed cases lose their billing-case number. An owner
// without billing cases gets the heading only.
class BillingCaseStepTest : public PatientStepsFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(BillingCaseStepTest, RemovesTheOwnersBillingCasesWithTheirServices)
{
    const bool invoiceStep = GetParam();
    AddServices({{"000001", "1", "001", "1"}, {"000001", "2", "001", "1"}, {"000001", "3", "001", "2"},
                 {"000002", "1", "001", "4"}, {"000003", "1", "001", "1"}});
    for (const auto& [mdId, patNr, lfdFakt, billNr] : {std::array<std::string, 4>{"0a", "000001", "F1", "1"},
             {"01", "000001", "F2", "2"}, {"0a", "000002", "F3", "4"}, {"0A", "000003", "F4", "1"}}) {
        AddBillingCase(mdId, patNr, billNr);
        Practice().Insert("FAKT", {{"MDID", mdId}, {"PATNR", patNr}, {"LFDFAKT", lfdFakt}, {"LFDPATBILL", billNr}});
    }
    OpenDialog(false);
    Dlg().m_bInvoicesAndPayments = invoiceStep;
    auto kept = KeptRows({{"BILL", "MDID='0a'"}, {"BEH", "(PATNR='000001' AND LFDPATBILL='1') OR PATNR='000002'"}});
    const std::string bill1 = invoiceStep ? "1" : "", bill4 = invoiceStep ? "4" : "";
    kept["FAKT"] = "01|000001|F2|2||\n0A|000003|F4|1||\n0a|000001|F1|" + bill1 + "||\n0a|000002|F3|" + bill4 + "||\n";

    for (const std::string owner : {"0b", "0a"}) {
        Dlg().m_strDeleteId = owner;
        EXPECT_TRUE(Dlg().DeleteServicesByBillingCase());
    }

    EXPECT_EQ(MemoLines(), (Lines{kByBillingCase, kByBillingCase, "... 2 Abrechnungsfälle gelöscht."}));
    EXPECT_EQ(Practice().DumpAll(), kept);
}

INSTANTIATE_TEST_SUITE_P(InvoiceStep, BillingCaseStepTest, ::testing::Bool());

// Treater 001 works for the owner alone, 002 for its cash practice, 003 for its
// private practice; rows are attributed by billing kind or billing case. Billing
// case numbers count per patient: "2" is cash for one patient, private for another.
TEST_F(DeleteServicesTest, OwnerVariantRemovesTheRowsAttributedToTheOwner)
{
    AddServices({
        {"000001", "01", "009", "", "", "", "", ""},      // treater not the owner's: stays
        {"000001", "02", "001", "", "", "b", "7", "3"},   // no billing case, one owner: goes
        {"000001", "03", "002", "", "", "", "", ""},      // no billing case, two owners: stays
        {"000001", "04", "002", "1", "0", "k", "8", ""},  // cash: goes
        {"000001", "05", "002", "1", "1", "b", "9", ""},  // private, other owner: stays
        {"000001", "06", "003", "1", "1", "r", "10", ""}, // private: goes
        {"000001", "07", "002", "2", "", "B", "11", "4"}, // billing case "k" (cash): goes
        {"000001", "08", "003", "2", "x", "", "", ""},    // same billing case, other owner: stays
        {"000001", "09", "003", "3", "", "bb", "12", ""}, // billing case "P" (private): goes
        {"000001", "10", "002", "9", "", "", "", ""},     // billing case missing: stays
        {"000003", "1", "002", "2", "", "", "", ""},      // billing case "" (private), other owner: stays
        {"000003", "2", "003", "2", "", "b", "", "5"},    // same billing case: goes, no findings number
        {"000003", "3", "001", "", "", "p", "13", ""},    // no billing case, one owner: goes
    });
    AddPatients({{"000001", "", ""}, {"000002", "", ""}, {"000003", "", ""}});
    AddBillingCase("01", "000001", "2", "k");
    AddBillingCase("01", "000001", "3", "P");
    AddBillingCase("01", "000003", "2", "");
    OpenDialog(false);
    Dlg().m_strDeleteId = "02";
    Dlg().m_aTreaters = {{"001", "02", "02"}, {"002", "02", "01"}, {"003", "01", "02"}};
    const auto kept = KeptRows({{"BEH", "(PATNR='000001' AND LFDBEH IN ('02','04','06','07','09')) OR "
                                        "(PATNR='000003' AND LFDBEH IN ('2','3'))"},
                                {"ABEFUND", "(PATNR='000001' AND LFDABEFUND='7') OR LFDABEFUND='13'"},
                                {"KFOBEFUND", "LFDKFOBEFUND='8'"},
                                {"ROEBEFUND", "LFDROEBEFUND='10'"},
                                {"ARCHIV", "LFDARCHIV IN ('3','4','5')"}});
    m_progress.clear();

    EXPECT_TRUE(Dlg().DeleteServicesByLineTreaterForOwner());

    EXPECT_EQ(MemoLines(), (Lines{"Lösche Leistungen gemäß Zeilenbehandler...", "... 7 von 13 gelöscht."}));
    EXPECT_EQ(m_progress, (Lines{"0", "33", "67"}));
    EXPECT_EQ(Practice().DumpAll(), kept);
}
