#include "HbRSetConnection.h"
#include "DBException.h"
#include "DatabaseError.h"
#include "WindowServing.h"
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>
#include <sqlite3.h>

namespace {

// SQLite asks whether to serve the window after this many of its virtual machine
// steps (well under a millisecond).
constexpr int kStepsBetweenAsks = 4000;

int ServeWindowDuringStatement(void* /*unused*/)
{
    CWindowServing::IfDueInStatement();
    return 0;
}

} // namespace

CHbRSetConnection::CHbRSetConnection(const QString& name, bool ownThread, const std::function<void()>& open)
    : m_thread(ownThread ? std::make_unique<CStatementThread>() : nullptr)
{
    Run([&] {
        open();
        m_db = QSqlDatabase::database(name, false);
        if (sqlite3* const handle = SqliteHandle())
            m_sqlite = std::make_unique<CSqliteStatements>(handle);
    });
}

CHbRSetConnection::~CHbRSetConnection()
{
    Run([this] {
        m_checkpointer.reset();
        m_statements.clear();   // the statements go before the connection closes
        m_sqlite.reset();
        const QString name = m_db.connectionName();
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    });
}

QSqlQuery& CHbRSetConnection::Prepared(const std::string& sql)
{
    std::unique_ptr<QSqlQuery>& query = m_statements[sql];
    if (query)
        return *query;
    auto prepared = std::make_unique<QSqlQuery>(m_db);
    prepared->setForwardOnly(true);
    if (!prepared->prepare(QString::fromStdString(sql))) {
        std::string error = StatementErrorText(prepared->lastError(), m_db);
        m_statements.erase(sql);
        throw CDBException(std::move(error));
    }
    query = std::move(prepared);
    return *query;
}

void CHbRSetConnection::Exec(std::string_view text)
{
    const auto run = [&] {
        QSqlQuery query(m_db);
        if (!query.exec(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))))
            throw CDBException(StatementErrorText(query.lastError(), m_db));
    };
    if (m_sqlite)
        m_sqlite->InOwnTransaction(text, run);
    else
        run();
}

sqlite3* CHbRSetConnection::SqliteHandle() const
{
    const QVariant handle = m_db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

void CHbRSetConnection::TuneSqlite(bool writer)
{
    sqlite3* const db = SqliteHandle();
    if (db == nullptr)
        return;
    sqlite3_progress_handler(db, kStepsBetweenAsks, ServeWindowDuringStatement, nullptr);
    if (writer)
        m_checkpointer = std::make_unique<CWalCheckpointer>(db, m_db.databaseName().toStdString());
}
