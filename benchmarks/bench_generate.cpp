// Generates practices of growing size and prints rows per second, database size
// and peak memory: the time grows with the patients, the memory does not.
#include "BenchmarkSupport.h"
#include "PracticeGenerator.h"
#include "Schema.h"
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {


long CountRows(const std::string& file)
{
    long rows = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
        db.setDatabaseName(QString::fromStdString(file));
        db.open();
        for (const TableDef& table : PracticeSchema()) {
            QSqlQuery query(QString::fromStdString("SELECT COUNT(*) FROM " + table.name), db);
            rows += query.next() ? query.value(0).toLongLong() : 0;
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    const QCoreApplication app(argc, argv);
    std::vector<long> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::stol(argv[i]));
    if (sizes.empty())
        sizes = {10000, 50000, 100000};
    for (const long patients : sizes) {
        const QTemporaryDir dir;
        const std::string folder = dir.filePath(QStringLiteral("praxis")).toStdString();
        PracticeOptions options;
        options.patients = patients;
        const auto start = std::chrono::steady_clock::now();
        CreatePractice(folder, options);
        const double seconds = SecondsSince(start);
        const long rows = CountRows(folder + "/praxis.db");
        std::printf("%8ld patients  %9ld rows  %7.1f s  %9.0f rows/s  %6.1f MiB database  peak RSS %ld KiB\n", patients,
                    rows, seconds, rows / seconds,
                    static_cast<double>(std::filesystem::file_size(folder + "/praxis.db")) / (1024.0 * 1024.0),
                    PeakRssKiB());
    }
    return 0;
}
