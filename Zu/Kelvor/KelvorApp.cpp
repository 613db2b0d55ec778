#include "KelvorApp.h"
#include "Database.h"
#include "DBException.h"
#include "HbLibrary.h"
#include "KelvorDlg.h"
#include "MessageService.h"

CKelvorApp theApp;

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
    const bool treaterMode = SollIch("Praxisinhaber/Behandler löschen", "Behandlermodus?") == SOLLICH_YES;
    {
        CKelvorDlg dlg(treaterMode);
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
