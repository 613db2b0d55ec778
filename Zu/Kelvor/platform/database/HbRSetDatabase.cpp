#include "HbRSetDatabase.h"
#include "DBException.h"
#include "DatabaseBackEnd.h"
#include "DatabaseConnections.h"
#include "DatabaseError.h"
#include "BoundStatement.h"
#include "HbRSetConnection.h"
#include "Seams.h"
#include "WindowServing.h"
#include <QSqlDatabase>
#include <QSqlError>
#include <algorithm>
#include <atomic>
#include <vector>

namespace {

[[noreturn]] void ThrowNotOpen()
{
    throw CDBException("Die Datenbankverbindung ist nicht geöffnet.");
}

std::string UniqueConnectionName()
{
    static std::atomic<unsigned> counter{0};
    return "kelvor.db." + std::to_string(++counter);
}

// Begins or commits a transaction where the connection lives; throws the database's error.
void TransactionStep(CHbRSetConnection& connection, bool (QSqlDatabase::*step)())
{
    connection.Run([&] {
        QSqlDatabase& db = connection.Database();
        if (!(db.*step)())
            throw CDBException(DatabaseErrorText(db.lastError()));
    });
}

} // namespace

CHbRSetDatabase::CHbRSetDatabase() : m_strConnectionName(UniqueConnectionName()) {}

CHbRSetDatabase::~CHbRSetDatabase()
{
    Close();
}

bool CHbRSetDatabase::Open(const char* /*dsn*/, bool /*exclusive*/, bool readOnly, std::string_view connect,
                           bool /*useCursorLib*/)
{
    return OpenConnection(readOnly, connect, true);
}

bool CHbRSetDatabase::OpenHere(std::string_view connect)
{
    return OpenConnection(false, connect, false);
}

// Open, set up, share: a writer to a database another writer of the process has
// open shares that one's connection instead, and so does a reader where the back end
// wants one connection for all.
bool CHbRSetDatabase::OpenConnection(bool readOnly, std::string_view connect, bool serverThread)
{
    Close();
    std::shared_ptr<CDatabaseBackEnd> backEnd = CDatabaseBackEnd::ForConnect(connect);
    readOnly = readOnly && !backEnd->ReadersShareWriter();
    if (!readOnly && ShareWriter(backEnd->SharedWriterKey(), connect))
        return true;
    m_connection = backEnd->Open(QString::fromStdString(m_strConnectionName), readOnly, serverThread);
    if (std::unique_ptr<CDatabaseBackEnd> recognised = backEnd->Recognised(*m_connection))
        backEnd = std::move(recognised);
    m_backEnd = std::move(backEnd);
    m_strConnect = connect;
    m_bReadOnly = readOnly;
    SetUp(readOnly);
    CDatabaseConnections::Opened(this);
    return true;
}

void CHbRSetDatabase::SetUp(bool readOnly)
{
    std::string problem;
    try {
        problem = m_backEnd->SetUp(*this, readOnly);
    } catch (const CDBException& error) {
        problem = m_backEnd->Unreachable() + error.ErrorText();
    }
    if (problem.empty())
        return;
    Close();
    throw CDBException(problem);
}

// Connections of one process to one SQLite file that both write share the one
// connection underneath: a commit through one of several connections makes the
// others drop their page caches, which for a run that takes turns on every row
// costs more than the statements. Nothing of the program writes through one of
// them while a transaction of the other is open.
bool CHbRSetDatabase::ShareWriter(const std::string& key, std::string_view connect)
{
    const CHbRSetDatabase* const other = key.empty() ? nullptr : CDatabaseConnections::Writer(key);
    if (other == nullptr)
        return false;
    m_backEnd = other->m_backEnd;
    m_connection = other->m_connection;
    m_strConnect = connect;
    m_bReadOnly = false;
    CDatabaseConnections::Opened(this);
    return true;
}

void CHbRSetDatabase::Close()
{
    if (m_strConnect.empty())
        return;
    m_strConnect.clear();
    CDatabaseConnections::Closed(this);
    m_connection.reset();
    m_backEnd.reset();
}

bool CHbRSetDatabase::IsOpen() const
{
    return !m_strConnect.empty() && m_connection->Database().isOpen();
}

std::string CHbRSetDatabase::ConnectionName() const
{
    return m_connection ? m_connection->Database().connectionName().toStdString() : m_strConnectionName;
}

std::string CHbRSetDatabase::GetCryptConnect() const
{
    return m_strConnect;
}

void CHbRSetDatabase::RequireOpen() const
{
    if (!IsOpen())
        ThrowNotOpen();
}

void CHbRSetDatabase::ExecuteSQL(std::string_view statement)
{
    RequireOpen();
    BeforeStatement(statement);
    RunText(*this, statement);
    CWindowServing::IfDue();
}

CHbRSetConnection& CHbRSetDatabase::Connection() const
{
    if (!m_connection)
        ThrowNotOpen();
    return *m_connection;
}

CDatabaseBackEnd& CHbRSetDatabase::BackEnd() const
{
    if (!m_backEnd)
        ThrowNotOpen();
    return *m_backEnd;
}

SqlDialect CHbRSetDatabase::Dialect() const
{
    return BackEnd().Dialect();
}

void CHbRSetDatabase::BeforeStatement(std::string_view statement)
{
    seam::DatabaseStatement::Call(statement);
}

void CHbRSetDatabase::Begin()
{
    TransactionStep(Connection(), &QSqlDatabase::transaction);
}

void CHbRSetDatabase::Commit()
{
    TransactionStep(Connection(), &QSqlDatabase::commit);
}

void CHbRSetDatabase::Rollback()
{
    if (m_connection)
        m_connection->Run([this] { m_connection->Database().rollback(); });
}
