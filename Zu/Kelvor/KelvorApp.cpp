#include "KelvorApp.h"
#include "Database.h"
#include "DBException.h"
#include "HbLibrary.h"
#include "KelvorDlg.h"
#include "MessageService.h"
#include "RunMarker.h"
#include "VqParams.h"

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

// The choices of an interrupted run when the user wants it finished now.
std::optional<RunChoices> RunToFinish(const std::optional<CRunMarker::Run>& run)
{
    if (!run)
        return std::nullopt;
    const std::string question = "Der Löschvorgang vom " + StartText(run->started) + " wurde nicht beendet:\n" +
                                 Summary(run->choices) + "\n\nSoll er jetzt zu Ende geführt werden?";
    if (SollIch(kCaption, question) != SOLLICH_YES)
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
