// Owner and treater removal on a generated practice of 100,000 patients: each
// step runs once on its own copy of the practice, in a process of its own, so
// that its peak memory is not the generator's.
#include "BenchmarkSupport.h"
#include "Database.h"
#include "KelvorDlg.h"
#include "Schema.h"
#include "TestPractice.h"
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr unsigned kSeed = 7;
constexpr long kPatients = 100000;

// Rows that name value in a key column (a column whose name holds keyPart), or
// name nobody there, summed over the practice; and all rows.
struct RowCounts {
    long keyed = 0;
    long total = 0;
};

RowCounts CountRows(const TestPractice& practice, const std::string& keyPart, const std::string& value)
{
    RowCounts counts;
    for (const TableDef& table : PracticeSchema()) {
        counts.total += practice.Count(table.name);
        for (const std::string& column : table.columns)
            if (column.find(keyPart) != std::string::npos)
                counts.keyed += practice.Count(table.name, column + " IN ('" + value + "','')");
    }
    return counts;
}


// Runs the step on the practice named by VQ_PRAXIS; the dialog and its
// connection are gone when it returns.
double TimeStep(bool treaterMode, const std::string& removed, const std::string& replacement)
{
    if (!OpenDatabase(2))
        throw std::runtime_error("the practice database does not open");
    double seconds = 0;
    {
        CKelvorDlg dlg(treaterMode);
        dlg.Create();
        dlg.m_strDeleteId = removed;
        dlg.m_strReplacementId = replacement;
        const auto start = std::chrono::steady_clock::now();
        treaterMode ? dlg.RemoveTreater() : dlg.RemovePracticeOwner();
        seconds = SecondsSince(start);
    }
    CloseDatabase();
    return seconds;
}

// In the child: a copy of the generated practice, the step, the figures.
int MeasureInChild(const char* name, bool treaterMode, const std::string& removed, const std::string& replacement)
{
    TestPractice practice(kSeed, kPatients);  // a copy of the practice the parent generated
    const std::string keyPart = treaterMode ? "LEBID" : "MDID";
    const RowCounts before = CountRows(practice, keyPart, replacement);
    const long rssBefore = PeakRssKiB();
    const double seconds = TimeStep(treaterMode, removed, replacement);
    const long rssAfter = PeakRssKiB();
    const RowCounts after = CountRows(practice, keyPart, replacement);
    const long removedRows = before.total - after.total;
    const long movedRows = after.keyed - before.keyed;
    std::printf("%s %s -> %s: %.3f s, %ld rows removed, %ld rows moved or cleared, %.0f rows/s, "
                "peak RSS %ld KiB before the step, %ld KiB after\n",
                name, removed.c_str(), replacement.c_str(), seconds, removedRows, movedRows,
                static_cast<double>(removedRows + movedRows) / seconds, rssBefore, rssAfter);
    std::fflush(stdout);  // the child ends with _Exit, which flushes nothing
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    const auto generation = std::chrono::steady_clock::now();
    { TestPractice warm(kSeed, kPatients); }  // generates the practice once in this process
    std::printf("generated %ld patients in %.1f s\n", kPatients,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - generation).count());
    std::fflush(stdout);

    struct Run {
        const char* name;
        bool treaterMode;
        const char* removed;
        const char* replacement;
    };
    for (const Run& run : {Run{"RemovePracticeOwner", false, "02", "01"}, Run{"RemoveTreater", true, "002", "001"}}) {
        const pid_t child = fork();
        if (child == 0)
            std::_Exit(MeasureInChild(run.name, run.treaterMode, run.removed, run.replacement));
        int status = 0;
        waitpid(child, &status, 0);
    }
    return 0;
}
