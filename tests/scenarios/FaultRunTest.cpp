// Runs on a practice that fails under them: a database error ends the run as failed
// with the message naming the table, and nothing is taken for "nothing found".
#include "ScenarioFixture.h"
#include "SeamScope.h"
#include <QScopeGuard>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <fstream>
#include <utility>

namespace {

using FaultRunTest = ScenarioFixture;

TEST_F(FaultRunTest, UnreadableListsAreSaidAndLeaveTheStartButtonDisabled)
{
    m_storage.emplace(1, 60).Exec("ALTER TABLE MANDANT RENAME COLUMN MDID TO MDID_ALT");
    Run(R"js({"answers": [11]})js");
    // Each database's own words.
    const std::string text = m_practice.Dialect() == SqlDialect::Sqlite ? "no such column: MDID"
        : m_practice.Dialect() == SqlDialect::MariaDb ? "Unknown column 'MDID' in 'SELECT'"
                                                      : "ERROR: column \"mdid\" does not exist;\nError while preparing parameters";
    EXPECT_EQ(TestPractice::WithoutVersions(Messages()),
              (std::vector<std::string>{"SollIch: Behandlermodus? -> 11", "Halt: Datenbankfehler in Tabelle MANDANT:\n" + text +
                                            "\n\nDie Liste der Praxisinhaber/Behandler konnte nicht gelesen werden. -> 1"}));
    EXPECT_EQ(Flags("enabled", {1001, 1003}), "10");
}

// A fault hits the k-th statement that names one table, at the start of one step group.
enum class Fault { RenameTable, HoldLock, TerminateConnections };

struct FaultCase {
    const char* verb;      // the statements counted: those that begin with verb
    const char* trigger;   // and hold this text
    int k;
    Fault fault;
    const char* table;     // the table the fault hits
    std::string ending;    // the memo's last two lines and the notices (see Ending)
    bool onServer = false; // the row runs on a server's practice only, else on SQLite's only
};

const std::string kOne = "Achtung: 1 SQL-Anweisung ist fehlgeschlagen (Einzelheiten in Trace.log). / ";

// The aborted run's last line and message.
std::string Aborted(const std::string& table)
{
    return "FEHLER!!! / Datenbankfehler in Tabelle " + table + ":\n<text>\n\nDer Löschvorgang wurde abgebrochen.";
}

const FaultCase kFaultCases[] = {
    {"SELECT", "FROM PAT ", 1, Fault::RenameTable, "PAT", "Lösche Patienten gemäß Stammbehandler... / " + Aborted("PAT")},
    {"SELECT", "FROM PAT ", 1, Fault::HoldLock, "PAT", kOne + "FEHLER!!! / Fehler beim Löschen des Patienten 000008!\nBreche ab."},
    {"DELETE", "FROM PAT ", 2, Fault::HoldLock, "PAT", kOne + Aborted("PAT")},
    {"SELECT", "FROM BEH ", 1, Fault::RenameTable, "BEH", kOne + Aborted("BEH")},
    {"SELECT", "FROM BILL ", 1, Fault::RenameTable, "BILL", kOne + Aborted("BILL")},
    {"SELECT", "FROM BILL ", 1, Fault::HoldLock, "BILL", "Achtung: 2 SQL-Anweisungen sind fehlgeschlagen (Einzelheiten in Trace.log). / " + Aborted("BILL")},
    {"SELECT", "FROM FAKT ", 1, Fault::RenameTable, "FAKT", "Lösche Rechnungen... / " + Aborted("FAKT")},
    {"SELECT", "FROM CASH ", 1, Fault::HoldLock, "CASH", kOne + Aborted("CASH")},
    {"DELETE", "FROM KONTO", 1, Fault::RenameTable, "MANDANT", "Achtung: 2 SQL-Anweisungen sind fehlgeschlagen (Einzelheiten in Trace.log). / FERTIG!"},
    {"DELETE", "FROM KONTO", 1, Fault::HoldLock, "MANDANT", "Achtung: 10 SQL-Anweisungen sind fehlgeschlagen (Einzelheiten in Trace.log). / FERTIG!"},
    // The dialog's own connection, opened after the cut, runs the orphan statement.
    {"SELECT", "FROM PAT ", 1, Fault::TerminateConnections, "PAT", "Lösche Patienten gemäß Stammbehandler... / " + Aborted("PAT"), true},
    {"SELECT", "FROM FAKT ", 1, Fault::TerminateConnections, "FAKT", kOne + Aborted("FAKT"), true},
    // Another client holds every row of the table: the wait ends, for held invoices at
    // the first patient who has some, after that patient's services and bills went.
    {"DELETE", "FROM PAT ", 1, Fault::HoldLock, "PAT", "Lösche Patienten gemäß Stammbehandler... / " + Aborted("PAT"), true},
    {"DELETE", "FROM BEH WHERE PATNR=?", 1, Fault::HoldLock, "FAKT",
     "Lösche Patienten gemäß Stammbehandler... / FEHLER!!! / Fehler beim Löschen des Patienten 000015!\nBreche ab.", true},
};

// Brings the fault on; returns the statement that takes it away again, if any.
std::string Inject(const TestPractice& practice, const FaultCase& c)
{
    const std::string table = c.table;
    if (c.fault == Fault::RenameTable) {
        practice.Exec("ALTER TABLE " + table + " RENAME TO " + table + "_ALT");
        return "ALTER TABLE " + table + "_ALT RENAME TO " + table;
    }
    if (c.fault == Fault::HoldLock) {
        practice.Exec(practice.OnServer() ? "BEGIN" : "BEGIN IMMEDIATE");
        if (practice.OnServer())
            practice.Exec("SELECT * FROM " + table + " FOR UPDATE");
        return "COMMIT";
    }
    practice.CutServerConnections();
    return {};
}

// Patient numbers with rows in a patient table but no patient row.
std::set<std::string> HalfRemoved(const TestPractice& practice)
{
    std::set<std::string> patients;
    for (const char* table : {"BEH", "BILL", "FAKT", "CASH", "DOKUMENT", "ZPLAN"})
        for (const auto& row : practice.Query(std::string("SELECT DISTINCT PATNR FROM ") + table + " WHERE PATNR NOT IN (SELECT PATNR FROM PAT)"))
            patients.insert(row.front());
    return patients;
}

// On a copy of the practice per case: the k-th statement naming a table of the step
// group meets a real fault. The run ends as failed with the message (or, when only
// statements failed, with their count), every row the uninterrupted run keeps is as
// it was, every patient is whole or gone; with the fault gone a second run reaches
// the uninterrupted run's end state.
TEST_F(FaultRunTest, EveryStepGroupEndsCleanlyOnAFaultAndASecondRunFinishesIt)
{
    const Rows initial = RowsOf(m_storage.emplace(1, 60));
    const std::set<std::string> halfBefore = HalfRemoved(m_practice);
    Run(OwnerRun());
    const Rows reference = RowsOf(m_practice);
    const std::vector<std::string> referenceFiles = FilesOf(m_practice);
    const CSeamScope<seam::LockWait> shortWait(std::chrono::milliseconds(300));
    for (const FaultCase& c : kFaultCases) {
        const TestPractice practice(1, 60);
        if (c.onServer != practice.OnServer())
            continue;
        SCOPED_TRACE(std::string(c.verb) + " " + c.trigger + "#" + std::to_string(c.k) + " fault " + std::to_string(static_cast<int>(c.fault)));
        int seen = 0;
        std::string undo;
        // A server's lock goes after two seconds, long after the wait: the run fails only
        // where it waits no longer than it is told to.
        QTimer release;
        release.setSingleShot(true);
        QObject::connect(&release, &QTimer::timeout, [&] { practice.Exec(std::exchange(undo, {})); });
        {
            const CSeamScope<seam::DatabaseStatement> fault([&](std::string_view statement) {
                if (statement.starts_with(c.verb) && statement.find(c.trigger) != std::string_view::npos && ++seen == c.k) {
                    undo = Inject(practice, c);
                    if (c.fault == Fault::HoldLock && practice.OnServer())
                        release.start(std::chrono::seconds(2));
                }
            });
            EXPECT_EQ(Ending(Run(practice, OwnerRun())), c.ending);
        }
        ASSERT_GE(seen, c.k);
        if (!undo.empty())
            practice.Exec(undo);

        EXPECT_EQ(HalfRemoved(practice), halfBefore);
        const Rows faulted = RowsOf(practice);
        for (const auto& [table, rows] : reference)
            for (const std::string& row : rows)
                EXPECT_TRUE(!initial.at(table).contains(row) || faulted.at(table).contains(row)) << table << " lost " << row;

        Run(practice, OwnerRun());
        EXPECT_EQ(RowsOf(practice), reference);
        EXPECT_EQ(FilesOf(practice), referenceFiles);
    }
}

// Faults a user meets who may not write everything (root may): a database file, or a
// -wal file another program left beside it, that can only be read is named before
// anything is done. A removed patient's folder that cannot be emptied (it holds a
// folder that can only be read) is moved aside and its rows go; it waits there, named,
// the other patients' folders untouched, and the next confirmed run removes it once it
// can (a run to a replacement whose key is cut by characters: "Ü1" stays "Ü1").
TEST_F(FaultRunTest, FilesThatCannotBeWrittenAreNamedAndLoseNothing)
{
    if (m_practice.OnServer())
        GTEST_SKIP() << "a server's database is no file, the folders are the same on every database";
    m_storage.emplace(1, 60);
    const TestPractice uninterrupted(1, 60);
    for (const TestPractice* practice : {static_cast<const TestPractice*>(&m_practice), &uninterrupted})
        for (const char* patient : {"000009", "000001"})   // removed by the run, kept
            practice->WriteFile("daten/pat/" + std::string(patient) + "/Akte/Befund.pdf");
    const QJsonValue memo = Run(uninterrupted, OwnerRun()).value(QStringLiteral("memo"));
    const std::string database = m_practice.Folder() + "/praxis.db";
    m_practice.WriteFile("praxis.db-wal", "");
    for (const std::string& file : {database, database + "-wal"}) {
        std::filesystem::permissions(file, std::filesystem::perms(0444));
        RunChild(OwnerRun(), true);
        EXPECT_EQ(Messages(), std::vector<std::string>{"Halt: Die Praxisdatenbank kann nicht geöffnet werden:\nDie Datenbankdatei " +
                                                       file + " kann nur gelesen werden. -> 1"});
        std::filesystem::permissions(file, std::filesystem::perms(0644));
    }
    const std::string aside = "daten/Kelvor.geloescht/000009";
    std::filesystem::permissions(m_practice.Folder() + "/daten/pat/000009/Akte", std::filesystem::perms(0555));
    RunChild(OwnerRun(), true);
    EXPECT_EQ(m_report.value(QStringLiteral("memo")), memo);
    EXPECT_EQ(Trace(), std::vector<std::string>{"CLoeschkonzept: cannot remove, the next run removes " + m_practice.Folder() + "/" + aside});
    EXPECT_EQ(RowsOf(m_practice), RowsOf(uninterrupted));
    EXPECT_TRUE(m_practice.Exists(aside + "/Akte/Befund.pdf"));
    std::vector<std::string> files = FilesOf(m_practice);
    std::erase_if(files, [](const std::string& file) { return file.starts_with("daten/Kelvor.geloescht/"); });
    EXPECT_EQ(files, FilesOf(uninterrupted));

    std::filesystem::permissions(m_practice.Folder() + "/" + aside + "/Akte", std::filesystem::perms(0755));
    m_practice.Insert("MANDANT", {{"MDID", "Ü1"}});
    RunChild(R"js({"answers": [11, 10, 7], "actions": [{"select": 1001, "text": "03"}, {"select": 1002, "text": "Ü1"},
        {"click": 1003}]})js", true);
    EXPECT_EQ(Trace(), std::vector<std::string>{});
    EXPECT_FALSE(m_practice.Exists("daten/Kelvor.geloescht"));
    EXPECT_EQ(std::ranges::count(Statements(), std::string("UPDATE REZEPT SET MDID='Ü1' WHERE MDID='03'")), 1);
}

struct RecordsCase {
    const char* name;        // in the log folder
    enum { Fifo, Folder, ReadOnly, ReadOnlyFolder, Full } kind;
    std::string reason;
};

// A run whose marker, run log or trace cannot be written does not start: said before
// anything is done, no marker or part of one left (only the trace says why), the
// dialog ready as before. A FIFO where a record belongs never makes Kelvor wait, at
// start-up either. Read-only files and a full disk only bind a user who is not root,
// and a disk mounted by root.
TEST_F(FaultRunTest, ARunThatCannotKeepItsRecordsDoesNotStart)
{
    const RecordsCase cases[] = {
        {"Kelvor.lauf", RecordsCase::Fifo, "Kelvor.lauf ist keine Datei."},
        {"Kelvor.log", RecordsCase::Fifo, "Kelvor.log ist keine Datei."},
        {"Trace.log", RecordsCase::Fifo, "Trace.log ist keine Datei."},
        {"Kelvor.log", RecordsCase::Folder, "Kelvor.log ist keine Datei."},
        {"Kelvor.log", RecordsCase::ReadOnly, "Kelvor.log: keine Schreibrechte."},
        {"", RecordsCase::ReadOnlyFolder, "Kelvor.lauf: keine Schreibrechte."},
        {"", RecordsCase::Full, "Kelvor.lauf: kein Platz mehr auf dem Datenträger."},
    };
    const std::string scenario = R"js({"answers": [11, 10], "actions": [{"select": 1001, "text": "02"},
        {"select": 1002, "text": "01"}, {"click": 1003}]})js";
    const bool root = ::geteuid() == 0;
    for (const RecordsCase& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.kind));
        m_storage.emplace();
        AddOwnersAndTreaters();
        const std::string log = m_practice.LogPath();
        // A log disk as small as its contents: mounted for the case, gone with it (root only).
        const bool full = c.kind == RecordsCase::Full && root && ::mount("tmpfs", log.c_str(), "tmpfs", 0, "size=16k") == 0;
        const auto unmount = qScopeGuard([full, &log] {
            if (full)
                ::umount(log.c_str());
        });
        if (c.kind == RecordsCase::Full && !full)
            continue;
        if (full) {
            std::ofstream fill(log + "fill", std::ios::binary);
            while (fill << std::string(1024, 'x') && fill.flush()) {
            }
        }
        const std::string path = log + c.name;
        if (c.kind == RecordsCase::Fifo) {
            ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
        }
        if (c.kind == RecordsCase::Folder)
            std::filesystem::create_directory(path);
        if (c.kind == RecordsCase::ReadOnly)
            m_practice.WriteFile("log/Kelvor.log", "vorher\n");
        const auto tables = m_practice.DumpAll();
        // Where the refusal is traced may change, nothing else.
        const auto listing = [this] {
            std::vector<std::string> files = m_practice.ListTree();
            std::erase(files, "log/Trace.log");
            return files;
        };
        const auto files = listing();
        const bool unprivileged = c.kind == RecordsCase::ReadOnly || c.kind == RecordsCase::ReadOnlyFolder;
        if (unprivileged && !root)
            continue;
        if (unprivileged)
            std::filesystem::permissions(c.kind == RecordsCase::ReadOnly ? path : log, std::filesystem::perms(0555));
        RunChild(scenario, unprivileged);
        EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 11",
                                                        "SollIch: Soll der Löschvorgang jetzt gestartet werden? -> 10",
                                                        "Halt: Im Log-Ordner " + log + " kann nicht geschrieben werden:\n" +
                                                            c.reason + "\n\nDer Löschvorgang wird nicht gestartet. -> 1"}));
        EXPECT_EQ(Statements(), std::vector<std::string>{});
        EXPECT_EQ(Memo(), std::vector<std::string>{});
        EXPECT_EQ(Flags("enabled", {1001, 1002, 1003}), "111");
        EXPECT_EQ(m_practice.DumpAll(), tables);
        EXPECT_EQ(listing(), files);
        if (c.kind == RecordsCase::Fifo && std::string(c.name) == "Kelvor.lauf") {
            EXPECT_EQ(Trace().front(), "CRunMarker::Read: " + path + " cannot be read; taken as no interrupted run");
        }
    }
}

} // namespace
