#pragma once
#include "Dialog.h"
#include "HbBevelX.h"
#include "HbBitBtnX.h"
#include "HbLCheckX.h"
#include "HbLComboX.h"
#include "HbLListBoxX.h"
#include "HbLMemoX.h"
#include "HbProgressX.h"
#include "DBException.h"
#include "HbRSetDatabase.h"
#include "RunChoices.h"
#include "RunMarker.h"
#include "TreaterEntry.h"
#include "TrialResult.h"
#include <optional>
#include <string>
#include <vector>

class CVqPat;

// Control ids of dialog template 102.
enum KelvorControlId {
    IDC_OWNER = 1001,
    IDC_REPLACEMENT = 1002,
    IDC_START = 1003,
    IDC_PROGRESS = 1007,
    IDC_MEMO = 1008,
    IDC_SERVICES_BY_BILLING_CASE = 1009,
    IDC_SERVICES_BY_LINE_TREATER = 1010,
    IDC_PATIENTS_BY_MAIN_TREATER = 1011,
    IDC_INVOICES_AND_PAYMENTS = 1012,
    IDC_JOURNAL_ENTRIES = 1013,
    IDC_TRANSFER_RECORDS = 1014,
    IDC_LAB_INVOICES = 1015,
    IDC_INFO_PANEL = 1016,
    IDC_PATIENTS_WITHOUT_SERVICES = 1017,
    IDC_TREATER_LIST = 1018,
};

// The program's only window. It owns the run data and every removal step; the
// steps are defined in steps/<group>/, one file per group.
class CKelvorDlg : public CDialog {
public:
    static constexpr int IDD = 102;

    // With an interrupted run to finish, the dialog opens with its choices and runs it at once.
    explicit CKelvorDlg(bool treaterMode, std::optional<RunChoices> unfinished = std::nullopt);
    ~CKelvorDlg() override;

    // Controls, in declaration order of the template's members.
    CHbLMemoX m_memo;                        // 1008
    CHbProgressX m_progress;                 // 1007
    CHbLComboX m_replacementCombo;           // 1002
    CHbLComboX m_ownerCombo;                 // 1001
    CHbLCheckX m_chkServicesByBillingCase;   // 1009
    CHbLCheckX m_chkServicesByLineTreater;   // 1010
    CHbLCheckX m_chkInvoicesAndPayments;     // 1012
    CHbLCheckX m_chkJournalEntries;          // 1013
    CHbLCheckX m_chkLabInvoices;             // 1015
    CHbLCheckX m_chkPatientsByMainTreater;   // 1011
    CHbLCheckX m_chkTransferRecords;         // 1014
    CHbBitBtnX m_btnStart;                   // 1003
    CHbLCheckX m_chkPatientsWithoutServices; // 1017
    CHbBevelX m_infoPanel;                   // 1016
    CHbLListBoxX m_treaterList;              // 1018

    // Run data.
    bool m_bTreaterMode;
    std::vector<std::string> m_aOwners;
    std::vector<TreaterEntry> m_aTreaters;
    std::string m_strDeleteId;
    std::string m_strReplacementId;
    CHbRSetDatabase m_db;                    // the dialog's own connection, opened on first use
    int m_nServiceSelection = 0;             // 0 none, 1 by billing case, 2 by line treater
    bool m_bPatientsByMainTreater = false;
    bool m_bPatientsWithoutServices = false;
    bool m_bInvoicesAndPayments = false;
    bool m_bJournalEntries = false;
    bool m_bLabInvoices = false;
    bool m_bTransferRecords = false;
    int m_nFailedStatements = 0;             // ExecuteSQL failures of one press of the start button
    std::string m_strLogFile;
    CRunMarker m_marker;
    std::optional<RunChoices> m_unfinished;  // until its run starts

    // Dialog (KelvorDlg.cpp).
    void ConfigureForMode(bool initial);
    void EnableControls(bool enabled);
    void OnClickServicesByBillingCase();
    void OnClickServicesByLineTreater();
    void OnClickPatientsByMainTreater();

    // Lists (KelvorLists.cpp).
    void FillOwnerCombos();
    void FillTreaterLists(const std::string& ownerId);
    // Runs fill; a database error is reported and leaves the start button disabled.
    template <class Fill> bool FillListsOrReport(Fill&& fill);

    // The run (KelvorRun.cpp).
    void OnStartDeletion();
    void RunPasses(const std::vector<std::string>& keys);
    void PlayRun(const std::vector<std::string>& keys);
    bool RunEachPass(const std::vector<std::string>& keys);
    bool RunDeletion();
    std::string ModeWord() const;

    // The trial run on a copy of the practice (KelvorTrial.cpp): its result, or nothing
    // when the practice could not be reached again afterwards (said to the user).
    std::optional<STrialResult> PlayTrial(const std::vector<std::string>& keys);
    STrialResult PlayOnCopy(const std::vector<std::string>& keys);   // throws CDBException, CTrialCopy::Refused
    void SwitchDatabase(const std::string& connect);
    bool m_bTrial = false;                   // a trial plays: no status line, no message box

    // Finishing an interrupted run (KelvorResume.cpp).
    RunChoices ChosenRun(const std::vector<std::string>& keys) const;
    void TakeChoices(const RunChoices& choices);
    void FinishUnfinishedRun();

    // Toolkit of the steps (KelvorToolkit.cpp).
    bool ExecuteSQL(const std::string& statement);
    bool DeleteWhereMdId(const std::string& table, const std::string& key);
    bool DeleteWhereLebId(const std::string& table, const std::string& key);
    void AddStatusLine(const std::string& text);
    void PumpMessages();
    void SetProgress(long done, long total);
    bool OpenVqDB(CHbRSetDatabase& db, const std::string& connect);
    void SetSessionOptions(CHbRSetDatabase& db);
    bool AppendToLogFile(const std::string& path, const std::string& text);
    bool RunStatement(const std::string& statement);   // ExecuteSQL without the count
    // Trace entry and message of a database error; closing is the message's last sentence.
    static void ReportDatabaseError(const CDBException& error, const std::string& closing);

    // Patients and services (steps/patients).
    bool DeletePatientsByMainTreater();
    bool DeletePatientsWithoutServices();
    bool DeleteServicesByBillingCase();
    bool DeleteServicesByLineTreaterForOwner();
    bool DeleteServicesByLineTreaterForTreater();

    // Billing, cash-book, laboratory, transfer records (steps/billing).
    bool DeleteInvoicesAndPayments();
    bool DeleteJournalEntries();
    bool DeleteLabInvoices();
    bool DeleteTransferRecords();

    // Owner and treater removal, file store (steps/owner).
    bool RemovePracticeOwner();
    bool RemoveTreater();
    void DeleteOwnerPrefixedFiles(const std::string& folder, const std::string& prefix);
    void DeleteOwnerExtensionFiles(const std::string& folder);
    void DeleteOwnerFolders(const std::string& folder);
    void DeleteOwnerQAFiles(const std::string& folder);

protected:
    void SetupTemplate(QDialog& window) override;
    void DoDataExchange() override;
    bool OnInitDialog() override;
};

template <class Fill> bool CKelvorDlg::FillListsOrReport(Fill&& fill)
{
    try {
        fill();
        return true;
    } catch (const CDBException& error) {
        ReportDatabaseError(error, "Die Liste der Praxisinhaber/Behandler konnte nicht gelesen werden.");
        m_btnStart.SetEnabled(false);
        return false;
    }
}

// Complete removal of the patient that is current in pat (steps/patients).
bool DeletePatientCompletely(const CVqPat& pat);
// Billing type codes: false from "a" to "z", true otherwise (steps/patients).
bool IsPrivateBillingType(const std::string& type);
