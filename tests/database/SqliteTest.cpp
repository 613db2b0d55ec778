// The two pieces that work on SQLite's own handle: the kept statements and the
// checkpoints of the write-ahead log.
#include "CommitThread.h"
#include "DBException.h"
#include "SqliteConnection.h"
#include "SqliteStatements.h"
#include "WalCheckpointer.h"
#include "WindowServing.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <chrono>
#include <filesystem>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr int kCreate = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;

int Exec(sqlite3* db, const std::string& sql)
{
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

// Rows as texts, or the error text of the database layer.
std::string RunCollecting(CSqliteStatements& statements, const std::string& sql, const std::vector<std::string>& params, Rows& rows)
{
    try {
        statements.Run(sql, params, [&rows](std::vector<std::string>&& row) { rows.push_back(std::move(row)); });
        return {};
    } catch (const CDBException& e) {
        return e.ErrorText();
    }
}

// Fields as the layer shows them; a statement that failed to prepare is prepared
// again once it can be; no binding of one call reaches the next.
TEST(SqliteStatements, ReadFieldsAsTextsAndKeepNothingOfOneCallForTheNext)
{
    const QTemporaryDir folder;
    const SqliteConnection connection(folder.filePath(QStringLiteral("t.db")).toStdString(), kCreate);
    sqlite3* const db = connection.Handle();
    CSqliteStatements statements(db);
    struct Case {
        std::string sql;
        std::vector<std::string> params;
        std::string setUp;
        Rows rows;
        std::string error;
    };
    const Case cases[] = {
        {"SELECT NULL, 42, 1.5, 'a' || char(0) || 'b', x'C39F'", {}, "", {{"", "42", "1.5", std::string("a\0b", 3), "ß"}}, ""},
        {"SELECT ?, ?", {"x", "y"}, "", {{"x", "y"}}, ""},
        {"SELECT ?, ?", {"z"}, "", {{"z", ""}}, ""},
        {"SELECT A FROM T WHERE A=?", {"1"}, "", {}, "no such table: T"},
        {"SELECT A FROM T WHERE A=?", {"1"}, "CREATE TABLE T(A); INSERT INTO T VALUES ('1'), ('2')", {{"1"}}, ""},
        {"INSERT INTO T VALUES (?)", {"3"}, "", {}, ""},
        {"SELECT COUNT(*) FROM T", {}, "", {{"3"}}, ""},
        {"INSERT INTO X VALUES (?)", {"3"}, "", {}, "no such table: X"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Exec(db, c.setUp), SQLITE_OK) << c.setUp;
        Rows rows;
        EXPECT_EQ(RunCollecting(statements, c.sql, c.params, rows), c.error) << c.sql;
        EXPECT_EQ(rows, c.rows) << c.sql;
    }

    // A walk left by a throw holds no lock: the table can go at once.
    EXPECT_THROW(statements.Run("SELECT A FROM T", {}, [](std::vector<std::string>&&) { throw CDBException("stop"); }),
                 CDBException);
    EXPECT_EQ(Exec(db, "DROP TABLE T"), SQLITE_OK) << sqlite3_errmsg(db);
}

// A change outside a transaction gets one of its own, committed (a long one during a run
// on the serving thread) or, when it fails, rolled back; a PRAGMA that no transaction may
// hold and a change inside the caller's transaction run as they are.
TEST(SqliteStatements, ChangesOutsideATransactionCommitWholeOrNotAtAll)
{
    const QTemporaryDir folder;
    const std::string file = folder.filePath(QStringLiteral("t.db")).toStdString();
    const SqliteConnection connection(file, kCreate);
    sqlite3* const db = connection.Handle();
    CSqliteStatements statements(db);
    ASSERT_EQ(Exec(db, "CREATE TABLE T(A UNIQUE)"), SQLITE_OK);
    const SqliteConnection other(file, SQLITE_OPEN_READWRITE);
    const std::string many = "INSERT INTO T WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 300000) "
                             "SELECT 'x' || I FROM N";
    struct Case {
        std::string sql;
        bool run;
        std::string error;
        bool open;           // a transaction is open afterwards
        std::string count;   // rows the other connection sees afterwards
        char committed;      // '-' nothing, 'h' here, 's' on the serving thread
    };
    const Case cases[] = {
        {"PRAGMA journal_mode=WAL", false, "", false, "0", '-'},
        {"INSERT INTO T VALUES ('1')", false, "", false, "1", 'h'},
        {"INSERT INTO T VALUES ('2'), ('1')", false, "UNIQUE constraint failed: T.A", false, "1", '-'},
        {many, true, "", false, "300001", 's'},
        {"BEGIN", false, "", true, "300001", '-'},
        {"DELETE FROM T", false, "", true, "300001", '-'},
        {"ROLLBACK", false, "", false, "300001", '-'},
        {"DELETE FROM T WHERE A <> ''", true, "", false, "0", 's'},   // row by row: no quick truncation
    };
    std::optional<std::thread::id> committedOn;
    RecordCommitThread(db, committedOn);
    for (const Case& c : cases) {
        committedOn.reset();
        std::optional<CWindowServing> run;
        if (c.run)
            run.emplace();
        Rows rows;
        EXPECT_EQ(RunCollecting(statements, c.sql, {}, rows), c.error) << c.sql;
        run.reset();
        EXPECT_EQ(sqlite3_get_autocommit(db) == 0, c.open) << c.sql;
        EXPECT_EQ(!committedOn ? '-' : *committedOn == std::this_thread::get_id() ? 'h' : 's', c.committed) << c.sql;
        EXPECT_EQ(other.Value("SELECT COUNT(*) FROM T"), c.count) << c.sql;
    }
}

// The log is copied back on the checkpointer's thread each time it has grown by
// kLogFrames pages, so that it stays short however much is written; once the
// checkpointer is gone, also while it was busy, the writer checkpoints itself again.
TEST(WalCheckpointer, KeepsTheLogShortAndHandsCheckpointsBackWhenItGoes)
{
    const QTemporaryDir folder;
    const std::string file = folder.filePath(QStringLiteral("t.db")).toStdString();
    const SqliteConnection connection(file, kCreate);
    sqlite3* const writer = connection.Handle();
    sqlite3_busy_timeout(writer, 10000);
    // Small pages make kLogFrames pages a few megabytes.
    constexpr int kPagesPerCommit = 500;   // a row fills a page; each commit rewrites them all
    ASSERT_EQ(Exec(writer, "PRAGMA page_size=512; PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF; CREATE TABLE T(V BLOB);"
                                 "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < " +
                                     std::to_string(kPagesPerCommit) + ") INSERT INTO T SELECT zeroblob(400) FROM N"),
              SQLITE_OK);
    // Commits with a little time between them, as a run's come: the checkpoint keeps up.
    const auto write = [writer](int commits) {
        for (int i = 0; i < commits; ++i) {
            ASSERT_EQ(Exec(writer, "UPDATE T SET V = randomblob(400)"), SQLITE_OK) << sqlite3_errmsg(writer);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    };
    const auto logPages = [&file] { return std::filesystem::file_size(file + "-wal") / (512 + 24); };
    constexpr int kCommitsPerLog = CWalCheckpointer::kLogFrames / kPagesPerCommit;

    std::optional<CWalCheckpointer> checkpointer(std::in_place, writer, file);
    write(4 * kCommitsPerLog);
    EXPECT_LT(logPages(), 3u * CWalCheckpointer::kLogFrames);
    write(kCommitsPerLog + 1);   // a checkpoint is due, and going on, when the checkpointer goes
    checkpointer.reset();
    write(4 * kCommitsPerLog);
    EXPECT_LT(logPages(), 3u * CWalCheckpointer::kLogFrames);
}

} // namespace
