#include "TrialCopy.h"
#include "BoundStatement.h"
#include "DBException.h"
#include "DatabaseBackEnd.h"
#include "FileSystem.h"
#include "HbRSetConnection.h"
#include "HbRSet.h"
#include "HbRSetDatabase.h"
#include "Schema.h"
#include "WindowServing.h"
#include <QSqlDatabase>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <iterator>
#include <memory>
#include <set>
#include <utility>
#include <sqlite3.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "Kelvor-Probelauf-";
constexpr int kBusyWait = 10000;   // ms
constexpr int kBusyPoll = 5;       // ms
constexpr std::size_t kRowsPerHandOver = 256;   // rows of a server's table given to the copy at once

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Db = std::unique_ptr<sqlite3, CloseDb>;

// Whole-file work: on a thread of its own while a run or trial serves the window.
void Served(const std::function<void()>& work)
{
    CWindowServing::WhileServing([&work] {
        work();
        return true;
    });
}

// The temporary folder as the user set it: TMPDIR, else /tmp.
std::string TemporaryFolder()
{
    const char* const named = std::getenv("TMPDIR");
    std::string folder = named != nullptr && *named != '\0' ? named : "/tmp";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

[[noreturn]] void Fail(sqlite3* db, const std::string& table = {})
{
    throw CDBException(sqlite3_errmsg(db), table, "Probelauf");
}

void Exec(sqlite3* db, const std::string& sql, const std::string& table = {})
{
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(db, table);
}

// The first row's columns as numbers (0 for NULL).
std::vector<long long> Numbers(sqlite3* db, const std::string& sql, const std::string& table = {})
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK)
        Fail(db, table);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
    if (sqlite3_step(raw) != SQLITE_ROW)
        Fail(db, table);
    std::vector<long long> numbers;
    for (int i = 0; i < sqlite3_column_count(raw); ++i)
        numbers.push_back(sqlite3_column_int64(raw, i));
    return numbers;
}

long long Number(sqlite3* db, const std::string& sql)
{
    return Numbers(db, sql).front();
}

Db OpenFile(const std::string& path, int flags)
{
    sqlite3* raw = nullptr;
    const int result = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    Db db(raw);
    if (result != SQLITE_OK)
        Fail(raw);
    return db;
}

// Each column put in for every # of pattern, joined by separator: "\"c1\",\"c2\"".
std::string Joined(const std::vector<std::string>& columns, const std::string& pattern, const std::string& separator)
{
    std::string text;
    for (const std::string& column : columns) {
        if (!text.empty())
            text += separator;
        std::string part = pattern;
        for (std::size_t at = part.find('#'); at != std::string::npos; at = part.find('#', at + column.size()))
            part.replace(at, 1, column);
        text += part;
    }
    return text;
}

std::string Log(const TableDef& table)
{
    return "\"kelvor_log_" + table.name + "\"";
}

// Every row a statement deletes or changes is appended to the table's log with its
// state before ('v'), every key it adds with the key alone ('n'); triggers fire for
// every connection to the copy. Appending is all a trigger does, so the trial costs
// little more than the run: the log is sorted out once, by Changes.
std::vector<std::string> Recorders(const TableDef& table)
{
    const std::string name = "\"" + table.name + "\"";
    const std::string columns = Joined(table.columns, "\"#\"", ",");
    const std::string before = " BEGIN INSERT INTO " + Log(table) + " VALUES ('v'," + Joined(table.columns, "OLD.\"#\"", ",") + "); END";
    const std::string added = " BEGIN INSERT INTO " + Log(table) + "(kind," + Joined(table.primaryKey, "\"#\"", ",") +
                              ") VALUES ('n'," + Joined(table.primaryKey, "NEW.\"#\"", ",") + "); END";
    return {
        "CREATE TABLE " + Log(table) + "(kind," + columns + ")",
        "CREATE TRIGGER \"kelvor_d_" + table.name + "\" BEFORE DELETE ON " + name + before,
        "CREATE TRIGGER \"kelvor_u_" + table.name + "\" BEFORE UPDATE ON " + name + before,
        "CREATE TRIGGER \"kelvor_i_" + table.name + "\" AFTER INSERT ON " + name + added,
        "CREATE TRIGGER \"kelvor_k_" + table.name + "\" AFTER UPDATE ON " + name + " WHEN " +
            Joined(table.primaryKey, "NEW.\"#\" IS NOT OLD.\"#\"", " OR ") + added,
    };
}

// What the trial did to one table, in one pass: a key's first entry in the log (the
// smallest rowid) tells what it was before the trial, a row ('v') or nothing ('n'), and
// is compared with the key's row now. The sort carries the keys and rowids alone; the
// entries are fetched by rowid afterwards.
STableChanges Counted(sqlite3* copy, const TableDef& table)
{
    const std::string absent = "t.\"" + table.primaryKey.front() + "\" IS NULL";   // no row has a NULL key
    const std::vector<long long> counts = Numbers(
        copy,
        "SELECT sum(k.kind='v' AND " + absent + "), sum(k.kind='v' AND NOT " + absent + " AND (" +
            Joined(table.columns, "t.\"#\" IS NOT k.\"#\"", " OR ") + ")), sum(k.kind='n' AND NOT " + absent +
            ") FROM (SELECT MIN(rowid) AS first FROM " + Log(table) + " GROUP BY " +
            Joined(table.primaryKey, "\"#\"", ",") + ") f JOIN " + Log(table) + " k ON k.rowid=f.first LEFT JOIN \"" +
            table.name + "\" t ON " + Joined(table.primaryKey, "t.\"#\"=k.\"#\"", " AND "),
        table.name);
    return {table.name, counts[0], counts[1], counts[2]};
}

bool HasTable(sqlite3* db, const std::string& name)
{
    return Number(db, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name='" + name + "'") > 0;
}

void AddRecorders(sqlite3* copy)
{
    Exec(copy, "BEGIN");
    for (const TableDef& table : PracticeSchema()) {
        if (HasTable(copy, table.name))
            for (const std::string& statement : Recorders(table))
                Exec(copy, statement, table.name);
    }
    Exec(copy, "COMMIT");
}

// Every row of one table, in key order, a page at a time.
class CTableRows : public CHbRSet {
public:
    CTableRows(CHbRSetDatabase& db, const TableDef& table) : CHbRSet(&db, table.name, {table.primaryKey})
    {
        SetKey(1, true);
    }
};

[[noreturn]] void NoRoom()
{
    throw CTrialCopy::Refused("im temporären Ordner " + TemporaryFolder() + " ist zu wenig Platz");
}

void Step(sqlite3* db, sqlite3_stmt* statement, const std::string& table)
{
    const int result = sqlite3_step(statement);
    if (result == SQLITE_FULL)
        NoRoom();
    if (result != SQLITE_DONE)
        Fail(db, table);
    sqlite3_reset(statement);
}

// Rows of table (its columns' fields one after the other) into the copy, on the serving
// thread: a page of them took the window's thread 100-300 ms now and then (a busy disk,
// most likely).
void InsertRows(sqlite3* copy, sqlite3_stmt* insert, const TableDef& table, const std::vector<std::string>& fields)
{
    Served([&] {
        for (std::size_t at = 0; at < fields.size(); at += table.columns.size()) {
            for (std::size_t i = 0; i < table.columns.size(); ++i) {
                const std::string& value = fields[at + i];
                sqlite3_bind_text(insert, static_cast<int>(i + 1), value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
            }
            Step(copy, insert, table.name);
        }
    });
}

// The practice's tables the server has, in upper case: a practice may lack one, and its
// run then fails on that table's statements alone.
std::set<std::string> ServerTables(CHbRSetDatabase& practice)
{
    std::set<std::string> names;
    if (const std::string query = practice.BackEnd().TablesQuery(); !query.empty()) {
        RunBound(practice, query, {}, [&names](std::vector<std::string>&& row) {
            names.insert(QString::fromStdString(row.front()).toUpper().toStdString());
        });
        return names;
    }
    CHbRSetConnection& connection = practice.Connection();
    connection.Run([&] {
        for (const QString& name : connection.Database().tables())
            names.insert(name.toUpper().toStdString());
    });
    return names;
}

// A server's tables, made as the schema makes them on SQLite (binary comparison, trailing
// blanks counting, as on the practice's servers), filled row by row over the connection.
void CopyRows(CHbRSetDatabase& practice, sqlite3* copy)
{
    const std::set<std::string> present = ServerTables(practice);
    Exec(copy, "BEGIN");
    for (const std::string& statement : SchemaStatements(SqlDialect::Sqlite))
        Exec(copy, statement);
    for (const TableDef& table : PracticeSchema()) {
        if (!present.contains(table.name)) {
            Exec(copy, "DROP TABLE \"" + table.name + "\"", table.name);
            continue;
        }
        sqlite3_stmt* raw = nullptr;
        const std::string insert = "INSERT INTO \"" + table.name + "\" VALUES (" + Joined(table.columns, "?", ",") + ")";
        if (sqlite3_prepare_v2(copy, insert.c_str(), -1, &raw, nullptr) != SQLITE_OK)
            Fail(copy, table.name);
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
        CTableRows rows(practice, table);
        std::vector<std::string> fields;
        for (int found = rows.GetAll(); found == 0; found = rows.Next()) {
            for (const std::string& column : table.columns)
                fields.push_back(rows.GetField(column));
            if (fields.size() >= kRowsPerHandOver * table.columns.size())
                InsertRows(copy, raw, table, std::exchange(fields, {}));
        }
        InsertRows(copy, raw, table, fields);
    }
    Exec(copy, "COMMIT");
}

// What a copy of the practice database takes on disk; 0 where the server does not say.
long long DatabaseSize(CHbRSetDatabase& practice)
{
    if (sqlite3* const source = practice.Connection().SqliteHandle())
        return Number(source, "PRAGMA page_count") * Number(source, "PRAGMA page_size");
    const std::string query = practice.BackEnd().SizeQuery();
    long long size = 0;
    if (!query.empty())
        RunBound(practice, query, {}, [&size](std::vector<std::string>&& row) { size = std::atoll(row.front().c_str()); });
    return size;
}

// Tries again while another connection holds what attempt needs, for kBusyWait at most;
// returns the last try's result.
int UntilNotBusy(const std::function<int()>& attempt)
{
    int result = attempt();
    for (int waited = 0; waited < kBusyWait && (result == SQLITE_BUSY || result == SQLITE_LOCKED); waited += kBusyPoll) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kBusyPoll));
        result = attempt();
    }
    return result;
}

// Through a connection of its own to the practice's file, so that it may run on a thread
// of its own: the practice's connections belong to the window's thread.
void CopyPages(const std::string& file, sqlite3* to)
{
    const Db from = OpenFile(file, SQLITE_OPEN_READONLY);
    sqlite3_backup* const backup = sqlite3_backup_init(to, "main", from.get(), "main");
    if (backup == nullptr)
        Fail(to);
    const int result = UntilNotBusy([backup] { return sqlite3_backup_step(backup, -1); });
    sqlite3_backup_finish(backup);
    if (result == SQLITE_FULL)
        NoRoom();
    if (result != SQLITE_DONE)
        Fail(to);
}

void RemoveFiles(const std::string& path)
{
    std::error_code error;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        fs::remove(path + suffix, error);
}

std::string NewPath(const std::string& folder)
{
    static std::atomic<unsigned> counter{0};
    return folder + "/" + std::string(kPrefix) + std::to_string(ProcessId()) + "-" + std::to_string(++counter) + ".db";
}

// The tables the trial changed, from the logs in the copy at path. Two connections
// count at once, each taking the next table left: sorting the logs is the trial's
// longest step after its passes.
std::vector<STableChanges> CountChanges(const std::string& path)
{
    const std::vector<TableDef>& tables = PracticeSchema();
    std::vector<STableChanges> counted(tables.size());
    std::atomic<std::size_t> next{0};
    const auto count = [&] {
        const Db copy = OpenFile(path, SQLITE_OPEN_READWRITE);
        sqlite3_busy_timeout(copy.get(), kBusyWait);   // while the other sets up the log's index
        for (std::size_t i = next++; i < tables.size(); i = next++)
            if (HasTable(copy.get(), "kelvor_log_" + tables[i].name))
                counted[i] = Counted(copy.get(), tables[i]);
    };
    std::future<void> other = std::async(std::launch::async, count);
    count();
    other.get();
    std::vector<STableChanges> changes;
    std::ranges::copy_if(counted, std::back_inserter(changes),
                         [](const STableChanges& c) { return c.gone + c.changed + c.added > 0; });
    std::ranges::sort(changes, {}, &STableChanges::table);
    return changes;
}

} // namespace

CTrialCopy::CTrialCopy(CHbRSetDatabase& practice)
{
    const std::string folder = TemporaryFolder();
    std::error_code error;
    if (!fs::is_directory(folder, error))
        throw Refused("den temporären Ordner " + folder + " gibt es nicht");
    sqlite3* const source = practice.Connection().SqliteHandle();
    const fs::space_info disk = fs::space(folder, error);
    if (error || static_cast<long double>(disk.available) < static_cast<long double>(DatabaseSize(practice)) * 1.1L)
        throw Refused("im temporären Ordner " + folder + " ist zu wenig Platz");

    m_path = NewPath(folder);
    if (!m_lock.emplace(m_path, OpenFor::CreatingNew, 0600).TryLock())
        throw Refused("im temporären Ordner " + folder + " kann nicht geschrieben werden");
    try {
        const Db copy = OpenFile(m_path, SQLITE_OPEN_READWRITE);
        // Thrown away after the trial: its making need not wait for the disk either.
        Exec(copy.get(), "PRAGMA synchronous=OFF");
        // A million patients' file takes seconds, each thousand pages up to 180 ms, its
        // recorders a tenth of a second: on a thread of its own while the window is served.
        if (source != nullptr)
            Served([&] { CopyPages(sqlite3_db_filename(source, "main"), copy.get()); });
        else
            CopyRows(practice, copy.get());
        Served([&copy] {
            // A practice's file comes in WAL mode with a shared index; the trial's
            // connection keeps the index to itself, which it can only set up anew.
            Exec(copy.get(), "PRAGMA journal_mode=DELETE");
            AddRecorders(copy.get());
        });
    } catch (...) {
        RemoveFiles(m_path);
        m_lock.reset();
        throw;
    }
}

CTrialCopy::~CTrialCopy()
{
    // The file system frees a large file's blocks at its last close: a quarter of a
    // second at 100,000 patients.
    Served([this] {
        RemoveFiles(m_path);
        m_lock.reset();
    });
}

std::string CTrialCopy::ConnectText() const
{
    return "sqlite-copy:" + m_path;
}

// Sorting out the logs takes seconds at a large practice: on a thread of its own,
// while the window is served.
std::vector<STableChanges> CTrialCopy::Changes() const
{
    std::vector<STableChanges> changes;
    Served([&] { changes = CountChanges(m_path); });
    return changes;
}

void CTrialCopy::RemoveLeftovers()
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(TemporaryFolder(), error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kPrefix) || !name.ends_with(".db"))
            continue;
        // A copy whose trial still runs is locked by it.
        if (const COpenFile copy(entry.path().string(), OpenFor::Writing); copy.TryLock())
            RemoveFiles(entry.path().string());
    }
}
