// Runs the billing, journal, transfer-record and laboratory steps once each, in
// the order of a run, on a generated practice; prints rows per second and the
// peak memory of the process.
#include "BenchmarkSupport.h"
#include "KelvorDlg.h"
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {


long OwnerRows(const TestPractice& practice, const std::vector<std::string>& tables, const std::string& md)
{
    long rows = 0;
    for (const std::string& table : tables)
        rows += practice.Count(table, "MDID='" + md + "'");
    return rows;
}

void Measure(const char* step, long rows, const std::function<bool()>& run)
{
    const auto start = std::chrono::steady_clock::now();
    const bool ok = run();
    const double seconds = SecondsSince(start);
    std::printf("%-28s %s %8ld rows %8.2f s %10.0f rows/s  peak RSS %ld KiB\n", step, ok ? "ok  " : "FAIL", rows, seconds,
                seconds > 0 ? rows / seconds : 0.0, PeakRssKiB());
}

} // namespace

int main(int argc, char** argv)
{
    const BenchmarkPractice benchmark(argc, argv);
    const TestPractice& practice = benchmark.Practice();
    {
        CKelvorDlg dlg(false);
        dlg.Create();
        dlg.m_strDeleteId = practice.Scalar("SELECT MDID FROM FAKT GROUP BY MDID ORDER BY COUNT(*) DESC, MDID LIMIT 1");
        dlg.m_strReplacementId =
            practice.Scalar("SELECT MDID FROM MANDANT WHERE MDID<>'" + dlg.m_strDeleteId + "' ORDER BY MDID LIMIT 1");
        dlg.m_bJournalEntries = true;
        const std::string& md = dlg.m_strDeleteId;
        std::printf("owner %s, replacement %s\n", md.c_str(), dlg.m_strReplacementId.c_str());

        Measure("DeleteJournalEntries",
                OwnerRows(practice, {"FBUCHUNG", "FDIENST", "ZBON", "TSEBON", "BANKOUT", "DATEVPAKET", "DATEVPAKETENTRY",
                                     "DATEVONLINELOG"}, md),
                [&] { return dlg.DeleteJournalEntries(); });
        Measure("DeleteTransferRecords",
                OwnerRows(practice, {"ZEHIT", "ZEHITLST", "PARHIT", "PARHITLST", "KBRHIT", "KBRHITLST"}, md),
                [&] { return dlg.DeleteTransferRecords(); });
        // The laboratory step walks the invoices of every owner.
        Measure("DeleteLabInvoices", practice.Count("LBLOCK", "RECHNR<>''"), [&] { return dlg.DeleteLabInvoices(); });
        Measure("DeleteInvoicesAndPayments", OwnerRows(practice, {"FAKT", "CASH", "GLKUFAKT"}, md),
                [&] { return dlg.DeleteInvoicesAndPayments(); });

        CStrings& lines = dlg.m_memo.GetLines();
        for (int i = 0; i < lines.Count(); ++i)
            std::printf("  %s\n", lines.Item(i).c_str());
    }
    return 0;
}
