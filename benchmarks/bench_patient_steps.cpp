// Runs the patient and service steps once each on a generated practice and
// prints rows per second and the peak memory of the process.
#include "BenchmarkSupport.h"
#include "KelvorDlg.h"
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace {


void Measure(CKelvorDlg& dlg, const char* step, long rows, const char* rowKind, const std::function<bool()>& run)
{
    const int linesBefore = dlg.m_memo.GetLines().Count();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = run();
    const double seconds = SecondsSince(start);
    CStrings& lines = dlg.m_memo.GetLines();
    const std::string last = lines.Count() > linesBefore + 1 ? lines.Item(lines.Count() - 1) : std::string("(heading only)");
    std::printf("%-40s %s  %8ld %-13s %8.2f s  %10.0f rows/s  peak RSS %ld KiB  %s\n", step, ok ? "ok  " : "FAIL",
                rows, rowKind, seconds, seconds > 0 ? rows / seconds : 0.0, PeakRssKiB(), last.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    const BenchmarkPractice benchmark(argc, argv);
    const TestPractice& practice = benchmark.Practice();
    std::printf("%ld service rows, %ld billing cases\n", practice.Count("BEH"), practice.Count("BILL"));

    const auto owners = practice.Query("SELECT MDID FROM MANDANT ORDER BY MDID");
    if (owners.size() < 3)
        return 1;
    {
        CKelvorDlg dlg(false);
        dlg.Create();
        dlg.m_strDeleteId = owners[1][0];
        dlg.FillTreaterLists(dlg.m_strDeleteId);
        Measure(dlg, "DeletePatientsByMainTreater", practice.Count("PAT"), "patients",
                [&] { return dlg.DeletePatientsByMainTreater(); });
        Measure(dlg, "DeleteServicesByLineTreaterForOwner", practice.Count("BEH"), "service rows",
                [&] { return dlg.DeleteServicesByLineTreaterForOwner(); });
        Measure(dlg, "DeletePatientsWithoutServices", practice.Count("PAT"), "patients",
                [&] { return dlg.DeletePatientsWithoutServices(); });
        dlg.m_strDeleteId = owners[2][0];
        dlg.m_bInvoicesAndPayments = true;
        Measure(dlg, "DeleteServicesByBillingCase", practice.Count("BILL", "MDID='" + dlg.m_strDeleteId + "'"),
                "billing cases", [&] { return dlg.DeleteServicesByBillingCase(); });
    }
    {
        CKelvorDlg dlg(true);
        dlg.Create();
        dlg.m_strDeleteId = practice.Scalar("SELECT LEBID FROM LEB WHERE MDIDK='" + owners[0][0] + "' ORDER BY LEBID");
        Measure(dlg, "DeleteServicesByLineTreaterForTreater", practice.Count("PAT"), "patients",
                [&] { return dlg.DeleteServicesByLineTreaterForTreater(); });
    }
    return 0;
}
