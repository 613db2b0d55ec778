#pragma once
#include "DialogFixture.h"
#include <map>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;
using Rows = std::vector<std::vector<std::string>>;
// Table -> WHERE text naming the rows a step is to remove or change.
using Conditions = std::map<std::string, std::string>;

struct ServiceRow {
    std::string patNr{}, lfdBeh{}, lebId{}, billNr{}, kind{}, findingsType{}, findingsNr{}, archiveNr{};
};

// Hand-made practices for the patient and service steps, and the check that a
// step touched exactly the rows it should.
class PatientStepsFixture : public DialogFixture {
protected:
    // Opens the dialog; what it says on opening is no step's message.
    CKelvorDlg& Open(bool treaterMode);
    std::vector<CScriptedMessageService::Message> StepMessages() const;

    // The patient, its address (when adrId is given) and a note of the patient.
    void AddPatient(const std::string& patNr, const std::string& mainTreater, const std::string& adrId);
    // The service row and its archive entry (when it has an archive number).
    void AddService(const ServiceRow& row);
    void AddBillingCase(const std::string& mdId, const std::string& patNr, const std::string& billNr,
                        const std::string& type = "k");

    // The rows of a patient that a complete removal takes, in the tables filled above.
    static Conditions PatientsRemoved(const Lines& patNrs, const Lines& adrIds);
    static std::string InList(const Lines& values);

    // Every table's rows now, without those the conditions name.
    std::map<std::string, Rows> KeptRows(const Conditions& affected);
    // Every table holds its kept rows, plus the changed rows given for it.
    void ExpectTables(std::map<std::string, Rows> kept, const std::map<std::string, Rows>& changed = {});

private:
    std::size_t m_messagesAtOpen = 0;
    Rows SortedRows(const std::string& table, const std::string& where);
};
