// Walks a patient table of a million rows with a record set and prints rows per
// second and the peak resident memory before and after the walk: with paged
// reading the peak does not grow with the table.
#include "BenchmarkSupport.h"
#include "HbRSetDatabase.h"
#include "Schema.h"
#include "VqPat.h"
#include <QCoreApplication>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>
#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr long kPatients = 1000000;


void Exec(QSqlQuery& query, const QString& sql)
{
    if (!query.exec(sql))
        throw std::runtime_error(query.lastError().text().toStdString());
}

// The schema and the patient rows, loaded in one transaction before indexing.
void CreatePractice(const QString& file)
{
    const QString name = QStringLiteral("bench-load");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        QSqlQuery query(db);
        for (const std::string& statement : SchemaStatements(SqlDialect::Sqlite))
            Exec(query, QString::fromStdString(statement));
        db.transaction();
        if (!query.prepare(QStringLiteral("INSERT INTO PAT (PATNR, ADRID, STAMMLEBID, GEBDATUM) VALUES (?, ?, ?, ?)")))
            throw std::runtime_error(query.lastError().text().toStdString());
        for (long i = 1; i <= kPatients; ++i) {
            const QString patNr = QStringLiteral("%1").arg(i, 7, 10, QLatin1Char('0'));
            query.addBindValue(patNr);
            query.addBindValue(QStringLiteral("A") + patNr);
            query.addBindValue(QStringLiteral("%1").arg(i % 40 + 1, 3, 10, QLatin1Char('0')));
            query.addBindValue(QStringLiteral("19700101"));
            if (!query.exec())
                throw std::runtime_error(query.lastError().text().toStdString());
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--load")) {
        CreatePractice(args[2]);
        return 0;
    }
    // The rows are loaded by a child process, so this process's peak shows the walk alone.
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("praxis.db"));
    const auto loadStart = std::chrono::steady_clock::now();
    if (QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--load"), file}) != 0)
        return 2;
    const std::chrono::duration<double> loadTime = std::chrono::steady_clock::now() - loadStart;
    std::printf("loaded %ld PAT rows in %.1f s\n", kPatients, loadTime.count());

    CHbRSetDatabase db;
    db.Open(nullptr, false, true, "sqlite:" + file.toStdString(), true);
    const long rssBefore = PeakRssKiB();
    const auto start = std::chrono::steady_clock::now();
    long rows = 0;
    long hits = 0;
    {
        CVqPat pat(&db);
        pat.SetKey(1, true);
        if (pat.GetByK1(2) == 0) {
            do
                ++rows;
            while (pat.Next() == 0);
        }
        hits = pat.AnzHits();
    }
    const std::chrono::duration<double> walkTime = std::chrono::steady_clock::now() - start;
    const long rssAfter = PeakRssKiB();
    std::printf("walked %ld of %ld rows in %.2f s: %.0f rows/s\n", rows, hits, walkTime.count(),
                static_cast<double>(rows) / walkTime.count());
    std::printf("peak RSS before the walk %ld KiB, after the walk %ld KiB\n", rssBefore, rssAfter);
    return rows == kPatients && hits == kPatients ? 0 : 1;
}
