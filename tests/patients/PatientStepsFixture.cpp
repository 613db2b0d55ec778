#include "PatientStepsFixture.h"
#include "HbRSet.h"
#include "Schema.h"
#include <algorithm>

CKelvorDlg& PatientStepsFixture::Open(bool treaterMode)
{
    CKelvorDlg& dlg = OpenDialog(treaterMode);
    m_messagesAtOpen = m_messages.Messages().size();
    return dlg;
}

std::vector<CScriptedMessageService::Message> PatientStepsFixture::StepMessages() const
{
    const auto& all = m_messages.Messages();
    return {all.begin() + static_cast<std::ptrdiff_t>(m_messagesAtOpen), all.end()};
}

void PatientStepsFixture::AddPatient(const std::string& patNr, const std::string& mainTreater,
                                     const std::string& adrId)
{
    Practice().Insert("PAT", {{"PATNR", patNr}, {"ADRID", adrId}, {"STAMMLEBID", mainTreater}});
    if (!adrId.empty())
        Practice().Insert("ADR", {{"ADRID", adrId}, {"NAME", "Patient " + patNr}});
    Practice().Insert("PATINFO", {{"PATNR", patNr}, {"LFDPATINFO", "1"}, {"INHALT", "Notiz"}});
}

void PatientStepsFixture::AddService(const ServiceRow& row)
{
    Practice().Insert("BEH", {{"PATNR", row.patNr}, {"LFDBEH", row.lfdBeh}, {"LEBID", row.lebId},
                              {"LFDPATBILL", row.billNr}, {"KZPRIVAT", row.kind},
                              {"BEFUNDART", row.findingsType}, {"LFDBEFUND", row.findingsNr},
                              {"LFDARCHIV", row.archiveNr}, {"LEISTUNG", "01"}});
    if (!row.archiveNr.empty())
        Practice().Insert("ARCHIV", {{"PATNR", row.patNr}, {"LFDARCHIV", row.archiveNr}});
}

void PatientStepsFixture::AddBillingCase(const std::string& mdId, const std::string& patNr,
                                         const std::string& billNr, const std::string& type)
{
    Practice().Insert("BILL", {{"MDID", mdId}, {"PATNR", patNr}, {"LFDPATBILL", billNr}, {"ABRTYP", type}});
}

std::string PatientStepsFixture::InList(const Lines& values)
{
    std::string list;
    for (const std::string& value : values)
        list += (list.empty() ? "'" : ",'") + CHbRSet::DoQuotes(value) + "'";
    return "(" + list + ")";
}

Conditions PatientStepsFixture::PatientsRemoved(const Lines& patNrs, const Lines& adrIds)
{
    const std::string patients = "PATNR IN " + InList(patNrs);
    return {{"PAT", patients}, {"PATINFO", patients}, {"BEH", patients}, {"BILL", patients},
            {"ARCHIV", patients}, {"ADR", "ADRID IN " + InList(adrIds)}};
}

Rows PatientStepsFixture::SortedRows(const std::string& table, const std::string& where)
{
    Rows rows = Practice().Query("SELECT * FROM " + table + (where.empty() ? "" : " WHERE " + where));
    std::ranges::sort(rows);
    return rows;
}

std::map<std::string, Rows> PatientStepsFixture::KeptRows(const Conditions& affected)
{
    std::map<std::string, Rows> kept;
    for (const TableDef& table : PracticeSchema()) {
        const auto condition = affected.find(table.name);
        kept[table.name] = SortedRows(table.name, condition == affected.end() ? "" : "NOT (" + condition->second + ")");
    }
    return kept;
}

void PatientStepsFixture::ExpectTables(std::map<std::string, Rows> kept, const std::map<std::string, Rows>& changed)
{
    for (auto& [table, rows] : kept) {
        if (const auto extra = changed.find(table); extra != changed.end()) {
            rows.insert(rows.end(), extra->second.begin(), extra->second.end());
            std::ranges::sort(rows);
        }
        EXPECT_EQ(SortedRows(table, ""), rows) << "table " << table;
    }
}
