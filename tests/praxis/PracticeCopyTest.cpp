#include "PracticeCopy.h"
#include "SqliteConnection.h"
#include "TestPractice.h"
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Every entry below folder, relative; the database's own WAL files are SQLite's business.
std::set<std::string> Tree(const fs::path& folder)
{
    std::set<std::string> tree;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(folder).string();
        if (!name.starts_with("praxis.db-"))
            tree.insert(name);
    }
    return tree;
}

class PracticeCopyTest : public ::testing::Test {
protected:
    const TestPractice m_practice{1, 300, TestPractice::Backend::Sqlite};
    const fs::path m_folder = m_practice.Folder();
    const fs::path m_scratch = m_folder.parent_path();
};

} // namespace

TEST_F(PracticeCopyTest, BackupDuringWritesRestoresToOneCommittedState)
{
    // Another client of the practice: each transaction adds three rows to the waiting
    // list and sets the number pool's patient number to the transaction's number, so a
    // consistent copy holds exactly three rows per number.
    std::atomic<long> committed{0};
    for (const char* file : {"praxis.db", "vqparams.ini"})
        fs::permissions(m_folder / file, fs::perms(0644));   // as an older practice may have them
    std::jthread writer([&committed, database = m_folder / "praxis.db"](const std::stop_token& stop) {
        const SqliteConnection db(database, SQLITE_OPEN_READWRITE);
        for (long n = 1; !stop.stop_requested(); committed = n++) {
            db.Value("BEGIN IMMEDIATE");
            for (int row = 1; row <= 3; ++row)
                db.Value("INSERT INTO WARTELISTE (LFDNR, PATNR) VALUES ('w" + std::to_string(n) + "-"
                         + std::to_string(row) + "', '000001')");
            db.Value("UPDATE NUMBERPOOL SET PATNR='" + std::to_string(n) + "'");
            db.Value("COMMIT");
        }
    });
    while (committed < 10)
        std::this_thread::yield();
    const long before = committed;
    CopyPractice(m_folder, m_scratch / "sicherung");
    const long after = committed;
    writer = std::jthread();   // stopped and joined
    ASSERT_GT(after, before) << "the writer committed nothing while the backup ran";
    CopyPractice(m_scratch / "sicherung", m_scratch / "zurueck");
    // Patient data for its owner only; the copied practice is left without WAL files as it was.
    for (const char* copy : {"sicherung", "zurueck"}) {
        for (const char* file : {"praxis.db", "vqparams.ini"})
            EXPECT_EQ(fs::status(m_scratch / copy / file).permissions(), fs::perms::owner_read | fs::perms::owner_write)
                << copy << '/' << file;
        for (const char* file : {"praxis.db-wal", "praxis.db-shm"})
            EXPECT_FALSE(fs::exists(m_scratch / copy / file)) << copy << '/' << file;
    }

    const SqliteConnection restored(m_scratch / "zurueck/praxis.db", SQLITE_OPEN_READONLY);
    EXPECT_EQ(restored.Value("PRAGMA integrity_check"), "ok");
    const long state = std::stol(restored.Value("SELECT PATNR FROM NUMBERPOOL"));
    EXPECT_GE(state, before);
    EXPECT_LE(state, after);
    EXPECT_EQ(restored.Value("SELECT COUNT(*) FROM WARTELISTE WHERE LFDNR LIKE 'w%'"), std::to_string(3 * state));
    EXPECT_EQ(restored.Value("SELECT COUNT(*) FROM PAT"), std::to_string(m_practice.Count("PAT")));
    EXPECT_EQ(Tree(m_scratch / "zurueck"), Tree(m_folder));
}

// What cannot be copied whole is refused before anything is written.
TEST_F(PracticeCopyTest, RefusesWhatItCannotCopyWhole)
{
    const fs::path other = m_scratch / "andere";
    const fs::path target = m_scratch / "ziel";
    const std::string settings = "[Datenbank]\nVerbindung=";
    // ini: written as the settings of other when not empty.
    const struct { fs::path from, to; std::string ini, message; } cases[]{
        {m_folder, m_folder / "daten/sicherung", "",
         (m_folder / "daten/sicherung").string() + " lies inside the practice " + m_folder.string()},
        {other, target, settings + "odbc:DRIVER={PostgreSQL Unicode};SERVER=db;UID=vq;PWD=geheim\n",
         "The practice " + other.string() + " keeps its database on a server: back it up with the server's own "
         "backup tool (for PostgreSQL pg_dump, and pg_restore to put it back) and copy the practice folder beside it"},
        {other, target, settings + "sqlite:../praxis/praxis.db\n",
         "The database file " + (m_folder / "praxis.db").string() + " is not inside the practice folder "
             + other.string() + "; a backup takes only what lies inside it"},
        {other, target, settings + "sqlite:p.db\n[Pfade]\nDaten=..\\praxis\\daten\n",
         "The folder " + (m_folder / "daten").string() + " is not inside the practice folder " + other.string()
             + "; a backup takes only what lies inside it"},
    };
    fs::create_directory(other);
    for (const auto& [from, to, ini, message] : cases) {
        SCOPED_TRACE(message);
        if (!ini.empty())
            std::ofstream(other / "vqparams.ini") << ini;
        const std::set<std::string> before = Tree(m_scratch);
        try {
            CopyPractice(from, to);
            ADD_FAILURE() << "copied";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), message);
        }
        EXPECT_EQ(Tree(m_scratch), before);
    }
}
