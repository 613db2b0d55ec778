#include "Database.h"
#include "KelvorDlg.h"
#include "Loeschkonzept.h"
#include "MessageService.h"
#include "PlainName.h"
#include "VqBeh.h"
#include "VqParams.h"
#include "VqPat.h"
#include "steps/RecordWalk.h"
#include <set>
#include <string>

bool DeletePatientCompletely(const CVqPat& pat)
{
    CLoeschkonzept deletion;
    const SDelPat patient(pat);
    return deletion.DeletePatComplete(dbDatabase, patient, GetVqDataPath(0), true);
}

namespace {

// Walks every patient and removes those that selects picks: their data, their
// address, their patient row. A patient that cannot be removed stops the walk;
// the patients removed before it stay removed.
template <class Selects>
bool RemoveSelectedPatients(CKelvorDlg& dlg, Selects selects)
{
    CVqPat pat(&dbDatabase, nullptr);
    pat.SetKey(1, true);
    if (pat.GetByK1(2) != 0)
        return true;
    long removed = 0;
    bool failed = false;
    const long examined = WalkRows(dlg, pat, [&] {
        if (!selects(pat))
            return pat.Next();
        if (!DeletePatientCompletely(pat)) {
            AfxMessageBox("Fehler beim Löschen des Patienten " + WithVisibleControls(pat.GetField("PATNR")) + "!\nBreche ab.",
                          MB_OK, 0);
            failed = true;
            return 1;
        }
        if (const std::string& adrId = pat.GetField("ADRID"); !adrId.empty())
            dlg.ExecuteSQL("DELETE FROM ADR WHERE ADRID='" + CHbRSet::DoQuotes(adrId) + "'");
        ++removed;
        return pat.Delete();
    });
    if (failed)
        return false;
    AddCountLine(dlg, removed, OfTotal(examined));
    return true;
}

// In owner mode the run has filled the treater table with the owner's treaters;
// in treater mode each pass removes one treater.
std::set<std::string> RemovedTreaters(const CKelvorDlg& dlg)
{
    if (dlg.m_bTreaterMode)
        return {dlg.m_strDeleteId};
    std::set<std::string> keys;
    for (const TreaterEntry& treater : dlg.m_aTreaters)
        keys.insert(treater.lebId);
    return keys;
}

}  // namespace

bool CKelvorDlg::DeletePatientsByMainTreater()
{
    AddStatusLine("Lösche Patienten gemäß Stammbehandler...");
    const std::set<std::string> treaters = RemovedTreaters(*this);
    return RemoveSelectedPatients(*this, [&treaters](const CVqPat& pat) {
        const std::string& mainTreater = pat.GetField("STAMMLEBID");
        return !mainTreater.empty() && treaters.contains(mainTreater);
    });
}

bool CKelvorDlg::DeletePatientsWithoutServices()
{
    AddStatusLine("Lösche Patienten ohne Leistungen...");
    CVqBeh services(&dbDatabaseRO, nullptr);
    services.SetForwardOnly(true);
    return RemoveSelectedPatients(*this, [&services](const CVqPat& pat) {
        services.ClearAll();
        services.SetField("PATNR", pat.GetField("PATNR"));
        return services.GetByK1(2) != 0;
    });
}
