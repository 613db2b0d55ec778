#include "Database.h"
#include "KelvorDlg.h"
#include "VqLBlock.h"
#include "steps/RecordWalk.h"
#include <string>

namespace {

void DeleteVoucherEntries(CKelvorDlg& dlg, const CVqLBlock& voucher)
{
    dlg.ExecuteSQL("DELETE FROM LBLOCKENTRY WHERE PATNR='" + CHbRSet::DoQuotes(voucher.GetField("PATNR")) +
                   "' AND LFDPLAN='" + CHbRSet::DoQuotes(voucher.GetField("LFDPLAN")) +
                   "' AND LFDLBLOCK='" + CHbRSet::DoQuotes(voucher.GetField("LFDLBLOCK")) + "'");
}

} // namespace

// The laboratory invoices can only be looked up for all owners at once, so the
// walk runs over every one and removes those of the owner being removed.
bool CKelvorDlg::DeleteLabInvoices()
{
    AddStatusLine("Lösche Laborrechnungen...");
    CVqLBlock vouchers(&dbDatabase, nullptr);
    vouchers.SetKey(1, true);
    if (vouchers.GetLabRech("", "", "", "", "", "", "", "") == 0) {
        long removed = 0;
        const long found = WalkRows(*this, vouchers, [&] {
            if (vouchers.GetField("MDID") != m_strDeleteId)
                return vouchers.Next();
            DeleteVoucherEntries(*this, vouchers);
            ++removed;
            return vouchers.Delete();
        });
        AddCountLine(*this, removed, OfTotal(found));
    }
    // Vouchers not yet invoiced, and any whose removal failed, stay with the practice.
    ExecuteSQL("UPDATE LBLOCK SET MDID='" + CHbRSet::DoQuotes(m_strReplacementId) + "' WHERE MDID='" +
               CHbRSet::DoQuotes(m_strDeleteId) + "'");
    return true;
}
