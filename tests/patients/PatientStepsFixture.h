#pragma once
#include "DialogFixture.h"
#include "HbRSet.h"
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
    // Every table holds its kept rows and no others.
    void ExpectTables(const std::map<std::string, std::string>& kept)
    {
        for (const auto& [table, rows] : kept)
            EXPECT_EQ(Practice().Dump(table), rows) << "table " << table;
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
