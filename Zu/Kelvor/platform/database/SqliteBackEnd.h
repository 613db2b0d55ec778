#pragma once
#include "DatabaseBackEnd.h"
#include <chrono>

// A practice database in an SQLite file, opened in place with Qt's driver; its
// statements run straight on the file's handle. Writers of one process share one
// connection, the log is written ahead (WAL) and checkpointed on a thread of its own.
// A throwaway copy that this process alone uses (a trial's) has one connection for
// readers and writers, locked for it alone, never flushed.
class CSqliteBackEnd final : public CDatabaseBackEnd {
public:
    enum class Use { Practice, OwnCopy };

    // file: relative to the practice folder or absolute. Throws CDBException naming
    // it when it does not exist.
    CSqliteBackEnd(std::string_view file, Use use);

    SqlDialect Dialect() const override { return SqlDialect::Sqlite; }
    std::shared_ptr<CHbRSetConnection> Open(const QString& name, bool readOnly, bool ownThread) const override;
    std::string Unreachable() const override;
    std::string SetUp(CHbRSetDatabase& db, bool readOnly) override;
    std::vector<std::string> SessionStatements() const override { return {}; }
    std::string SharedWriterKey() const override { return m_file; }
    bool ReadersShareWriter() const override { return m_use == Use::OwnCopy; }
    std::string ExactPlaceholders(std::string_view sql) const override { return std::string(sql); }
    void Run(CHbRSetConnection& connection, const std::string& sql, const std::vector<std::string>& params,
             const Rows& onRow) const override;
    bool ComparesAsSqlite(const CHbRSetDatabase& /*db*/) const override { return true; }

private:
    // Why the open file is no usable practice database; empty when it is one.
    std::string PracticeFileProblem(const CHbRSetDatabase& db, bool readOnly) const;
    static void SetUpPractice(CHbRSetDatabase& db, bool readOnly);
    static void SetUpOwnCopy(CHbRSetDatabase& db);
    static int OnBusy(void* self, int attempt);

    std::string m_file;
    Use m_use;
    std::chrono::steady_clock::time_point m_lockWaitStart;
};
