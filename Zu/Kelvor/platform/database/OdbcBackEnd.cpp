#include "OdbcBackEnd.h"
#include "BoundStatement.h"
#include "DBException.h"
#include "DatabaseError.h"
#include "HbRSetConnection.h"
#include "HbRSetDatabase.h"
#include "OdbcConnection.h"
#include "Seams.h"
#include "WindowServing.h"
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>

namespace {

QString ToQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The attributes of an ODBC connection string ("SERVER=host;..."): key and value, a
// value in braces whole.
const QRegularExpression& OdbcPair()
{
    static const QRegularExpression pair(QStringLiteral("(?:^|;)\\s*([^=;]+?)\\s*=\\s*(\\{[^}]*\\}|[^;]*)"));
    return pair;
}

// The value of one attribute of an ODBC connection string, braces removed.
std::string OdbcAttribute(std::string_view connect, std::string_view key)
{
    for (const QRegularExpressionMatch& match : OdbcPair().globalMatch(ToQt(connect))) {
        if (match.captured(1).compare(ToQt(key), Qt::CaseInsensitive) != 0)
            continue;
        QString value = match.captured(2).trimmed();
        if (value.startsWith(u'{'))
            value = value.mid(1, value.size() - 2);
        return value.toStdString();
    }
    return {};
}

// Qt's ODBC driver takes a text without "DRIVER=" or "SERVER=" for the name of a data
// source and writes "DSN=" before it. A connection string that names its data source
// ("UID=...;DSN=Praxis;PWD=...") goes to it with that name first, its key left out.
QString QtConnectText(std::string_view odbc)
{
    const QString text = ToQt(odbc);
    if (text.contains(QStringLiteral("DRIVER="), Qt::CaseInsensitive) || text.contains(QStringLiteral("SERVER="), Qt::CaseInsensitive))
        return text;
    for (const QRegularExpressionMatch& match : OdbcPair().globalMatch(text)) {
        if (match.captured(1).compare(QStringLiteral("DSN"), Qt::CaseInsensitive) != 0)
            continue;
        QString rest = text;
        rest.remove(match.capturedStart(0), match.capturedLength(0));
        if (rest.startsWith(u';'))
            rest.remove(0, 1);
        return match.captured(2).trimmed() + (rest.isEmpty() ? QString() : u';' + rest);
    }
    return text;
}

// Releases the statement's result, so that it holds nothing open, and throws its error.
[[noreturn]] void Fail(QSqlQuery& query, const QSqlDatabase& db)
{
    std::string error = StatementErrorText(query.lastError(), db);
    query.finish();
    throw CDBException(std::move(error));
}

void ReadRows(QSqlQuery& query, const QSqlDatabase& db, std::vector<std::vector<std::string>>* rows)
{
    const int columns = query.record().count();
    while (rows != nullptr && query.next()) {
        std::vector<std::string>& row = rows->emplace_back();
        row.reserve(static_cast<std::size_t>(columns));
        for (int i = 0; i < columns; ++i)
            row.push_back(query.value(i).toString().toStdString());
    }
    if (query.lastError().isValid())
        Fail(query, db);
    query.finish();
}

} // namespace

COdbcBackEnd::COdbcBackEnd(std::string_view odbc) : m_odbc(odbc) {}

std::string COdbcBackEnd::DriverName(std::string_view odbc)
{
    const std::string named = OdbcAttribute(odbc, "DRIVER");
    return named.empty() ? DataSourceDriver(OdbcAttribute(odbc, "DSN")) : named;
}

std::shared_ptr<CHbRSetConnection> COdbcBackEnd::Open(const QString& name, bool readOnly, bool ownThread) const
{
    QString options = QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=") + QString::number(kLoginTimeout);
    if (readOnly)
        options += QStringLiteral(";SQL_ATTR_ACCESS_MODE=SQL_MODE_READ_ONLY");
    // The driver blocks the calling thread until the server answers: the connection
    // gets a thread of its own.
    return std::make_shared<CHbRSetConnection>(name, ownThread, [&] {
        OpenQt(name, QStringLiteral("QODBC"), QtConnectText(m_odbc + DriverOptions()), options);
    });
}

std::unique_ptr<CDatabaseBackEnd> COdbcBackEnd::Recognised(CHbRSetConnection& connection) const
{
    std::string dbms;
    connection.Run([&] { dbms = ServerName(connection.Database()); });
    return ForServerNamed(dbms, m_odbc);
}

// What a message may name of a server connection: server and database, or the data source.
std::string COdbcBackEnd::Unreachable() const
{
    std::string server = OdbcAttribute(m_odbc, "SERVER");
    if (server.empty())
        server = OdbcAttribute(m_odbc, "DSN");
    const std::string database = OdbcAttribute(m_odbc, "DATABASE");
    return "Der Datenbankserver " + (database.empty() ? server : server + " (Datenbank " + database + ")")
        + " ist nicht erreichbar: ";
}

// A server waits for locks by itself; one that refuses the setting keeps its own wait.
std::string COdbcBackEnd::SetUp(CHbRSetDatabase& db, bool /*readOnly*/)
{
    try {
        db.ExecuteSQL(LockWaitStatement(seam::LockWait::Slot()));
    } catch (const CDBException&) {
    }
    for (const std::string& statement : SessionStatements())
        db.ExecuteSQL(statement);
    return {};
}

std::string COdbcBackEnd::LockWaitStatement(std::chrono::milliseconds wait) const
{
    return "SET lock_timeout = " + std::to_string(wait.count());
}

std::string COdbcBackEnd::Limit(std::size_t rows) const
{
    return " OFFSET 0 ROWS FETCH NEXT " + std::to_string(rows) + " ROWS ONLY";
}

// The statements go through Qt's driver, on the connection's own thread; the rows
// come back to the caller's sink on the caller's.
void COdbcBackEnd::Run(CHbRSetConnection& connection, const std::string& sql, const std::vector<std::string>& params,
                       const Rows& onRow) const
{
    std::vector<std::vector<std::string>> rows;
    connection.Run([&] {
        QSqlQuery& query = connection.Prepared(ExactPlaceholders(sql));
        for (std::size_t i = 0; i < params.size(); ++i)
            query.bindValue(static_cast<int>(i), QString::fromStdString(params[i]));
        if (!query.exec())
            Fail(query, connection.Database());
        ReadRows(query, connection.Database(), onRow ? &rows : nullptr);
    });
    for (std::vector<std::string>& row : rows)
        onRow(std::move(row));
}

bool COdbcBackEnd::Answers(const CHbRSetDatabase& db, const std::string& sql)
{
    std::string answer;
    RunBound(db, sql, {}, [&answer](std::vector<std::string>&& row) { answer = row.at(0); });
    return answer == "1";
}

void COdbcBackEnd::RunAsOneCall(CHbRSetDatabase& db, const std::vector<std::string>& statements,
                                const std::function<void(CHbRSetConnection&)>& send)
{
    db.RequireOpen();
    for (const std::string& sql : statements)
        CHbRSetDatabase::BeforeStatement(sql);
    send(db.Connection());
    CWindowServing::IfDue();
}
