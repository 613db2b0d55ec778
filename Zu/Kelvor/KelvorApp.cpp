#include "KelvorApp.h"
#include "Database.h"
#include "DBException.h"
#include "HbLibrary.h"
#include "KelvorDlg.h"
#include "MessageService.h"
#include "RunMarker.h"
#include "TrialCopy.h"
#include "VqLeb.h"
#include "VqMandant.h"
#include "VqParams.h"
#include "HbTrace.h"
#include <algorithm>

CKelvorApp theApp;

namespace {
const char* const kCaption = "Praxisinhaber/Behandler löschen";

// "Praxisinhaber 04, Ersatz 01", "Behandler 012, 013, Ersatz 011"
std::string Summary(const RunChoices& choices)
{
    std::string summary = choices.treaterMode ? "Behandler " : "Praxisinhaber ";
    for (const std::string& key : choices.deleteIds)
        summary += key + ", ";
    return summary + "Ersatz " + choices.replacementId;
}

// The replacement as a row of its table: MANDANT for owners, LEB for treaters.
bool ReplacementExists(const RunChoices& choices)
{
    if (choices.treaterMode) {
        CVqLeb treater(&dbDatabaseRO);
        treater.SetField("LEBID", choices.replacementId);
        return treater.GetByK1(0) == 0;
    }
    CVqMandant owner(&dbDatabaseRO);
    owner.SetField("MDID", choices.replacementId);
    return owner.GetByK1(0) == 0;
}

// Why the dialog would refuse the marker's choices, or nothing. The keys to remove
// may be gone already; the replacement must still be there and stay.
std::string RefusedReplacement(const RunChoices& choices)
{
    const std::vector<std::string>& keys = choices.deleteIds;
    if (!ReplacementExists(choices))
        return " nicht in der Datenbank ist.";
    if (std::find(keys.begin(), keys.end(), choices.replacementId) != keys.end())
        return " selbst gelöscht werden soll.";
    return {};
}

// The choices of an interrupted run when the user wants it finished now. A run the
// dialog would not start is said instead, and its marker stays until a run ends.
std::optional<RunChoices> RunToFinish(const std::optional<CRunMarker::Run>& run)
{
    if (!run)
        return std::nullopt;
    const std::string unfinished =
        "Der Löschvorgang vom " + StartText(run->started) + " wurde nicht beendet:\n" + Summary(run->choices);
    std::string refused;
    try {
        refused = RefusedReplacement(run->choices);
    } catch (const CDBException& error) {
        CKelvorDlg::ReportDatabaseError(error, "Der Löschvorgang kann nicht zu Ende geführt werden.");
        return std::nullopt;
    }
    if (!refused.empty()) {
        HbTrace(1, 0, __FILE__, __LINE__, "CKelvorApp: Kelvor.lauf kann nicht zu Ende geführt werden: %s",
                Summary(run->choices).c_str());
        Halt(6, unfinished + "\n\nEr kann nicht zu Ende geführt werden, weil der Ersatz " + run->choices.replacementId + refused, 0);
        return std::nullopt;
    }
    if (SollIch(kCaption, unfinished + "\n\nSoll er jetzt zu Ende geführt werden?") != SOLLICH_YES)
        return std::nullopt;
    return run->choices;
}
}  // namespace

CKelvorApp::CKelvorApp() : CVqWinApp(nullptr)
{
}

bool CKelvorApp::InitInstance()
{
    CVqWinApp::InitInstance();
    CTrialCopy::RemoveLeftovers();   // of a trial a crash ended
    if (!OpenDb())
        return false;
    if (!AskPassword()) {
        CloseDb();
        return false;
    }
    const std::optional<CRunMarker::Run> marker = CRunMarker(GetVqLogPath()).Read();
    if (marker && marker->busy) {
        Halt(6, BusyRunMessage(*marker), 0);
        CloseDb();
        return false;
    }
    std::optional<RunChoices> unfinished = RunToFinish(marker);
    const bool treaterMode = unfinished ? unfinished->treaterMode : SollIch(kCaption, "Behandlermodus?") == SOLLICH_YES;
    {
        CKelvorDlg dlg(treaterMode, std::move(unfinished));
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    CloseDb();
    return false;
}

bool CKelvorApp::OpenDb()
{
    try {
        if (!OpenDatabase(2))
            return false;
        // The database layer's own deletion protocol stays off while rows are removed here.
        dbLfdInstanz = "0";
        dbDeleteProtokoll = false;
        return true;
    } catch (const CException&) {
        return false;
    }
}

bool CKelvorApp::CloseDb()
{
    CloseDatabase();
    return true;
}

bool CKelvorApp::AskPassword()
{
    CHbLibrary library("vqstddia");
    if (!library.IsLoaded())
        return false;
    using VqKennwortFn = int (*)(const char*);
    const auto vqKennwort = reinterpret_cast<VqKennwortFn>(library.GetProcAddress("VqKennwort"));
    if (vqKennwort == nullptr)
        return false;
    library.KeepLoaded();
    return vqKennwort("Für das Löschen von Praxisinhabern/Behandlern wird ein Passwort benötigt.\n") != 0;
}
