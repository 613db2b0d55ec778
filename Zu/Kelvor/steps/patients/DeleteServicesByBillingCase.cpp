#include "Database.h"
#include "KelvorDlg.h"
#include "VqBill.h"
#include "steps/RecordWalk.h"
#include <string>

// Removes the owner's billing cases with every service booked on them. Invoices
// lose their link to a removed billing case, unless the invoice step of this run
// removes the owner's invoices anyway.
bool CKelvorDlg::DeleteServicesByBillingCase()
{
    AddStatusLine("Lösche Leistungen gemäß Abrechnungsfall...");
    CVqBill bills(&dbDatabase, nullptr);
    bills.SetKey(1, true);
    bills.SetField("MDID", m_strDeleteId);
    if (bills.GetByK2(2) != 0)
        return true;
    long removed = 0;
    WalkRows(*this, bills, [&] {
        const std::string patNr = CHbRSet::DoQuotes(bills.GetField("PATNR"));
        const std::string billNr = CHbRSet::DoQuotes(bills.GetField("LFDPATBILL"));
        ExecuteSQL("DELETE FROM BEH WHERE PATNR='" + patNr + "' AND LFDPATBILL='" + billNr + "'");
        if (!(bills.GetField("MDID") == m_strDeleteId && m_bInvoicesAndPayments))
            ExecuteSQL("UPDATE FAKT SET LFDPATBILL='' WHERE MDID='" + CHbRSet::DoQuotes(bills.GetField("MDID")) +
                       "' AND PATNR='" + patNr + "' AND LFDPATBILL='" + billNr + "'");
        ++removed;
        return bills.Delete();
    });
    AddCountLine(*this, removed, " Abrechnungsfälle");
    return true;
}
