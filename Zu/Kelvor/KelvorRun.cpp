// The deletion run: the start button's checks, the confirmation, the passes with
// their fixed order of steps, and what follows every run.
#include "DBException.h"
#include "Database.h"
#include "HbTrace.h"
#include "KelvorDlg.h"
#include "Loeschkonzept.h"
#include "Mb.h"
#include "MessageService.h"
#include "Seams.h"
#include "VqParams.h"
#include "WindowServing.h"
#include <algorithm>
#include <ctime>
#include <utility>

namespace {
const char* const kOrphanBillingCases =
    "DELETE FROM BILL WHERE NOT EXISTS (SELECT * FROM BEH WHERE BEH.PATNR=BILL.PATNR AND BEH.LFDPATBILL=BILL.LFDPATBILL)";

// Refused input: the message, then the focus on the control to correct.
void Refuse(const std::string& message, CHbControl& control)
{
    Halt(6, message, 0);
    control.SetFocus();
}

// The first count characters of a UTF-8 text: a key "Ü1" is two characters.
std::string FirstCharacters(const std::string& text, std::size_t count)
{
    std::size_t end = 0;
    for (std::size_t characters = 0; end < text.size() && characters < count; ++characters) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;   // continuation bytes belong to the character before
    }
    return text.substr(0, end);
}

// The first treater of an owner who works for two different owners.
const TreaterEntry* FindOwnerConflict(const std::vector<TreaterEntry>& treaters)
{
    const auto conflict = std::find_if(treaters.begin(), treaters.end(), [](const TreaterEntry& entry) {
        return !entry.cashOwnerId.empty() && !entry.privateOwnerId.empty() && entry.cashOwnerId != entry.privateOwnerId;
    });
    return conflict == treaters.end() ? nullptr : &*conflict;
}

// Kelvor.geloescht is Kelvor's own and used only as a real folder: a link or a file
// there stops the confirmed run before anything is changed or recorded.
bool HoldingFolderRefused()
{
    const std::string data = GetVqDataPath(0);
    if (CLoeschkonzept::HoldingFolderUsable(data))
        return false;
    Halt(6, "Im Datenordner " + data + " ist Kelvor.geloescht kein Ordner.\n\nDer Löschvorgang wird nicht gestartet.", 0);
    return true;
}

// A folder setting that is missing or empty names no folder: nothing is removed
// there, which the trace says once per run.
void TraceMissingFolderSettings()
{
    for (const auto& [name, folder] : {std::pair{"Daten", GetVqDataPath(0)}, std::pair{"QA", GetVqQAPath()}})
        if (folder.empty())
            HbTrace(1, 0, __FILE__, __LINE__, "CKelvorDlg: [Pfade] %s names no folder, nothing is removed there", name);
}
}  // namespace

void CKelvorDlg::OnStartDeletion()
{
    const std::string word = ModeWord();
    CHbControl& deleteChoice = m_bTreaterMode ? static_cast<CHbControl&>(m_treaterList) : m_ownerCombo;

    m_strReplacementId = m_replacementCombo.GetText();
    std::vector<std::string> selected;
    bool same = false;
    if (m_bTreaterMode) {
        m_strReplacementId = FirstCharacters(m_strReplacementId, 3);
        for (std::size_t i = 0; i < m_aTreaters.size(); ++i) {
            if ((m_treaterList.GetState(static_cast<int>(i)) & 3) == 1)
                selected.push_back(m_aTreaters[i].lebId);
        }
        same = std::find(selected.begin(), selected.end(), m_strReplacementId) != selected.end();
    } else {
        m_strReplacementId = FirstCharacters(m_strReplacementId, 2);
        m_strDeleteId = m_ownerCombo.GetText();
        same = m_strDeleteId == m_strReplacementId;
    }

    if (m_bTreaterMode ? selected.empty() : m_strDeleteId.empty())
        return Refuse("Sie müssen einen zu löschenden " + word + " auswählen!", deleteChoice);
    if (m_strReplacementId.empty())
        return Refuse("Sie müssen einen Ersatz-" + word + " auswählen!", m_replacementCombo);
    if (same)
        return Refuse("Zu löschender und Ersatz-" + word + " müssen verschieden sein!", deleteChoice);

    if (!m_bTreaterMode && !FillListsOrReport([this] { FillTreaterLists(m_strDeleteId); }))
        return;

    m_nServiceSelection = m_chkServicesByBillingCase.GetChecked() ? 1 : m_chkServicesByLineTreater.GetChecked() ? 2 : 0;
    m_bPatientsByMainTreater = m_chkPatientsByMainTreater.GetChecked() != 0;
    m_bPatientsWithoutServices = m_chkPatientsWithoutServices.GetChecked() != 0;
    m_bInvoicesAndPayments = m_chkInvoicesAndPayments.GetChecked() != 0;
    m_bJournalEntries = m_chkJournalEntries.GetChecked() != 0;
    m_bLabInvoices = m_chkLabInvoices.GetChecked() != 0;
    m_bTransferRecords = m_chkTransferRecords.GetChecked() != 0;

    if (!m_bTreaterMode && m_bPatientsByMainTreater) {
        if (const TreaterEntry* conflict = FindOwnerConflict(m_aTreaters)) {
            return Refuse("Behandler " + conflict->lebId + " arbeitet für verschiedene Praxisinhaber:\nKasse: " +
                              conflict->cashOwnerId + ", privat: " + conflict->privateOwnerId +
                              "\n\nDas Löschen von Patienten gemäß Stammbehandler ist daher nicht eindeutig möglich!",
                          m_chkPatientsByMainTreater);
        }
    }

    const std::vector<std::string> keys = m_bTreaterMode ? selected : std::vector<std::string>{m_strDeleteId};
    const std::optional<STrialResult> trial = PlayTrial(keys);
    if (!trial || SollIch(6, "Soll der Löschvorgang jetzt gestartet werden?", trial->Informative(), trial->Detailed()) != SOLLICH_YES)
        return;

    RunPasses(keys);
}

// A confirmed run: one pass per key to remove, then what follows every run. The
// marker lives from before the first statement to the end of the run; none is
// started while another Kelvor's run holds its marker.
void CKelvorDlg::RunPasses(const std::vector<std::string>& keys)
{
    if (HoldingFolderRefused())
        return;
    // Another Kelvor may have started a run on this practice since this one started.
    if (const auto refusal = m_marker.Begin(ChosenRun(keys), std::time(nullptr))) {
        if (refusal->busy) {
            Halt(6, BusyRunMessage(*refusal->busy), 0);
            EndDialog(0);
        } else {
            Halt(6, "Im Log-Ordner " + GetVqLogPath() + " kann nicht geschrieben werden:\n" + refusal->reason +
                        "\n\nDer Löschvorgang wird nicht gestartet.", 0);
        }
        return;
    }
    SetBusy(true);
    EnableControls(false);
    {
        const CWindowServing served;
        PlayRun(keys);
    }
    m_marker.Remove();
    SetBusy(false);

    if (AfxMessageBox("Nochmal?", MB_YESNO | MB_DEFBUTTON2) == IDYES)
        ConfigureForMode(false);
}

// The passes and what follows them, to the run's last status line: on the practice,
// or in a trial on its copy.
void CKelvorDlg::PlayRun(const std::vector<std::string>& keys)
{
    m_nFailedStatements = 0;
    const bool ok = RunEachPass(keys);

    m_progress.SetPercent(0);
    if (ok) {
        seam::RunPoint::Call("MakeBillsForAllPat");
        CMb().MakeBillsForAllPat("00014", "");
    }
    ExecuteSQL(kOrphanBillingCases);
    if (m_nFailedStatements == 1)
        AddStatusLine("Achtung: 1 SQL-Anweisung ist fehlgeschlagen (Einzelheiten in Trace.log).");
    else if (m_nFailedStatements > 1)
        AddStatusLine("Achtung: " + std::to_string(m_nFailedStatements) +
                      " SQL-Anweisungen sind fehlgeschlagen (Einzelheiten in Trace.log).");
    AddStatusLine(ok ? "FERTIG!" : "FEHLER!!!");
}

// A database error ends every pass: what a failed lookup would have found is
// unknown, so no step may go on as if there were nothing.
bool CKelvorDlg::RunEachPass(const std::vector<std::string>& keys)
{
    try {
        TraceMissingFolderSettings();
        CLoeschkonzept::RemoveMovedFolders(dbDatabase, GetVqDataPath(0));
        if (m_bTreaterMode && !m_bTrial) {
            // The memo and the treater list share one place on the dialog.
            m_memo.SetVisible(true);
            m_treaterList.SetVisible(false);
        }
        for (const std::string& key : keys) {
            m_strDeleteId = key;
            AddStatusLine("Lösche " + ModeWord() + " " + m_strDeleteId);
            if (!RunDeletion())
                return false;
        }
        return true;
    } catch (const CDBException& error) {
        ReportDatabaseError(error, "Der Löschvorgang wurde abgebrochen.");
        return false;
    }
}

std::string CKelvorDlg::ModeWord() const
{
    return m_bTreaterMode ? "Behandler" : "Praxisinhaber";
}

bool CKelvorDlg::RunDeletion()
{
    using Step = bool (CKelvorDlg::*)();
    struct Entry {
        bool chosen;
        Step step;
    };
    // Patients first, then services, then patients left without services, then the
    // owner's books, and the owner or treater row itself last.
    const Entry order[] = {
        {m_bPatientsByMainTreater, &CKelvorDlg::DeletePatientsByMainTreater},
        {m_nServiceSelection == 1, &CKelvorDlg::DeleteServicesByBillingCase},
        {m_nServiceSelection == 2 && m_bTreaterMode, &CKelvorDlg::DeleteServicesByLineTreaterForTreater},
        {m_nServiceSelection == 2 && !m_bTreaterMode, &CKelvorDlg::DeleteServicesByLineTreaterForOwner},
        {m_bPatientsWithoutServices, &CKelvorDlg::DeletePatientsWithoutServices},
        {m_bJournalEntries, &CKelvorDlg::DeleteJournalEntries},
        {m_bTransferRecords, &CKelvorDlg::DeleteTransferRecords},
        {m_bLabInvoices, &CKelvorDlg::DeleteLabInvoices},
        {m_bInvoicesAndPayments, &CKelvorDlg::DeleteInvoicesAndPayments},
        {m_bTreaterMode, &CKelvorDlg::RemoveTreater},
        {!m_bTreaterMode, &CKelvorDlg::RemovePracticeOwner},
    };

    bool ok = true;
    for (const Entry& entry : order) {
        if (ok && entry.chosen)
            ok = (this->*entry.step)();
    }
    return ok;
}
