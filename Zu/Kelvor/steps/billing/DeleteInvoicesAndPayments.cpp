#include "Database.h"
#include "KelvorDlg.h"
#include "VqCash.h"
#include "VqFakt.h"
#include "VqGLBloc.h"
#include "VqGLKuFakt.h"
#include "steps/RecordWalk.h"
#include <array>
#include <string>
#include <string_view>

namespace {

std::string Quoted(const CHbRSet& row, std::string_view column)
{
    return CHbRSet::DoQuotes(row.GetField(column));
}

// One phase: heading, the removed owner's rows by key 1, for each row its
// statements and then Delete(), count line. A failed Delete() ends the walk but
// still counts, since the row may be half gone.
template <class HandleRow>
void DeleteOwnerRows(CKelvorDlg& dlg, const std::string& heading, CHbRSet& rows, HandleRow handleRow)
{
    dlg.AddStatusLine(heading);
    rows.SetKey(1, true);
    rows.SetField("MDID", dlg.m_strDeleteId);
    if (rows.GetByK1(2) != 0)
        return;
    long removed = 0;
    WalkRows(dlg, rows, [&] {
        handleRow();
        ++removed;
        return rows.Delete();
    });
    AddCountLine(dlg, removed);
}

// The journal step of this run has already removed the owner's journal rows;
// a row stored under another spelling of the key was not among them.
bool JournalRowsRemain(const CKelvorDlg& dlg, const CHbRSet& row)
{
    return !(row.GetField("MDID") == dlg.m_strDeleteId && dlg.m_bJournalEntries);
}

// Detaches the journal rows that point to the current invoice or payment.
void ClearJournalLink(CKelvorDlg& dlg, const CHbRSet& row, const std::string& linkColumn)
{
    if (!JournalRowsRemain(dlg, row))
        return;
    dlg.ExecuteSQL("UPDATE FBUCHUNG SET " + linkColumn + "='' WHERE PATNR='" + Quoted(row, "PATNR") +
                   "' AND MDID='" + Quoted(row, "MDID") + "' AND " + linkColumn + "='" +
                   Quoted(row, linkColumn) + "'");
}

// A billing case links invoices in each of its three parts (G, S, P); a part
// that loses its link is marked for billing again.
void ClearBillingCaseLinks(CKelvorDlg& dlg, const CHbRSet& invoice)
{
    const std::string patNr = Quoted(invoice, "PATNR");
    const std::string lfdFakt = Quoted(invoice, "LFDFAKT");
    for (const std::string part : std::array{"G", "S", "P"})
        dlg.ExecuteSQL("UPDATE BILL SET " + part + "ABRWUNSCHDATUM='99999999'," + part +
                       "LFDFAKT='' WHERE PATNR='" + patNr + "' AND " + part + "LFDFAKT='" + lfdFakt + "'");
}

void DeleteInvoices(CKelvorDlg& dlg)
{
    CVqFakt invoices(&dbDatabase, nullptr);
    DeleteOwnerRows(dlg, "Lösche Rechnungen...", invoices, [&] {
        ClearBillingCaseLinks(dlg, invoices);
        ClearJournalLink(dlg, invoices, "LFDFAKT");
    });
}

void DeletePayments(CKelvorDlg& dlg)
{
    CVqCash payments(&dbDatabase, nullptr);
    DeleteOwnerRows(dlg, "Lösche Zahlungen...", payments,
                    [&] { ClearJournalLink(dlg, payments, "LFDCASH"); });
}

// Vouchers are not counted: the count line speaks of invoices.
void DeleteVouchers(CKelvorDlg& dlg, CVqGLBloc& vouchers, const CHbRSet& invoice)
{
    if (vouchers.GetByLfdGLKuFakt(invoice.GetField("LFDGLKU"), invoice.GetField("LFDGLKUFAKT")) != 0)
        return;
    do {
        dlg.ExecuteSQL("DELETE FROM GLBLOCENTRY WHERE LFDGLKU='" + Quoted(vouchers, "LFDGLKU") +
                       "' AND LFDGLBLOC='" + Quoted(vouchers, "LFDGLBLOC") + "'");
    } while (vouchers.Delete() == 0);
}

void DeleteCommercialLabInvoices(CKelvorDlg& dlg)
{
    CVqGLKuFakt invoices(&dbDatabase, nullptr);
    CVqGLBloc vouchers(&dbDatabase, nullptr);
    vouchers.SetKey(1, true);
    DeleteOwnerRows(dlg, "Lösche Gewerbelabor-Rechnungen...", invoices,
                    [&] { DeleteVouchers(dlg, vouchers, invoices); });
}

} // namespace

bool CKelvorDlg::DeleteInvoicesAndPayments()
{
    DeleteInvoices(*this);
    DeletePayments(*this);
    DeleteCommercialLabInvoices(*this);
    return true;
}
