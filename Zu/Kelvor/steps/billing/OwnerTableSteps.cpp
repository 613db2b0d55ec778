#include "KelvorDlg.h"
#include <initializer_list>
#include <string>

namespace {

// Each table goes with one statement; a table this database lacks is left to
// the executor's trace and the next one is still cleared.
void DeleteOwnerTables(CKelvorDlg& dlg, const std::string& heading, std::initializer_list<const char*> tables)
{
    dlg.AddStatusLine(heading);
    for (const char* table : tables)
        dlg.DeleteWhereMdId(table, dlg.m_strDeleteId);
}

} // namespace

bool CKelvorDlg::DeleteJournalEntries()
{
    DeleteOwnerTables(*this, "Lösche FiBu-/Kassenbuch-TSE-Einträge...",
                      {"FBUCHUNG", "FDIENST", "ZBON", "TSEBON", "BANKOUT", "DATEVPAKET", "DATEVPAKETENTRY",
                       "DATEVONLINELOG"});
    return true;
}

bool CKelvorDlg::DeleteTransferRecords()
{
    DeleteOwnerTables(*this, "Lösche ZE-/PAR-/KBR-DTA...",
                      {"ZEHIT", "ZEHITLST", "PARHIT", "PARHITLST", "KBRHIT", "KBRHITLST"});
    return true;
}
